// The volume layer over small hand-built volumes read through the disk layer.
#include "fat_image_builder.h"

#include "recovery/fat/code_page.h"
#include "recovery/fat/disk_layer.h"
#include "recovery/fat/fat_volume.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

using test_support::scratch_dir;

struct row {
    std::u16string short_name;
    std::u16string long_name;
    uint8_t attributes;
    uint32_t cluster;
    uint32_t size;
    bool operator==(const row&) const = default;
};

std::ostream& operator<<(std::ostream& out, const row& r)
{
    auto narrow = [](const std::u16string& s) {
        std::string n;
        for (char16_t c : s)
            n += c < 0x80 ? char(c) : '~';
        return n;
    };
    return out << narrow(r.short_name) << " | " << narrow(r.long_name) << " | 0x" << std::hex
               << unsigned(r.attributes) << std::dec << " | " << r.cluster << " | " << r.size;
}

class volume_test : public ::testing::Test {
protected:
    static void SetUpTestSuite() { disk_startup(); }

    // Makes `image` disk 0 and attaches a fresh file-system object.
    void use(const fat_image_builder& image, uint8_t partition = 0, uint32_t start = 0)
    {
        image.save(dir_.file("disk.img"));
        test_support::use_disks({dir_.file("disk.img")});
        ASSERT_EQ(disk_rescan(), 1);
        fat_volume_table()[0] = {0, partition, start};
        ASSERT_EQ(f_attach(0, &fs_), fat_ok);
    }

    // Every entry up to the end; `result` gets the first failure, if any.
    std::vector<row> list(fat_dir_s& dir, int* result = nullptr)
    {
        std::vector<row> rows;
        char16_t long_name[512];
        for (;;) {
            fat_info_s info;
            info.long_name = long_name;
            info.long_name_size = 512;
            const int r = f_readdir(&dir, &info);
            if (result)
                *result = r;
            if (r != fat_ok || !info.short_name[0])
                return rows;
            rows.push_back({info.short_name, long_name, info.attributes, info.start_cluster, info.size});
        }
    }

    std::vector<row> list(const std::u16string& path, int* result = nullptr)
    {
        fat_dir_s dir;
        const int opened = f_opendir(&dir, path.c_str());
        if (result)
            *result = opened;
        return opened == fat_ok ? list(dir) : std::vector<row>{};
    }

    fat_file_s open_file(uint32_t cluster, uint32_t size)
    {
        fat_file_s file;
        file.fs = &fs_;
        file.mount_id = fs_.mount_id;
        file.flags = fat_file_read;
        file.size = size;
        file.start_cluster = cluster;
        return file;
    }

    // Reads the whole file in chunks of `chunk` bytes; `result` gets the last result.
    std::vector<uint8_t> read_all(fat_file_s& file, int contiguous, uint32_t chunk, int& result)
    {
        std::vector<uint8_t> out;
        std::vector<uint8_t> buffer(chunk);
        for (;;) {
            uint32_t got = 0;
            result = f_readdata(&file, buffer.data(), chunk, &got, contiguous);
            out.insert(out.end(), buffer.begin(), buffer.begin() + got);
            if (result != fat_ok || got == 0)
                return out;
        }
    }

    scratch_dir dir_;
    fat_fs_s fs_;
};

fat_image_builder floppy()
{
    return fat_image_builder(2880, 1, 224);
}

