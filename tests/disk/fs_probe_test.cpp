#include "fixtures.h"

#include "platform/fs_probe.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <regex>

namespace {

using platform::detail::byte_reader;
using platform::detail::fs_info;
using platform::detail::probe_file_system;
using test_support::output_of;
using test_support::run;
using test_support::scratch_dir;

// Reads the volume that starts `base` bytes into `path`; records how far it was asked to read.
byte_reader file_reader(const std::string& path, uint64_t base, uint64_t* furthest = nullptr)
{
    return [path, base, furthest](uint64_t offset, void* buffer, size_t length) {
        if (furthest)
            *furthest = std::max(*furthest, offset + length);
        const int fd = ::open(path.c_str(), O_RDONLY);
        const bool ok = fd >= 0 && ::pread(fd, buffer, length, off_t(base + offset)) ==
                                       ssize_t(length);
        if (fd >= 0)
            ::close(fd);
        return ok;
    };
}

uint64_t file_size(const std::string& path)
{
    return std::filesystem::file_size(path);
}

fs_info probe(const std::string& image, bool* known = nullptr)
{
    fs_info info;
    const bool k = probe_file_system(file_reader(image, 0), file_size(image), info);
    if (known)
        *known = k;
    return info;
}

TEST(FsProbe, FatVolumesMatchSleuthkitAndMtools)
{
    if (!fat_fixture::tools_present())
        GTEST_SKIP() << "mkfs.fat, mtools or fsstat missing";
    const struct {
        const char* options;
        unsigned mib;
        const char* file_system;
    } cases[] = {
        {"-F 12 -n SMALL12", 2, "FAT"},
        {"-F 16 -n MID16", 20, "FAT"},
        {"-F 16 -S 4096 -s 1 -n WIDE", 40, "FAT"},
        {"-F 32 -s 1 -n BIG32", 40, "FAT32"},
        {"-F 32 -s 2", 80, "FAT32"}, // no label at all
    };
    scratch_dir dir;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.options);
        const std::string image = dir.file("fat.img");
        ASSERT_TRUE(fat_fixture::make(image, c.mib, c.options));
        const fat_fixture::facts expected = fat_fixture::oracle(image);
        bool known = false;
        const fs_info info = probe(image, &known);
        EXPECT_TRUE(known);
        EXPECT_EQ(info.file_system, c.file_system);
        EXPECT_EQ(info.label, expected.label);
        EXPECT_EQ(info.total_bytes, expected.total_bytes);
        EXPECT_EQ(info.free_bytes, expected.free_bytes);
    }
}

// Byte offset of the root directory label entry of a FAT16 image made by mkfs.fat.
uint64_t fat16_root_offset(const std::string& image)
{
    const auto bs = test_support::read_bytes(image, 0, 512);
    const uint64_t bps = bs[11] | bs[12] << 8;
    const uint64_t reserved = bs[14] | bs[15] << 8;
    const uint64_t fat_sectors = bs[22] | bs[23] << 8;
    return (reserved + bs[16] * fat_sectors) * bps;
}

TEST(FsProbe, FatLabelIsTheRootEntryThenTheBootSector)
{
    if (!fat_fixture::tools_present())
        GTEST_SKIP() << "mkfs.fat, mtools or fsstat missing";
    scratch_dir dir;
    const std::string image = dir.file("label.img");
    ASSERT_TRUE(fat_fixture::make(image, 20, "-F 16 -n ROOTNAME"));
    // The boot sector's copy says something else: the root entry wins.
    test_support::write_bytes(image, 0x2B, {'B', 'O', 'O', 'T', 'N', 'A', 'M', 'E', ' ', ' ', ' '});
    EXPECT_EQ(probe(image).label, "ROOTNAME");
    // Without the root entry the boot sector's label shows.
    const uint64_t root = fat16_root_offset(image);
    ASSERT_EQ(test_support::read_bytes(image, root + 11, 1)[0], 0x08);
    test_support::write_bytes(image, root, {0xE5});
    EXPECT_EQ(probe(image).label, "BOOTNAME");
}

