#include "disk/volume_list.h"
#include "fat_image_builder.h"
#include "recovery/fat/disk_layer.h"
#include "recovery/fat_recovery.h"
#include "recovery/result_folders.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <ctime>

using test_support::scratch_dir;

namespace {

void set_created(uint8_t* entry, uint16_t date, uint16_t time)
{
    entry[14] = uint8_t(time);
    entry[15] = uint8_t(time >> 8);
    entry[16] = uint8_t(date);
    entry[17] = uint8_t(date >> 8);
}

// A bare FAT16 image as the only disk; scans it with the engine.
struct fat_engine : ::testing::Test {
    scratch_dir dir;
    std::string path = dir.file("fat.img");
    fat_recovery_c engine;

    void scan(const fat_image_builder& image)
    {
        image.save(path);
        test_support::use_disks({path});
        disk_startup();
        disk_rescan();
        enumerate_volumes();
        ASSERT_EQ(volume_list().size(), 2);
        engine.reset();
        engine.set_volume(volume_list()[1]);
        engine.start();
        ASSERT_TRUE(engine.wait(120000));
    }
    const fat_entry_s* at(uint32_t key) const
    {
        const auto it = engine.entries().constFind(key);
        return it == engine.entries().cend() ? nullptr : &*it;
    }
    void TearDown() override { unsetenv("ZORVANE_DISKS"); }
};

} // namespace

TEST_F(fat_engine, entries_sharing_a_start_cluster_follow_the_storing_rules)
{
    fat_image_builder image(8192, 1, 64);
    struct row {
        const char* name;
        uint8_t attributes;
        uint32_t cluster;
        uint16_t created_date;
    };
    // Raw short names; 0xE5 marks the deleted ones.
    const row rows[] = {
        {"\xE5" "OLDER  TXT", 0x20, 10, 0x5000},  // deleted file, then a later one: the later wins
        {"\xE5" "NEWER  TXT", 0x20, 10, 0x5100},
        {"\xE5" "FIRST  TXT", 0x20, 11, 0x5000},  // equal times: the first stays
        {"\xE5" "SECOND TXT", 0x20, 11, 0x5000},
        {"LIVE       ", 0x10, 12, 0x5000},     // a live directory is never replaced by a deleted one
        {"\xE5" "GONE      ", 0x10, 12, 0x5800},
        {"\xE5" "FILE   TXT", 0x20, 13, 0x5000},  // a live directory found later replaces a file
        {"LATER      ", 0x10, 13, 0x4000},
        {"ALIVE   TXT", 0x20, 14, 0x5000},     // live files are not kept
        {"\xE5" "EMPTY  TXT", 0x20, 0, 0x5000},   // nor entries that point nowhere
    };
    unsigned slot = 0;
    for (const row& r : rows) {
        uint8_t* entry = image.root_entry(slot++);
        put_short_entry(entry, std::string(r.name, 11), r.attributes, r.cluster, 100);
        set_created(entry, r.created_date, 0);
    }
    scan(image);
    ASSERT_NE(at(10), nullptr);
    EXPECT_EQ(entry_name(at(10)->name), "#EWER.TXT");
    EXPECT_EQ(entry_name(at(11)->name), "#IRST.TXT");
    EXPECT_EQ(entry_name(at(12)->name), "LIVE");
    EXPECT_EQ(entry_name(at(13)->name), "LATER");
    EXPECT_EQ(at(14), nullptr);
    EXPECT_EQ(engine.files_found(), 4 + 1 - 1 + 0); // four keys stored; replacements are not counted
    EXPECT_EQ(engine.entries().size(), 5);           // with the root
}

TEST_F(fat_engine, a_deep_chain_of_deleted_folders_is_walked_without_recursion)
{
    // 5,000 nested directories, one cluster each, a deleted file at the bottom,
    // walked on a stack far smaller than a recursive walk of them would need.
    constexpr uint32_t depth = 5000;
    engine.setStackSize(256 * 1024);
    fat_image_builder image(depth + 400, 1, 16);
    put_short_entry(image.root_entry(0), "\xE5" "D         ", 0x10, 2, 0);
    for (uint32_t level = 0; level < depth; ++level) {
        const uint32_t cluster = 2 + level;
        image.set_fat(cluster, 0xFFFF);
        if (level + 1 < depth)
            put_short_entry(image.cluster(cluster), "\xE5" "D         ", 0x10, cluster + 1, 0);
        else
            put_short_entry(image.cluster(cluster), "\xE5" "F      TXT", 0x20, 3 + depth, 5);
    }
    scan(image);
    EXPECT_EQ(engine.entries().size(), qsizetype(depth + 2));
    const std::vector<result_folder> folders = entry_result_folders(engine.entries());
    ASSERT_EQ(folders.size(), size_t(depth + 1));
    EXPECT_EQ(folders.back().files.size(), 1u);
    std::wstring where;
    EXPECT_EQ(engine.file_path(3 + depth, &where), 0);
}

TEST_F(fat_engine, a_folder_pointing_back_at_its_ancestor_is_not_walked_again)
{
    fat_image_builder image(4096, 1, 16);
    put_short_entry(image.root_entry(0), "\xE5" "A         ", 0x10, 2, 0);
    image.set_fat(2, 0xFFFF);
    put_short_entry(image.cluster(2), "\xE5" "LOOP      ", 0x10, 2, 0);
    put_short_entry(image.cluster(2) + 32, "\xE5" "F      TXT", 0x20, 3, 5);
    scan(image);
    EXPECT_EQ(engine.entries().size(), 3);
    EXPECT_LT(engine.entries_read(), 10);
}

TEST(fat_time, converts_the_date_and_time_fields_as_local_time)
{
    setenv("TZ", "UTC", 1);
    tzset();
    // 2020-01-02 03:04:06
    EXPECT_EQ(fat_recovery_c::fat_time((40 << 9) | (1 << 5) | 2, (3 << 11) | (4 << 5) | 3), 1577934246);
    // 1980-01-01 00:00:00, the earliest a FAT date holds.
    EXPECT_EQ(fat_recovery_c::fat_time((0 << 9) | (1 << 5) | 1, 0), 315532800);
}
