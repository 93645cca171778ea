#include "recovery/entry_tree.h"
#include "recovery/fat_entry.h"
#include "recovery/ntfs_entry.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

void set_name(char16_t (&field)[260], const char16_t* name)
{
    std::char_traits<char16_t>::copy(field, name, std::char_traits<char16_t>::length(name));
}

void add_fat(entry_hash<fat_entry_s>& h, uint32_t key, uint32_t parent, uint8_t attributes,
             const char16_t* name)
{
    fat_entry_s e;
    e.start_cluster = key;
    e.parent_cluster = parent;
    e.attributes = attributes;
    set_name(e.name, name);
    h.insert(key, e);
}

void add_ntfs(entry_hash<ntfs_entry_s>& h, int64_t id, int64_t parent, uint32_t flags,
              const char16_t* name)
{
    ntfs_entry_s e;
    e.id = id;
    e.parent = parent;
    e.flags = flags;
    set_name(e.name, name);
    h.insert(id, e);
}

template <class Entry>
std::vector<entry_key_t<Entry>> keys_of(const QList<const Entry*>& entries)
{
    std::vector<entry_key_t<Entry>> keys;
    for (const Entry* e : entries)
        keys.push_back(entry_traits<Entry>::key(*e));
    std::sort(keys.begin(), keys.end());
    return keys;
}

template <class Entry>
std::vector<entry_key_t<Entry>> child_keys(const entry_hash<Entry>& h, entry_key_t<Entry> key)
{
    QList<const Entry*> children;
    for (const Entry* c : h[key].children)
        children.append(c);
    return keys_of(children);
}

constexpr uint8_t dir = fat_attribute_directory, del = fat_attribute_deleted;

// Root 0; live dir 3 holding a deleted file 5 and a deleted dir 11 with a deleted
// file 13; live dir 7 with no files; a file 9 whose parent 42 is not kept.
entry_hash<fat_entry_s> fat_scan()
{
    entry_hash<fat_entry_s> h;
    add_fat(h, 0, 0, dir, u"");
    add_fat(h, 3, 0, dir, u"DOCS");
    add_fat(h, 5, 3, del, u"#EPORT.DOC");
    add_fat(h, 7, 0, dir, u"EMPTY");
    add_fat(h, 9, 42, del, u"#RPHAN.TXT");
    add_fat(h, 11, 3, dir | del, u"#LD");
    add_fat(h, 13, 11, del, u"#NSIDE.TXT");
    link_entries(h);
    mark_entries(h);
    return h;
}

TEST(FatEntryTree, LinksMarksAndShowsWhatLeadsToFiles)
{
    const auto h = fat_scan();
    EXPECT_EQ(child_keys(h, 0u), (std::vector<uint32_t>{3, 7})) << "root is not its own child";
    EXPECT_EQ(child_keys(h, 3u), (std::vector<uint32_t>{5, 11}));
    EXPECT_TRUE(h[0].has_files && h[3].has_files && h[11].has_files);
    EXPECT_FALSE(h[7].has_files);

    const fat_entry_s* root = root_entry(h);
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(keys_of(folder_children(*root)), (std::vector<uint32_t>{3}));
    EXPECT_EQ(keys_of(folder_children(h[3])), (std::vector<uint32_t>{11}));
    EXPECT_EQ(keys_of(file_children(h[3])), (std::vector<uint32_t>{5}));
    for (const auto& e : h)
        for (const fat_entry_s* c : e.children)
            EXPECT_NE(c->start_cluster, 9u) << "an orphan is linked nowhere";
}

