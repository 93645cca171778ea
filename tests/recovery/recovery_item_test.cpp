#include "recovery/recovery_item.h"

#include <gtest/gtest.h>

#include <QVariant>

#include <cstring>

namespace {

TEST(RecoveryItem, FatEntryWidensUnsignedFields)
{
    fat_entry_s e;
    e.start_cluster = 0xFFFFFFF0u;
    e.size = 0xFFFFFFFFu;
    e.modified = -86400;
    e.created = 1000;
    e.attributes = 0xE0; // deleted plus high bits: no sign extension
    std::memcpy(e.name, u"#PORT.DOC", sizeof u"#PORT.DOC");
    const recovery_item_s item = to_recovery_item(e);
    EXPECT_EQ(item.name, "#PORT.DOC");
    EXPECT_EQ(item.size, 0xFFFFFFFFull);
    EXPECT_EQ(item.id, int64_t(0xFFFFFFF0ll));
    EXPECT_EQ(item.date1, -86400);
    EXPECT_EQ(item.date2, 1000);
    EXPECT_EQ(item.attributes, 0xE0u);
    EXPECT_FALSE(item.checked);
}

TEST(RecoveryItem, NtfsEntryKeepsItsDatesInColumnOrder)
{
    ntfs_entry_s e;
    e.id = 1234;
    e.size = 5;
    e.date1 = 111;
    e.date2 = 222;
    e.flags = ntfs_flag_file | ntfs_flag_deleted;
    std::memcpy(e.name, u"\u00e9t\u00e9.txt", sizeof u"\u00e9t\u00e9.txt");
    const recovery_item_s item = to_recovery_item(e);
    EXPECT_EQ(item.name, QString::fromUtf8("\xc3\xa9t\xc3\xa9.txt"));
    EXPECT_EQ(item.date1, 111);
    EXPECT_EQ(item.date2, 222);
    EXPECT_EQ(item.id, 1234);
    EXPECT_EQ(item.attributes, 0x82u);
}

raw_file_s raw(int64_t index, const char* extension)
{
    raw_file_s r;
    r.index = index;
    r.size = 100 + index;
    std::memcpy(r.extension, extension, std::min(std::strlen(extension), sizeof r.extension));
    return r;
}

TEST(RecoveryItem, CarvedFilesAreNamedByDiscoveryNumber)
{
    const std::vector<raw_file_s> records = {raw(0, "jpg"), raw(1, "png"), raw(2, "jpg"),
                                             raw(3, "abcdefgh")};
    const auto rows = file_rows(records, {0, 2, 3, 4, -1});
    ASSERT_EQ(rows.size(), 3u) << "indexes outside the records give no row";
    EXPECT_EQ(rows[0].name, "00000000.jpg");
    EXPECT_EQ(rows[1].name, "00000002.jpg");
    EXPECT_EQ(rows[2].name, "00000003.abcdefgh") << "eight bytes, no terminator";
    EXPECT_EQ(rows[1].id, 2);
    EXPECT_EQ(rows[1].size, 102u);
    EXPECT_EQ(rows[1].date1, 0);
    EXPECT_EQ(rows[1].date2, 0);
}

TEST(RecoveryItem, FileRowsListOnlyShownFiles)
{
    fat_entry_s folder, file, empty, sub;
    file.start_cluster = 8;
    file.attributes = fat_attribute_deleted;
    empty.start_cluster = 0; // an empty file points nowhere
    sub.start_cluster = 9;
    sub.attributes = fat_attribute_directory;
    folder.children = {&file, &empty, &sub};
    const auto rows = file_rows(folder);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].id, 8);
}

TEST(RecoveryItem, TravelsInsideAVariantByItsRegisteredName)
{
    EXPECT_TRUE(QMetaType::fromName("recovery_item_s").isValid());
    recovery_item_s item;
    item.name = "a";
    item.size = 7;
    const QVariant v = QVariant::fromValue(item);
    EXPECT_EQ(v.value<recovery_item_s>().size, 7u);
}

} // namespace
