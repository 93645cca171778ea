#include "partition/mbr_boot_code.h"
#include "partition/mbr_sector.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

platform::disk_geometry geometry(uint32_t heads, uint32_t sectors_per_track)
{
    platform::disk_geometry g;
    g.tracks_per_cylinder = heads;
    g.sectors_per_track = sectors_per_track;
    g.bytes_per_sector = 512;
    return g;
}

const platform::disk_geometry big_disk = geometry(255, 63);

uint32_t le32(const uint8_t* p)
{
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

partition_item_s ntfs(uint64_t start, uint64_t end)
{
    return {QStringLiteral("NTFS"), 7, start, end};
}

const uint8_t* slot(const uint8_t* sector, int k)
{
    return sector + 446 + 16 * k;
}

TEST(ChsAddress, EncodesHeadSectorAndCylinderAndSaturatesBeyondCylinder1023)
{
    struct chs_case {
        uint64_t sector;
        platform::disk_geometry geometry;
        std::array<uint8_t, 3> expected;
    } cases[] = {
        {0, big_disk, {0x00, 0x01, 0x00}},
        {2048, big_disk, {0x20, 0x21, 0x00}},
        {1002048, big_disk, {0x5F, 0x22, 0x3E}},               // head 95, sector 34, cylinder 62
        {256 * 16065, big_disk, {0x00, 0x41, 0x00}},           // cylinder 256: bit 8 in the sector byte
        {1023 * 16065, big_disk, {0x00, 0xC1, 0xFF}},          // the last cylinder CHS can hold
        {1024 * 16065, big_disk, {0xFE, 0xFF, 0xFF}},          // would wrap to cylinder 0
        {uint64_t(UINT32_MAX) + 2048, big_disk, {0xFE, 0xFF, 0xFF}},
        {2048, geometry(64, 32), {0x00, 0x01, 0x01}},
        {2048, geometry(0, 0), {0xFE, 0xFF, 0xFF}},
    };
    for (const chs_case& c : cases)
        EXPECT_EQ(chs_address(c.sector, c.geometry), c.expected) << c.sector;
}

TEST(FitsPartitionTable, NeedsFirstSectorAndCountWithin32Bits)
{
    EXPECT_TRUE(fits_partition_table(ntfs(UINT32_MAX, UINT32_MAX)));
    EXPECT_TRUE(fits_partition_table(ntfs(0, uint64_t(UINT32_MAX) - 1)));  // count 2^32 - 1
    EXPECT_FALSE(fits_partition_table(ntfs(0, UINT32_MAX)));               // count 2^32
    EXPECT_FALSE(fits_partition_table(ntfs(uint64_t(UINT32_MAX) + 1, uint64_t(UINT32_MAX) + 10)));
    EXPECT_FALSE(fits_partition_table(ntfs(10, 9)));
}

// An old sector 0 with boot code, a disk signature, a stale table and
// statuses 80, 12, 00 in slots 1 to 3.
std::array<uint8_t, 512> old_sector_0()
{
    std::array<uint8_t, 512> s;
    for (size_t i = 0; i < s.size(); ++i)
        s[i] = uint8_t(i * 7 + 1);
    const uint8_t statuses[] = {0x00, 0x80, 0x12, 0x00};
    for (int k = 0; k < 4; ++k)
        s[446 + 16 * k] = statuses[k];
    s[510] = s[511] = 0;
    return s;
}

TEST(BuildMbrSector, WritesTheSlotOfAFoundPartition)
{
    std::array<uint8_t, 512> s = old_sector_0();
    build_mbr_sector(s.data(), {ntfs(2048, 1002048)}, big_disk);
    const uint8_t expected[16] = {0x80, 0x20, 0x21, 0x00, 0x07, 0x5F, 0x22, 0x3E,
                                  0x00, 0x08, 0x00, 0x00, 0x41, 0x42, 0x0F, 0x00};
    EXPECT_EQ(std::memcmp(slot(s.data(), 0), expected, 16), 0);
}

TEST(BuildMbrSector, KeepsSignatureAndStatusesAndSkipsWhatDoesNotFit)
{
    const std::array<uint8_t, 512> old = old_sector_0();
    std::array<uint8_t, 512> s = old;
    const uint64_t beyond_32_bits = uint64_t(1) << 32;
    const QList<partition_item_s> found = {
        ntfs(2048, 4095),
        ntfs(beyond_32_bits, beyond_32_bits + 100),  // first sector does not fit
        {QStringLiteral("FAT32"), 12, 8192, 9999},
        ntfs(10000, 10000 + beyond_32_bits - 1),     // count does not fit
        ntfs(20000, 29999),
        ntfs(30000, 39999),
        ntfs(40000, 49999),                          // a fifth that fits: no slot left
    };
    build_mbr_sector(s.data(), found, big_disk);

    EXPECT_EQ(std::memcmp(s.data(), mbr_boot_code.data(), mbr_boot_code_bytes), 0);
    EXPECT_EQ(std::memcmp(s.data() + 440, old.data() + 440, 6), 0);
    EXPECT_EQ(s[510], 0x55);
    EXPECT_EQ(s[511], 0xAA);

    const uint8_t statuses[] = {0x80, 0x80, 0x12, 0x00};
    const uint32_t firsts[] = {2048, 8192, 20000, 30000};
    const uint32_t counts[] = {2048, 1808, 10000, 10000};
    const uint8_t types[] = {7, 12, 7, 7};
    for (int k = 0; k < 4; ++k) {
        EXPECT_EQ(slot(s.data(), k)[0], statuses[k]) << k;
        EXPECT_EQ(slot(s.data(), k)[4], types[k]) << k;
        EXPECT_EQ(le32(slot(s.data(), k) + 8), firsts[k]) << k;
        EXPECT_EQ(le32(slot(s.data(), k) + 12), counts[k]) << k;
    }
}

TEST(BuildMbrSector, LeavesUnusedSlotsEmpty)
{
    const uint8_t empty[16] = {};
    for (int records = 0; records < 4; ++records) {
        std::array<uint8_t, 512> s = old_sector_0();
        QList<partition_item_s> found;
        for (int i = 0; i < records; ++i)
            found.append(ntfs(2048 + 4096 * uint64_t(i), 4095 + 4096 * uint64_t(i)));
        build_mbr_sector(s.data(), found, big_disk);
        for (int k = records; k < 4; ++k)
            EXPECT_EQ(std::memcmp(slot(s.data(), k), empty, 16), 0) << records << " " << k;
    }
}

} // namespace