TEST(NtfsEntryTree, RootListsItselfButSystemRecordsStayHidden)
{
    entry_hash<ntfs_entry_s> h;
    add_ntfs(h, 5, 5, ntfs_flag_directory, u".");
    add_ntfs(h, 6, 5, ntfs_flag_file, u"$Bitmap");
    add_ntfs(h, 40, 5, ntfs_flag_directory, u"photos");
    add_ntfs(h, 41, 40, ntfs_flag_file | ntfs_flag_deleted, u"a.jpg");
    add_ntfs(h, 42, 5, ntfs_flag_directory, u"empty");
    link_entries(h);
    mark_entries(h);

    EXPECT_EQ(child_keys(h, int64_t(5)), (std::vector<int64_t>{5, 6, 40, 42}));
    const ntfs_entry_s* root = root_entry(h);
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(keys_of(folder_children(*root)), (std::vector<int64_t>{40}));
    EXPECT_TRUE(file_children(*root).isEmpty()) << "record 6 is a system file";
    EXPECT_EQ(keys_of(file_children(h[40])), (std::vector<int64_t>{41}));
}

TEST(EntryTree, NoRootMeansNoTree)
{
    entry_hash<ntfs_entry_s> h;
    add_ntfs(h, 40, 5, ntfs_flag_directory, u"photos");
    EXPECT_EQ(root_entry(h), nullptr);
}

TEST(EntryFilePath, JoinsNamesFromTheTopLevelDown)
{
    const auto fat = fat_scan();
    struct {
        QString mount;
        uint32_t key;
        std::wstring expected;
    } cases[] = {
        {"E:\\", 13, L"E:\\DOCS\\#LD\\#NSIDE.TXT"},
        {"/media/stick/", 5, L"/media/stick\\DOCS\\#EPORT.DOC"},
        {"/img#1", 3, L"/img#1\\DOCS"},
    };
    for (const auto& c : cases) {
        std::wstring out = L">";
        EXPECT_EQ(entry_file_path(fat, c.key, c.mount, &out), 0);
        EXPECT_EQ(out, L">" + c.expected) << "appended to what was there";
    }

    entry_hash<ntfs_entry_s> ntfs;
    add_ntfs(ntfs, 5, 5, ntfs_flag_directory, u".");
    add_ntfs(ntfs, 40, 5, ntfs_flag_directory, u"photos");
    add_ntfs(ntfs, 41, 40, ntfs_flag_file, u"a.jpg");
    std::wstring out;
    EXPECT_EQ(entry_file_path(ntfs, int64_t(41), "C:\\", &out), 0);
    EXPECT_EQ(out, L"C:\\photos\\a.jpg");
}

TEST(EntryFilePath, FailsOnMissingParentsAndCycles)
{
    entry_hash<fat_entry_s> h;
    add_fat(h, 0, 0, dir, u"");
    add_fat(h, 9, 42, del, u"#RPHAN");
    // A deleted directory that took the key of its own ancestor.
    add_fat(h, 20, 21, dir | del, u"#A");
    add_fat(h, 21, 20, dir | del, u"#B");
    add_fat(h, 22, 21, del, u"#FILE");
    add_fat(h, 23, 23, del, u"#SELF");
    link_entries(h);
    mark_entries(h); // must end on the cycle too

    for (uint32_t key : {9u, 22u, 23u, 77u}) {
        std::wstring out = L"kept";
        EXPECT_EQ(entry_file_path(h, key, "E:\\", &out), -1) << key;
        EXPECT_EQ(out, L"kept");
    }
    EXPECT_TRUE(h[20].has_files && h[21].has_files);
}

TEST(EntryFilePath, FollowsTheEntryThatNowHoldsAParentsKey)
{
    auto h = fat_scan();
    fat_entry_s replacement = h[3];
    set_name(replacement.name, u"#ARCHIVE");
    replacement.parent_cluster = 7;
    h[3] = replacement;
    std::wstring out;
    EXPECT_EQ(entry_file_path(h, 5u, "E:", &out), 0);
    EXPECT_EQ(out, L"E:\\EMPTY\\#ARCHIVE\\#EPORT.DOC");
}

TEST(EntryName, StopsAtTheEndOfAnUnterminatedField)
{
    fat_entry_s e;
    std::fill(std::begin(e.name), std::end(e.name), u'x');
    EXPECT_EQ(entry_name(e.name).size(), 260);
}

} // namespace