TEST_F(volume_test, BadBootRecordsAreNotMounted)
{
    struct mutation {
        const char* what;
        unsigned offset;
        unsigned size;
        uint32_t value;
    };
    const mutation cases[] = {
        {"4096 bytes per sector", 11, 2, 4096},
        {"no FATs", 16, 1, 0},
        {"three FATs", 16, 1, 3},
        {"no sectors per cluster", 13, 1, 0},
        {"3 sectors per cluster", 13, 1, 3},
        {"root entries not a multiple of 16", 17, 2, 17},
        {"no root entries on FAT12", 17, 2, 0},
        {"no reserved sectors", 14, 2, 0},
        {"total below system sectors", 19, 2, 10},
        {"no total at all", 19, 2, 0},
        {"FAT too small", 22, 2, 1},
        {"no signature", 510, 2, 0},
        {"no FAT name", 54, 3, 0},
    };
    for (const mutation& m : cases) {
        SCOPED_TRACE(m.what);
        fat_image_builder image = floppy();
        for (unsigned i = 0; i < m.size; ++i)
            image.boot()[m.offset + i] = uint8_t(m.value >> (8 * i));
        use(image);
        fat_dir_s dir;
        EXPECT_EQ(f_opendir(&dir, u"/"), fat_no_filesystem);
        EXPECT_EQ(dir.fs, nullptr);
    }
    use(floppy());
    fat_dir_s dir;
    EXPECT_EQ(f_opendir(&dir, u"/"), fat_ok);
    EXPECT_EQ(fs_.fat_type, fat12);
}

TEST_F(volume_test, MountFindsTheVolumeAtItsStartSector)
{
    struct mount_case {
        const char* what;
        bool signed_sector_zero;
        uint8_t partition;
        uint8_t disk;
        int expected;
    };
    const mount_case cases[] = {
        {"partition table, partition number", true, 1, 0, fat_ok},
        {"partition table, no partition number", true, 0, 0, fat_ok},
        {"unsigned sector zero", false, 1, 0, fat_no_filesystem},
        {"no such disk", true, 1, 5, fat_not_ready},
    };
    for (const mount_case& c : cases) {
        SCOPED_TRACE(c.what);
        fat_image_builder image(2880, 1, 224, 63);
        put_short_entry(image.root_entry(0), "HERE    TXT", 0x20, 0, 0);
        if (c.signed_sector_zero) {
            image.bytes[510] = 0x55;
            image.bytes[511] = 0xAA;
        }
        use(image, c.partition, 63);
        fat_volume_table()[0].disk = c.disk;
        int result;
        const auto rows = list(u"/", &result);
        EXPECT_EQ(result, c.expected);
        if (c.expected == fat_ok) {
            EXPECT_EQ(rows, (std::vector<row>{{u"HERE.TXT", u"", 0x20, 0, 0}}));
        }
    }
}

TEST_F(volume_test, DirectoryListsDeletedEntriesAndDecodesShortNames)
{
    fat_image_builder image = floppy();
    auto e = [&](unsigned i) { return image.root_entry(i); };
    put_short_entry(e(0), "TESTVOL    ", 0x08, 0, 0);
    put_short_entry(e(1), ".          ", 0x10, 0, 0);
    put_short_entry(e(3), "LONGNA~1TXT", 0x20, 2, 10);
    put_long_name(e(3), u"Long Name.txt");
    put_short_entry(e(4), "\xE5" "BC     TXT", 0x20, 3, 600);
    put_short_entry(e(6), "\xE5" "EPORT  DOC", 0x20, 4, 700);
    put_long_name(e(6), u"Report.doc");
    e(5)[0] = 0xE5; // the deleted entry's long-name part
    put_short_entry(e(7), "\x05" "BCD    TXT", 0x20, 5, 1);
    put_short_entry(e(8), "README  TXT", 0x20, 6, 2, 0x18);
    put_short_entry(e(9), "\xD6\xD0\xCE\xC4    TXT", 0x20, 7, 3);
    put_short_entry(e(11), "BROKEN~1TXT", 0x20, 8, 4);
    put_long_name(e(11), u"Broken.txt");
    e(10)[13] ^= 1; // checksum of the long name no longer matches
    put_short_entry(e(12), "\xA1\x40" "X     BIN", 0x01, 9, 5);
    put_short_entry(e(13), "SUB        ", 0x10, 10, 0);
    e(13)[20] = 1; // a high cluster half, which FAT12 ignores
    put_short_entry(e(14), "\xE5" "LDDIR     ", 0x10, 11, 0);
    put_short_entry(e(16), "AFTER   TXT", 0x20, 12, 6); // past the end mark at 15
    use(image);

    const std::u16string deleted_b(1, gbk_to_unicode(0xE542));
    const std::u16string deleted_e(1, gbk_to_unicode(0xE545));
    const std::u16string deleted_l(1, gbk_to_unicode(0xE54C));
    ASSERT_EQ(deleted_b, u"\u930C");
    const std::vector<row> expected = {
        {u"LONGNA~1.TXT", u"Long Name.txt", 0x20, 2, 10},
        {deleted_b + u"C.TXT", u"", 0x60, 3, 600},
        {deleted_e + u"PORT.DOC", u"", 0x60, 4, 700},
        {deleted_b + u"CD.TXT", u"", 0x20, 5, 1},
        {u"readme.txt", u"", 0x20, 6, 2},
        {u"\u4E2D\u6587.TXT", u"", 0x20, 7, 3},
        {u"BROKEN~1.TXT", u"", 0x20, 8, 4},
        {u"?X.BIN", u"", 0x01, 9, 5},
        {u"SUB", u"", 0x10, 10, 0},
        {deleted_l + u"DDIR", u"", 0x50, 11, 0},
    };
    int result;
    EXPECT_EQ(list(u"/", &result), expected);
    EXPECT_EQ(result, fat_ok);

    // Rewinding starts over.
    fat_dir_s dir;
    ASSERT_EQ(f_opendir(&dir, u"/"), fat_ok);
    list(dir);
    ASSERT_EQ(f_readdir(&dir, nullptr), fat_ok);
    EXPECT_EQ(list(dir), expected);
}

