// Volumes made by mkfs.fat and mtools, walked the way the FAT engine walks
// them, with The Sleuth Kit as the oracle for deleted files' contents.
#include "fat_walk.h"

#include "recovery/fat/code_page.h"
#include "recovery/fat/disk_layer.h"
#include "recovery/fat/fat_volume.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <sstream>

namespace {

using namespace test_support;

struct fat_kind {
    const char* name;
    const char* mkfs_options;
    unsigned kib;
    uint8_t type;
};

std::u16string utf16(const std::string& ascii)
{
    return std::u16string(ascii.begin(), ascii.end());
}

// A deleted short name as the driver decodes it: 0xE5 pairs with a second
// byte that may trail a GBK lead byte.
std::u16string deleted_name(const std::string& name)
{
    const uint8_t second = uint8_t(name[1]);
    const bool pair = (second >= 0x40 && second <= 0x7E) || second >= 0x80;
    const char16_t first = pair ? gbk_to_unicode(uint16_t(0xE500 | second)) : 0;
    return std::u16string(1, first ? first : u'?') + utf16(name.substr(pair ? 2 : 1));
}

class fixture_test : public ::testing::TestWithParam<fat_kind> {
protected:
    static void SetUpTestSuite() { disk_startup(); }

    void SetUp() override
    {
        if (!have_program("mkfs.fat") || !have_program("mcopy"))
            GTEST_SKIP() << "mkfs.fat and mtools are needed";
        setenv("MTOOLS_SKIP_CHECK", "1", 1);
        image_ = dir_.file("fat.img");
        ASSERT_EQ(run("mkfs.fat -C " + std::string(GetParam().mkfs_options) + " -n ZORVANE '" +
                      image_ + "' " + std::to_string(GetParam().kib) + " >/dev/null"),
                  0);
    }

    void mtools(const std::string& command)
    {
        ASSERT_EQ(run(command + " -i '" + image_ + "' >/dev/null"), 0) << command;
    }

    void add_file(const std::string& to, size_t size, unsigned seed)
    {
        const std::string from = dir_.file("content");
        std::vector<uint8_t> bytes(size);
        uint32_t x = seed;
        for (auto& b : bytes)
            b = uint8_t((x = x * 1103515245u + 12345u) >> 16);
        make_sparse_file(from, 0);
        write_bytes(from, 0, bytes);
        contents_[to] = bytes;
        ASSERT_EQ(run("mcopy -i '" + image_ + "' '" + from + "' '::" + to + "'"), 0) << to;
    }

    void mount()
    {
        use_disks({image_});
        ASSERT_EQ(disk_rescan(), 1);
        fat_volume_table()[0] = {0, 1, 0};
        ASSERT_EQ(f_attach(0, &fs_), fat_ok);
        fat_dir_s root;
        ASSERT_EQ(f_opendir(&root, u"/"), fat_ok);
        ASSERT_EQ(fs_.fat_type, GetParam().type);
    }

    const walk_row* find(const std::vector<walk_row>& rows, const std::u16string& path)
    {
        const auto it = std::find_if(rows.begin(), rows.end(),
                                     [&](const walk_row& r) { return r.path == path; });
        return it == rows.end() ? nullptr : &*it;
    }