TEST(FsProbe, LoopingFat32RootChainEnds)
{
    if (!fat_fixture::tools_present())
        GTEST_SKIP() << "mkfs.fat, mtools or fsstat missing";
    scratch_dir dir;
    const std::string image = dir.file("loop.img");
    ASSERT_TRUE(fat_fixture::make(image, 40, "-F 32 -s 1 -n LOOPED"));
    const auto bs = test_support::read_bytes(image, 0, 512);
    const uint64_t reserved = bs[14] | bs[15] << 8;
    const uint64_t fat_sectors = bs[36] | bs[37] << 8 | bs[38] << 16;
    const uint64_t root = (reserved + 2 * fat_sectors) * 512; // root cluster 2
    // Root: every entry a deleted one, and its cluster chained to itself.
    std::vector<uint8_t> deleted(512, 0x20);
    for (size_t i = 0; i < deleted.size(); i += 32)
        deleted[i] = 0xE5;
    test_support::write_bytes(image, root, deleted);
    test_support::write_bytes(image, reserved * 512 + 2 * 4, {2, 0, 0, 0});
    const fs_info info = probe(image);
    EXPECT_EQ(info.file_system, "FAT32");
    EXPECT_EQ(info.label, "LOOPED") << "from the boot sector";
}

TEST(FsProbe, ReadsStayInsideTheVolume)
{
    if (!fat_fixture::tools_present())
        GTEST_SKIP() << "mkfs.fat, mtools or fsstat missing";
    scratch_dir dir;
    const std::string image = dir.file("cut.img");
    ASSERT_TRUE(fat_fixture::make(image, 20, "-F 16 -n CUT"));
    // A partition cut short of its own FAT: the boot sector still names the file system.
    uint64_t furthest = 0;
    fs_info info;
    ASSERT_TRUE(probe_file_system(file_reader(image, 0, &furthest), 8192, info));
    EXPECT_EQ(info.file_system, "FAT");
    EXPECT_EQ(info.label, "CUT");
    EXPECT_EQ(info.free_bytes, 0u);
    EXPECT_LE(furthest, 8192u);
}

TEST(FsProbe, UnknownContentIsNoFileSystem)
{
    scratch_dir dir;
    const std::string image = dir.file("blank.img");
    test_support::make_sparse_file(image, 1 << 20);
    bool known = true;
    const fs_info info = probe(image, &known);
    EXPECT_FALSE(known);
    EXPECT_TRUE(info.file_system.empty());
    test_support::write_bytes(image, 510, {0x55, 0xAA});
    probe(image, &known);
    EXPECT_FALSE(known);
    fs_info tiny;
    EXPECT_FALSE(probe_file_system(file_reader(image, 0), 100, tiny));
}

byte_reader sample_reader()
{
    return file_reader(ntfs_fixture::sample_image(), ntfs_fixture::sample_start);
}

uint64_t clear_bits_of(const std::vector<uint8_t>& bitmap, uint64_t bits)
{
    uint64_t clear = 0;
    for (uint64_t i = 0; i < bits; ++i)
        clear += !(bitmap[i / 8] >> (i % 8) & 1);
    return clear;
}

TEST(FsProbe, NtfsSampleMatchesSleuthkit)
{
    if (!test_support::have_program("fsstat") || !test_support::have_program("icat"))
        GTEST_SKIP() << "sleuthkit missing";
    const std::string& image = ntfs_fixture::sample_image();
    const std::string stat = output_of("fsstat -o 128 '" + image + "'");
    std::smatch m;
    ASSERT_TRUE(std::regex_search(stat, m, std::regex("Volume Name: ([^\\n]*)")));
    const std::string name = m[1];
    ASSERT_TRUE(std::regex_search(stat, m, std::regex("Cluster Size: (\\d+)")));
    const uint64_t cluster = std::stoull(m[1]);
    ASSERT_TRUE(std::regex_search(stat, m, std::regex("Total Cluster Range: 0 - (\\d+)")));
    const uint64_t clusters = std::stoull(m[1]) + 1;
    scratch_dir dir;
    const std::string bitmap_file = dir.file("bitmap");
    ASSERT_EQ(run("icat -o 128 '" + image + "' 6 > '" + bitmap_file + "'"), 0);
    const uint64_t free_clusters = clear_bits_of(test_support::read_file(bitmap_file), clusters);

    fs_info info;
    ASSERT_TRUE(probe_file_system(sample_reader(), ntfs_fixture::sample_length(), info));
    EXPECT_EQ(info.file_system, "NTFS");
    EXPECT_EQ(info.label, name);
    EXPECT_EQ(info.total_bytes, clusters * cluster);
    EXPECT_EQ(info.free_bytes, free_clusters * cluster);
    EXPECT_GT(info.free_bytes, 0u);
}