TEST_F(volume_test, LongNamesUpTo255UnitsAreKept)
{
    const size_t lengths[] = {1, 12, 13, 14, 253, 254, 255, 256};
    fat_image_builder image(2880, 1, 512);
    unsigned slot = 0;
    for (size_t n : lengths) {
        std::u16string name;
        for (size_t i = 0; i < n; ++i)
            name += char16_t(u'a' + i % 26);
        const unsigned parts = unsigned(n + 12) / 13;
        std::string sfn = "LONG" + std::to_string(n);
        sfn.resize(11, ' ');
        put_short_entry(image.root_entry(slot + parts), sfn, 0x20, 0, unsigned(n));
        put_long_name(image.root_entry(slot + parts), name);
        slot += parts + 1;
    }
    use(image);
    const auto rows = list(u"/");
    ASSERT_EQ(rows.size(), std::size(lengths));
    for (size_t i = 0; i < rows.size(); ++i) {
        const size_t n = lengths[i];
        EXPECT_EQ(rows[i].long_name.size(), n <= 255 ? n : 0) << n;
    }

    // The caller's buffer bounds the copy.
    fat_dir_s dir;
    ASSERT_EQ(f_opendir(&dir, u"/"), fat_ok);
    char16_t small[5];
    fat_info_s info;
    info.long_name = small;
    info.long_name_size = 5;
    for (int i = 0; i < 4; ++i)
        ASSERT_EQ(f_readdir(&dir, &info), fat_ok);
    EXPECT_EQ(std::u16string(small), u"abcd");
}

// A directory ends at index 65,535, and soon after its chain comes back to
// a cluster it has passed: every entry once, a few perhaps twice.
TEST_F(volume_test, DirectoryReadsAreBounded)
{
    struct chain_case {
        const char* what;
        std::vector<uint32_t> clusters;
        uint32_t back_to; // FAT entry of the last cluster; 0 = end of chain
        size_t at_least;
        size_t at_most;
    };
    std::vector<uint32_t> long_chain;
    for (uint32_t c = 2; c < 2 + 4200; ++c)
        long_chain.push_back(c);
    const chain_case cases[] = {
        {"points at itself", {2}, 2, 16, 32},
        {"cycles behind its start", {2, 3, 4, 5}, 3, 64, 128},
        {"more than 65,535 entries", long_chain, 0, 65536, 65536},
    };
    for (const chain_case& c : cases) {
        SCOPED_TRACE(c.what);
        fat_image_builder image(8500, 1, 512); // FAT16, 512-byte clusters
        put_short_entry(image.root_entry(0), "DIR        ", 0x10, 2, 0);
        image.chain(c.clusters);
        if (c.back_to)
            image.set_fat(c.clusters.back(), c.back_to);
        for (uint32_t cluster : c.clusters)
            for (unsigned i = 0; i < 16; ++i)
                put_short_entry(image.cluster(cluster) + i * 32, "FILE    BIN", 0x20, 0, cluster);
        use(image);
        int result;
        const auto rows = list(u"/DIR", &result);
        EXPECT_EQ(result, fat_ok);
        EXPECT_GE(rows.size(), c.at_least);
        EXPECT_LE(rows.size(), c.at_most);
    }
}