    scratch_dir dir_;
    std::string image_;
    std::map<std::string, std::vector<uint8_t>> contents_;
    fat_fs_s fs_;
};

TEST_P(fixture_test, DeletedFilesAndFoldersAreFoundAndRead)
{
    mtools("mmd ::/KEEP ::/FRAGS ::/OLD ::/OLD/INNER ::/OLD/INNER/NEST");
    add_file("/KEEP/LIVE.TXT", 5000, 1);
    add_file("/KEEP/Long Deleted Name.dat", 7000, 2);
    add_file("/GONE.BIN", 9000, 3);
    add_file("/A.BIN", 3000, 4);
    add_file("/B.BIN", 3000, 5);
    add_file("/C.BIN", 3000, 6);
    add_file("/OLD/TOP.TXT", 1500, 7);
    add_file("/OLD/INNER/NEST/DEEPFILE.DAT", 20000, 8);
    add_file("/KEEP/Name With Spaces And Case.txt", 100, 9);
    // B's clusters are reused by a file that then continues elsewhere.
    mtools("mdel ::/B.BIN");
    add_file("/FRAGS/FRAG.BIN", 30000, 10);
    mtools("mdel ::/GONE.BIN '::/KEEP/Long Deleted Name.dat'");
    mtools("mdeltree ::/OLD");
    const std::vector<uint8_t> before = read_file(image_);
    mount();

    const std::vector<walk_row> rows = walk_volume();
    struct expected_row {
        std::u16string path;
        uint8_t attributes;
        const char* content; // what a read gives; nullptr for folders
        bool contiguous;
    };
    const std::u16string old_dir = u"/" + deleted_name("\xE5LD");
    const std::u16string inner = old_dir + u"/" + deleted_name("\xE5NNER");
    const std::u16string nest = inner + u"/" + deleted_name("\xE5" "EST");
    const expected_row expected[] = {
        {u"/KEEP", 0x10, nullptr, false},
        {u"/KEEP/LIVE.TXT", 0x20, "/KEEP/LIVE.TXT", false},
        {u"/KEEP/Name With Spaces And Case.txt", 0x20, "/KEEP/Name With Spaces And Case.txt", false},
        {u"/KEEP/" + deleted_name("\xE5ONGDE~1.DAT"), 0x60, "/KEEP/Long Deleted Name.dat", true},
        {u"/" + deleted_name("\xE5ONE.BIN"), 0x60, "/GONE.BIN", true},
        {u"/FRAGS/FRAG.BIN", 0x20, "/FRAGS/FRAG.BIN", false},
        {old_dir, 0x50, nullptr, false},
        {old_dir + u"/" + deleted_name("\xE5OP.TXT"), 0x60, "/OLD/TOP.TXT", true},
        {inner, 0x50, nullptr, false},
        {nest, 0x50, nullptr, false},
        {nest + u"/" + deleted_name("\xE5" "EEPFILE.DAT"), 0x60, "/OLD/INNER/NEST/DEEPFILE.DAT", true},
    };
    for (const expected_row& e : expected) {
        SCOPED_TRACE(std::string(e.path.begin(), e.path.end()));
        const walk_row* row = find(rows, e.path);
        ASSERT_NE(row, nullptr);
        EXPECT_EQ(row->attributes & 0x70, e.attributes & 0x70);
        if (e.attributes & fat_attr_deleted) {
            EXPECT_EQ(row->long_name, u"");
        }
        if (e.content) {
            int result;
            EXPECT_EQ(read_entry(&fs_, row->cluster, row->size, e.contiguous, &result),
                      contents_.at(e.content));
            EXPECT_EQ(result, fat_ok);
        }
    }

    // The deleted B still points at its clusters: where FRAG.BIN took them
    // over (mtools reuses them on FAT12/16), a read gives FRAG.BIN's bytes.
    const walk_row* b = find(rows, u"/?.BIN");
    const walk_row* frag_row = find(rows, u"/FRAGS/FRAG.BIN");
    ASSERT_TRUE(b && frag_row);
    const auto& frag = contents_.at("/FRAGS/FRAG.BIN");
    const bool reused = frag_row->cluster == b->cluster;
    EXPECT_TRUE(reused || GetParam().type == fat32);
    EXPECT_EQ(read_entry(&fs_, b->cluster, b->size, true),
              reused ? std::vector<uint8_t>(frag.begin(), frag.begin() + 3000) : contents_.at("/B.BIN"));

    EXPECT_EQ(read_file(image_), before);
}

// Every deleted file The Sleuth Kit lists reads the same through the driver.
TEST_P(fixture_test, DeletedContentsAgreeWithTheSleuthKit)
{
    if (!have_program("fls") || !have_program("icat"))
        GTEST_SKIP() << "The Sleuth Kit is needed";
    if (GetParam().type == fat32) {
        // Start allocating above cluster 65,535, so start clusters need their
        // high half: the FSInfo sector's next-free hint.
        write_bytes(image_, 512 + 492, {0x70, 0x11, 0x01, 0x00}); // 70,000
    }
    mtools("mmd ::/DIR ::/DIR/SUB");
    add_file("/ONE.DAT", 12345, 11);
    add_file("/DIR/TWO.DAT", 777, 12);
    add_file("/DIR/SUB/Three With A Long Name.dat", 40000, 13);
    add_file("/DIR/FOUR.DAT", 4096, 14);
    mtools("mdel ::/ONE.DAT ::/DIR/TWO.DAT '::/DIR/SUB/Three With A Long Name.dat'");
    mount();

    std::multiset<std::vector<uint8_t>> ours;
    uint32_t highest = 0;
    for (const walk_row& row : walk_volume()) {
        highest = std::max(highest, row.cluster);
        if ((row.attributes & fat_attr_deleted) && !(row.attributes & fat_attr_directory) && row.size)
            ours.insert(read_entry(&fs_, row.cluster, row.size, true));
    }
    if (GetParam().type == fat32) {
        EXPECT_GT(highest, 0xFFFFu);
    }

    std::multiset<std::vector<uint8_t>> theirs;
    std::istringstream listing(output_of("fls -r -p '" + image_ + "'"));
    for (std::string line; std::getline(listing, line);) {
        // "r/r * 123:\tpath" is a deleted file.
        if (line.rfind("r/r * ", 0) != 0 || line.find("$OrphanFiles") != std::string::npos)
            continue;
        const std::string inode = line.substr(6, line.find(':') - 6);
        const std::string out = dir_.file("icat.out");
        ASSERT_EQ(run("icat '" + image_ + "' " + inode + " > '" + out + "'"), 0);
        theirs.insert(read_file(out));
    }
    EXPECT_EQ(theirs.size(), 3u);
    EXPECT_EQ(ours, theirs);
}

INSTANTIATE_TEST_SUITE_P(kinds, fixture_test,
                         ::testing::Values(fat_kind{"fat12", "-F 12", 2048, fat12},
                                           fat_kind{"fat16", "-F 16", 20480, fat16},
                                           fat_kind{"fat32", "-F 32 -s 1", 40960, fat32}),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