TEST(FsProbe, NtfsWithATornBitmapRecordStillNamesItself)
{
    const uint64_t length = ntfs_fixture::sample_length();
    fs_info intact;
    ASSERT_TRUE(probe_file_system(sample_reader(), length, intact));
    // Record 6 lies 6 KiB into the MFT; tear its first sector by changing the
    // sector's last two bytes, as a write cut short leaves it.
    uint8_t bs[512];
    ASSERT_TRUE(sample_reader()(0, bs, sizeof bs));
    uint64_t mft = 0;
    for (int i = 0; i < 8; ++i)
        mft |= uint64_t(bs[0x30 + i]) << (8 * i);
    const uint64_t torn_at = mft * 4096 + 6 * 1024 + 510;
    const byte_reader torn_reader = [torn_at](uint64_t offset, void* buffer, size_t size) {
        if (!sample_reader()(offset, buffer, size))
            return false;
        for (uint64_t at = torn_at; at < torn_at + 2; ++at)
            if (at >= offset && at < offset + size)
                static_cast<uint8_t*>(buffer)[at - offset] ^= 0xFF;
        return true;
    };
    fs_info torn;
    ASSERT_TRUE(probe_file_system(torn_reader, length, torn));
    EXPECT_EQ(torn.file_system, "NTFS");
    EXPECT_EQ(torn.label, intact.label);
    EXPECT_EQ(torn.total_bytes, intact.total_bytes);
    EXPECT_EQ(torn.free_bytes, 0u);
}

// A minimal exFAT volume of 5,000 512-byte clusters, 10 percent in use by the
// boot sector. Its 625-byte bitmap takes clusters 2 and 3 (or 2 and 9 when
// fragmented); the root directory is cluster 4. 12 clusters are in use.
enum class bitmap_entry { contiguous, fragmented, missing };

std::vector<uint8_t> exfat_volume(bitmap_entry bitmap)
{
    constexpr uint32_t fat_sector = 24, heap_sector = 72, clusters = 5000;
    std::vector<uint8_t> v((heap_sector + clusters) * 512, 0);
    auto put32 = [&](size_t at, uint32_t x) {
        for (int i = 0; i < 4; ++i)
            v[at + i] = uint8_t(x >> (8 * i));
    };
    v[0] = 0xEB, v[1] = 0x76, v[2] = 0x90;
    std::memcpy(&v[3], "EXFAT   ", 8);
    put32(0x48, heap_sector + clusters); // volume length, sectors
    put32(0x50, fat_sector);
    put32(0x54, heap_sector - fat_sector);
    put32(0x58, heap_sector);
    put32(0x5C, clusters);
    put32(0x60, 4); // root directory cluster
    v[0x6C] = 9, v[0x6D] = 0, v[0x6E] = 1, v[0x70] = 10;
    v[510] = 0x55, v[511] = 0xAA;
    auto fat = [&](uint32_t c, uint32_t next) { put32(fat_sector * 512 + 4 * c, next); };
    auto cluster = [](uint32_t c) { return size_t(heap_sector * 512 + (c - 2) * 512); };
    const uint32_t second = bitmap == bitmap_entry::fragmented ? 9 : 3;
    fat(2, second), fat(second, 0xFFFFFFFF), fat(4, 0xFFFFFFFF);
    v[cluster(2)] = 0x0F; // clusters 2-5
    v[cluster(2) + 1] = 0xFF;
    uint8_t* root = &v[cluster(4)];
    const char16_t label[] = u"Cam\u00e9ra";
    root[0] = 0x83, root[1] = 6;
    std::memcpy(root + 2, label, 12);
    if (bitmap != bitmap_entry::missing) {
        root[32] = 0x81;
        put32(cluster(4) + 32 + 20, 2);
        put32(cluster(4) + 32 + 24, (clusters + 7) / 8);
    }
    return v;
}

TEST(FsProbe, ExfatFreeSpaceFromAContiguousBitmapElseTheBootSector)
{
    scratch_dir dir;
    const std::string image = dir.file("exfat.img");
    const struct {
        bitmap_entry bitmap;
        uint64_t free_clusters;
    } cases[] = {
        {bitmap_entry::contiguous, 5000 - 12},
        {bitmap_entry::fragmented, 5000 * 90 / 100},
        {bitmap_entry::missing, 5000 * 90 / 100},
    };
    for (const auto& c : cases) {
        test_support::make_sparse_file(image, 0);
        test_support::write_bytes(image, 0, exfat_volume(c.bitmap));
        const fs_info info = probe(image);
        EXPECT_EQ(info.file_system, "exFAT");
        EXPECT_EQ(info.label, "Cam\xc3\xa9ra");
        EXPECT_EQ(info.total_bytes, 5000u * 512);
        EXPECT_EQ(info.free_bytes, c.free_clusters * 512) << int(c.bitmap);
    }
}

} // namespace