// Walking a deleted directory by its start cluster, as the FAT engine does:
// its chain is cleared, so it ends in a broken chain after its first cluster,
// but the last entry of that cluster is still handed out first.
TEST_F(volume_test, DeletedDirectoryKeepsTheLastEntryOfItsCluster)
{
    fat_image_builder image = floppy();
    put_short_entry(image.root_entry(0), "\xE5" "LD        ", 0x10, 10, 0);
    for (unsigned i = 0; i < 16; ++i)
        put_short_entry(image.cluster(10) + i * 32, "\xE5" "ILE" + std::to_string(10 + i) + "  BIN",
                        0x20, 20 + i, 100);
    use(image);
    fat_dir_s dir;
    ASSERT_EQ(f_opendir(&dir, u"/"), fat_ok);
    dir.start_cluster = dir.current_cluster = 10;
    ASSERT_EQ(f_readdir(&dir, nullptr), fat_ok);
    int result;
    const auto rows = list(dir, &result);
    EXPECT_EQ(rows.size(), 16u);
    EXPECT_EQ(result, fat_internal_error);
    EXPECT_EQ(rows.back().cluster, 35u);

    // An out-of-range start cluster cannot be rewound to.
    dir.start_cluster = dir.current_cluster = fs_.fat_entries;
    EXPECT_EQ(f_readdir(&dir, nullptr), fat_internal_error);
}

TEST_F(volume_test, PathsAreFollowedByShortOrLongName)
{
    fat_image_builder image = floppy();
    put_short_entry(image.root_entry(1), "SUB        ", 0x10, 5, 0);
    put_long_name(image.root_entry(1), u"Sub Folder");
    put_short_entry(image.root_entry(2), "\xD6\xD0\xCE\xC4       ", 0x10, 7, 0);
    put_short_entry(image.root_entry(3), "FILE    TXT", 0x20, 9, 3);
    uint8_t* sub = image.cluster(5);
    put_short_entry(sub, ".          ", 0x10, 5, 0);
    put_short_entry(sub + 32, "..         ", 0x10, 0, 0);
    put_short_entry(sub + 96, "ARGER      ", 0x10, 6, 0);
    put_long_name(sub + 96, u"\u00C4rger");
    put_short_entry(image.cluster(6), "DEEP    TXT", 0x20, 0, 0);
    put_short_entry(image.cluster(7), "CJK     TXT", 0x20, 0, 0);
    use(image);

    struct path_case {
        std::u16string path;
        int expected;
        std::u16string first; // first entry listed
    };
    const std::u16string too_long = u"/" + std::u16string(256, u'A');
    const path_case cases[] = {
        {u"/", fat_ok, u"SUB"},
        {u"", fat_ok, u"SUB"},
        {u"0:/", fat_ok, u"SUB"},
        {u"0:sub", fat_ok, u"ARGER"},
        {u"\\sub folder\\", fat_ok, u"ARGER"},
        {u"/SUB/\u00E4RGER", fat_ok, u"DEEP.TXT"},
        {u"/Sub Folder//arger.", fat_ok, u"DEEP.TXT"},
        {u"/\u4E2D\u6587", fat_ok, u"CJK.TXT"},
        {u"/missing", fat_no_path, u""},
        {u"/missing/sub", fat_no_path, u""},
        {u"/FILE.TXT", fat_no_path, u""},
        {u"/FILE.TXT/SUB", fat_no_path, u""},
        {u"/a*b", fat_invalid_name, u""},
        {u"/SUB/..", fat_invalid_name, u""},
        {too_long, fat_invalid_name, u""},
        {u"1:/", fat_not_attached, u""},
    };
    for (const path_case& c : cases) {
        SCOPED_TRACE(std::string(c.path.begin(), c.path.end()));
        int result;
        const auto rows = list(c.path, &result);
        EXPECT_EQ(result, c.expected);
        if (c.expected == fat_ok) {
            ASSERT_FALSE(rows.empty());
            EXPECT_EQ(rows.front().short_name, c.first);
        }
    }
}

