#include "partition/partition_repair.h"

#include "disk_fixtures.h"
#include "test_support.h"

#include <QCoreApplication>
#include <QObject>

#include <gtest/gtest.h>

namespace {

using test_support::scratch_dir;

partition_item_s record(const char* fs, uint64_t start, uint64_t end)
{
    return {QString::fromLatin1(fs), QLatin1String(fs) == QLatin1String("NTFS") ? 7 : 12, start, end};
}

std::vector<placed_sector> fat32_at(uint64_t number, uint32_t total, const char* oem = "MSWIN4.1")
{
    return {{number, fat32_boot_sector(oem, total)}, {number + 1, signature_sector()}};
}

std::vector<placed_sector> operator+(std::vector<placed_sector> a, const std::vector<placed_sector>& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

std::vector<placed_sector> ntfs_at(uint64_t number, uint64_t total_field)
{
    return {{number, ntfs_boot_sector(total_field)}};
}

struct scan_case {
    const char* name;
    uint64_t image_sectors;
    std::vector<placed_sector> placed;
    QList<partition_item_s> expected;
};

// A boot sector placed inside a found extent is never looked at; one placed
// right after it is found, which pins where the scan resumes.
TEST(PartitionScan, FindsTheBootSectorsTheRulesFind)
{
    const uint64_t huge = uint64_t(1) << 40;
    const scan_case cases[] = {
        {"ntfs at 2048 resumes at 1002049", 1010000,
         ntfs_at(2048, 1000000) + ntfs_at(1002048, 10) + fat32_at(1002049, 100),
         {record("NTFS", 2048, 1002048), record("FAT32", 1002049, 1002148)}},
        {"fat32 at 63 resumes at 500063", 510000,
         fat32_at(63, 500000) + fat32_at(500062, 10) + ntfs_at(500063, 99),
         {record("FAT32", 63, 500062), record("NTFS", 500063, 500162)}},
        {"fat32 whose next sector lacks 55 AA", 4096,
         {{63, fat32_boot_sector("MSWIN4.1", 500000)}}, {}},
        {"MSDOS passes, msdos does not", 4096,
         fat32_at(100, 50, "msdos5.0") + fat32_at(300, 50, "MSDOS5.0"), {record("FAT32", 300, 349)}},
        {"last tested sector of the first chunk, look-ahead in the same chunk", 4096,
         fat32_at(254, 10), {record("FAT32", 254, 263)}},
        {"last sector of the first chunk is tested in the second", 4096,
         ntfs_at(255, 9), {record("NTFS", 255, 264)}},
        {"edges of the second chunk", 4096,
         fat32_at(509, 1) + ntfs_at(510, 0),
         {record("FAT32", 509, 509), record("NTFS", 510, 510)}},
        {"ntfs without 55 AA", 4096,
         {{100, [] { bytes s = ntfs_boot_sector(10); s[510] = 0; return s; }()}}, {}},
        {"a count of 0 resumes at the next sector", 4096,
         fat32_at(100, 0) + ntfs_at(101, 9), {record("NTFS", 101, 110)}},
        {"an ntfs count that wraps to 0", 4096,
         ntfs_at(100, UINT64_MAX) + ntfs_at(101, 9), {record("NTFS", 101, 110)}},
        {"an end beyond every byte offset", 4096,
         ntfs_at(100, uint64_t(1) << 60) + ntfs_at(101, 9), {record("NTFS", 101, 110)}},
        {"an extent beyond the disk ends the scan", 4096,
         ntfs_at(100, huge - 1) + ntfs_at(300, 9), {record("NTFS", 100, 100 + huge - 1)}},
        {"the last partial chunk is not tested", 1000,
         ntfs_at(700, 9) + ntfs_at(980, 9), {record("NTFS", 700, 709)}},
        {"a disk smaller than one chunk", 200, ntfs_at(0, 9), {}},
    };
    for (const scan_case& c : cases) {
        scratch_dir dir;
        const std::string image = dir.file("disk.img");
        make_image(image, c.image_sectors, c.placed);
        test_support::use_disks({image});

        partition_repair_c worker;
        EXPECT_EQ(worker.scan(image_drive(0, c.image_sectors * sector)), 0) << c.name;
        EXPECT_EQ(worker.found(), c.expected) << c.name;
        EXPECT_EQ(worker.progress(), 1.0) << c.name;
    }
}

TEST(PartitionScan, RecordsNothingOnADiskOfSizeZero)
{
    scratch_dir dir;
    make_image(dir.file("disk.img"), 4096, ntfs_at(0, 9) + ntfs_at(600, 9));
    test_support::use_disks({dir.file("disk.img")});
    partition_repair_c worker;
    EXPECT_EQ(worker.scan(image_drive(0, 0)), 0);
    EXPECT_TRUE(worker.found().isEmpty());
}

TEST(PartitionScan, FailsWithoutProgressWhenTheDiskCannotBeOpened)
{
    scratch_dir dir;
    test_support::use_disks({dir.file("missing.img")});
    partition_repair_c worker;
    ASSERT_EQ(worker.set_drive(image_drive(0, 1 << 20)), 0);
    worker.start();
    worker.wait();
    EXPECT_EQ(worker.scan(image_drive(0, 1 << 20)), -1);
    EXPECT_TRUE(worker.found().isEmpty());
    EXPECT_EQ(worker.progress(), 0.0);
}

// The drive list's record of a 64 GiB sparse disk: the scan has far to go
// after its first find, so a stop on that find lands long before the end.
TEST(PartitionScan, StopEndsTheRunAndKeepsWhatWasFound)
{
    scratch_dir dir;
    const std::string big = dir.file("big.img");
    test_support::make_sparse_file(big, uint64_t(64) << 30);
    for (const placed_sector& p : fat32_at(2048, 1000) + fat32_at(100000, 1000))
        test_support::write_bytes(big, p.number * sector, p.content);
    const drive_item_s drive = only_disk(big);
    ASSERT_FALSE(drive.path.isEmpty());

    partition_repair_c worker;
    QObject::connect(&worker, &partition_repair_c::partition_found, &worker, [&worker] {
        QList<partition_item_s> seen = worker.found();
        ASSERT_FALSE(seen.isEmpty());
        worker.stop();
        QCoreApplication::exit();
    });
    ASSERT_EQ(worker.set_drive(drive), 0);
    worker.start();
    QCoreApplication::exec();

    EXPECT_FALSE(worker.isRunning());
    const QList<partition_item_s> kept = worker.found();
    ASSERT_FALSE(kept.isEmpty());
    EXPECT_EQ(kept.front(), record("FAT32", 2048, 3047));
    EXPECT_LT(worker.progress(), 1.0);

    // A stopped worker scans in full on its next start.
    const std::string small = dir.file("small.img");
    make_image(small, 8192, fat32_at(4000, 100));
    ASSERT_EQ(worker.set_drive(only_disk(small)), 0);
    worker.start();
    worker.wait();
    EXPECT_EQ(worker.found(), QList<partition_item_s>{record("FAT32", 4000, 4099)});
    EXPECT_EQ(worker.progress(), 1.0);
}

// Back-to-back partitions make the worker append as fast as it reads; every
// copy the reader takes meanwhile must be a prefix of the final list.
TEST(PartitionScan, ReadersSeeAConsistentListWhileTheWorkerAppends)
{
    scratch_dir dir;
    const std::string image = dir.file("disk.img");
    const uint64_t partitions = 1000;
    bytes content((2 * partitions + 2048) * sector, 0);
    QList<partition_item_s> expected;
    for (uint64_t k = 1; k <= partitions; ++k) {
        const bytes boot = fat32_boot_sector("MSWIN4.1", 2);
        const bytes fsinfo = signature_sector();
        std::copy(boot.begin(), boot.end(), content.begin() + 2 * k * sector);
        std::copy(fsinfo.begin(), fsinfo.end(), content.begin() + (2 * k + 1) * sector);
        expected.append(record("FAT32", 2 * k, 2 * k + 1));
    }
    write_file(image, content);
    test_support::use_disks({image});

    partition_repair_c worker;
    ASSERT_EQ(worker.set_drive(image_drive(0, content.size())), 0);
    worker.start();
    while (!worker.wait(0)) {
        const QList<partition_item_s> seen = worker.found();
        ASSERT_LE(seen.size(), expected.size());
        ASSERT_EQ(seen, expected.first(seen.size()));
    }
    EXPECT_EQ(worker.found(), expected);
    EXPECT_EQ(worker.found_count(), expected.size());
}

} // namespace
