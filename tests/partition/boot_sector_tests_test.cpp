#include "partition/boot_sector_tests.h"

#include "disk_fixtures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

namespace {

// The tested sector followed by the sector after it.
bytes two_sectors(const bytes& first, const bytes& second)
{
    bytes b = first;
    b.insert(b.end(), second.begin(), second.end());
    return b;
}

struct boot_sector_case {
    const char* name;
    bytes sectors;
    bool ntfs;
    bool fat32;
};

TEST(BootSectorTests, AcceptOnlyTheSignaturesTheyName)
{
    bytes ntfs_without_55aa = ntfs_boot_sector(100);
    ntfs_without_55aa[511] = 0;
    bytes ntfs_name_shifted = ntfs_boot_sector(100);
    std::memcpy(ntfs_name_shifted.data() + 3, "NTFS   X", 8);

    const boot_sector_case cases[] = {
        {"ntfs", two_sectors(ntfs_boot_sector(100), bytes(sector, 0)), true, false},
        {"ntfs without 55 AA", two_sectors(ntfs_without_55aa, signature_sector()), false, false},
        {"ntfs name not padded with spaces", two_sectors(ntfs_name_shifted, signature_sector()), false, false},
        {"MSWIN4.1", two_sectors(fat32_boot_sector("MSWIN4.1", 100), signature_sector()), false, true},
        {"MSDOS5.0", two_sectors(fat32_boot_sector("MSDOS5.0", 100), signature_sector()), false, true},
        {"only five letters compared", two_sectors(fat32_boot_sector("MSDOSxyz", 100), signature_sector()), false, true},
        {"lower case msdos", two_sectors(fat32_boot_sector("msdos5.0", 100), signature_sector()), false, false},
        {"mkfs.fat", two_sectors(fat32_boot_sector("mkfs.fat", 100), signature_sector()), false, false},
        {"fat32 whose next sector lacks 55 AA", two_sectors(fat32_boot_sector("MSWIN4.1", 100), bytes(sector, 0)), false, false},
        {"zeros", bytes(2 * sector, 0), false, false},
    };
    for (const boot_sector_case& c : cases) {
        EXPECT_EQ(is_ntfs_boot_sector(c.sectors.data()), c.ntfs) << c.name;
        EXPECT_EQ(is_fat32_boot_sector(c.sectors.data()), c.fat32) << c.name;
    }
}

TEST(BootSectorTests, HitCarriesTheCountOfItsFileSystem)
{
    bytes buffer(4 * sector, 0);
    const bytes fat = fat32_boot_sector("MSWIN4.1", 500000);
    std::copy(fat.begin(), fat.end(), buffer.begin() + sector);
    const bytes fsinfo = signature_sector();
    std::copy(fsinfo.begin(), fsinfo.end(), buffer.begin() + 2 * sector);

    auto hit = find_boot_sector(buffer.data(), 3);
    ASSERT_TRUE(hit);
    EXPECT_EQ(hit->index, 1u);
    EXPECT_STREQ(hit->file_system, "FAT32");
    EXPECT_EQ(hit->type, 12);
    EXPECT_EQ(hit->count, 500000u);

    const bytes ntfs = ntfs_boot_sector(UINT64_MAX); // the count wraps to 0
    std::copy(ntfs.begin(), ntfs.end(), buffer.begin());
    hit = find_boot_sector(buffer.data(), 3);
    ASSERT_TRUE(hit);
    EXPECT_EQ(hit->index, 0u);
    EXPECT_STREQ(hit->file_system, "NTFS");
    EXPECT_EQ(hit->type, 7);
    EXPECT_EQ(hit->count, 0u);

    // Only the first `testable` sectors are tested.
    EXPECT_FALSE(find_boot_sector(buffer.data() + sector, 0));
}

} // namespace