TEST_F(volume_test, ObjectsOfAnEarlierMountAreRefused)
{
    use(floppy());
    EXPECT_EQ(f_attach(10, &fs_), fat_invalid_volume);
    fat_dir_s dir;
    ASSERT_EQ(f_opendir(&dir, u"/"), fat_ok);
    fat_file_s file = open_file(2, 10);
    ASSERT_EQ(f_attach(0, &fs_), fat_ok);
    fat_info_s info;
    EXPECT_EQ(f_readdir(&dir, &info), fat_invalid_object);
    uint32_t got = 1;
    char buffer[16];
    EXPECT_EQ(f_readdata(&file, buffer, sizeof buffer, &got, 0), fat_invalid_object);
    EXPECT_EQ(got, 0u);

    fat_dir_s again;
    ASSERT_EQ(f_opendir(&again, u"/"), fat_ok); // mounts afresh
    EXPECT_EQ(f_readdir(&dir, &info), fat_invalid_object);
    file = open_file(2, 10);
    file.flags = 0;
    EXPECT_EQ(f_readdata(&file, buffer, sizeof buffer, &got, 0), fat_not_open);
}

TEST_F(volume_test, FilesAreReadAlongTheirChainOrContiguously)
{
    fat_image_builder image(2880, 4, 224); // 2 KiB clusters
    const uint32_t last = image.cluster_count() + 1;
    const size_t cb = image.cluster_bytes();
    const std::vector<uint32_t> fragments = {10, 11, 30, 12, 40};
    const auto fragmented = pattern(cb * 4 + 123, 1);
    image.chain(fragments);
    image.write_file(fragments, fragmented);
    const std::vector<uint32_t> run = {50, 51, 52, 53, 54, 55};
    const auto deleted = pattern(cb * 5 + 300, 2);
    image.write_file(run, deleted);
    const auto at_end = pattern(cb * 2, 3);
    image.write_file({last - 1, last}, at_end);
    use(image);
    fat_dir_s dir;
    ASSERT_EQ(f_opendir(&dir, u"/"), fat_ok);

    for (uint32_t chunk : {4096u, 700u, 512u}) {
        SCOPED_TRACE(chunk);
        int result;
        fat_file_s file = open_file(10, uint32_t(fragmented.size()));
        EXPECT_EQ(read_all(file, 0, chunk, result), fragmented);
        EXPECT_EQ(result, fat_ok);
        file = open_file(50, uint32_t(deleted.size()));
        EXPECT_EQ(read_all(file, 1, chunk, result), deleted);
        EXPECT_EQ(result, fat_ok);
    }

    // A run past the last cluster stops there; what was read stays valid.
    fat_file_s file = open_file(last - 1, uint32_t(cb * 4));
    int result;
    EXPECT_EQ(read_all(file, 1, 4096, result), at_end);
    EXPECT_EQ(result, fat_internal_error);
    uint32_t got = 1;
    char byte;
    EXPECT_EQ(f_readdata(&file, &byte, 1, &got, 1), fat_internal_error);
    EXPECT_EQ(got, 0u);

    // A cleared chain is broken for a read along the FAT.
    file = open_file(50, uint32_t(deleted.size()));
    EXPECT_EQ(read_all(file, 0, 4096, result).size(), cb);
    EXPECT_EQ(result, fat_internal_error);
    file = open_file(0, 10);
    EXPECT_EQ(read_all(file, 1, 4096, result).size(), 0u);
    EXPECT_EQ(result, fat_internal_error);
}

} // namespace
