#include "partition/mbr_backup.h"
#include "partition/partition_repair.h"

#include "disk_fixtures.h"
#include "test_support.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

namespace {

using test_support::output_of;
using test_support::scratch_dir;

uint32_t le32(const bytes& b, size_t at)
{
    return uint32_t(b[at]) | uint32_t(b[at + 1]) << 8 | uint32_t(b[at + 2]) << 16 |
           uint32_t(b[at + 3]) << 24;
}

QStringList backups()
{
    return QDir(mbr_backup_folder()).entryList(QDir::Files, QDir::Name);
}

// Points the per-user data folder somewhere else for one test.
class data_home {
public:
    explicit data_home(const std::string& path) : old_(std::getenv("XDG_DATA_HOME"))
    {
        setenv("XDG_DATA_HOME", path.c_str(), 1);
    }
    ~data_home() { setenv("XDG_DATA_HOME", old_.c_str(), 1); }

private:
    std::string old_;
};

// mkfs.fat writes the OEM name "mkfs.fat"; Windows writes "MSWIN4.1", which
// the search looks for (in the boot sector and its backup copy at +6).
// Returns the size mkfs.fat gave the file system, in sectors.
uint64_t make_fat32(const std::string& image, uint64_t first)
{
    const uint64_t requested = 69632; // 34 MiB: enough clusters for FAT32 at one sector each
    if (test_support::run("mkfs.fat -F 32 -S 512 -s 1 --offset=" + std::to_string(first) + " '" +
                          image + "' " + std::to_string(requested / 2) + " >/dev/null 2>&1") != 0)
        return 0;
    const bytes oem = {'M', 'S', 'W', 'I', 'N', '4', '.', '1'};
    for (uint64_t copy : {first, first + 6})
        test_support::write_bytes(image, copy * sector + 3, oem);
    return le32(test_support::read_bytes(image, first * sector, sector), 0x20);
}

// True when the two files hold the same bytes after the first `skip`.
bool same_bytes(const std::string& a, const std::string& b, uint64_t skip = 0)
{
    return test_support::run("cmp -s -i " + std::to_string(skip) + " '" + a + "' '" + b + "'") == 0;
}

// The Windows sample's NTFS partition with its table erased, followed by two
// FAT32 partitions placed at the chunk edges that the search's resume points
// make: the last tested sector of a chunk, and the chunk's last sector. Built
// once; every test works on a fresh copy.
class windows_and_fat32_disk : public testing::Test {
protected:
    struct fixture {
        scratch_dir dir;
        std::string pristine = dir.file("disk.img");
        bytes old_sector_0;
        QList<partition_item_s> expected;
    };

    static void SetUpTestSuite()
    {
        if (!test_support::have_program("mkfs.fat") || !test_support::have_program("sfdisk"))
            return;
        auto f = std::make_unique<fixture>();
        const std::string from = std::string(ZORVANE_TEST_DATA) + "/ntfs-lastaccess.raw.gz";
        if (test_support::run("gzip -dc '" + from + "' | dd of='" + f->pristine +
                              "' bs=64K conv=sparse status=none") != 0)
            return;

        // The table Windows wrote is the truth about the NTFS extent.
        const bytes windows_mbr = test_support::read_bytes(f->pristine, 0, sector);
        const uint64_t ntfs_start = le32(windows_mbr, 446 + 8);
        const uint64_t ntfs_end = ntfs_start + le32(windows_mbr, 446 + 12) - 1;

        const uint64_t fat1_start = ntfs_end + 1 + 254;
        std::filesystem::resize_file(f->pristine, (fat1_start + 200000) * sector);
        const uint64_t fat1_sectors = make_fat32(f->pristine, fat1_start);
        const uint64_t fat2_start = fat1_start + fat1_sectors + 255;
        const uint64_t fat2_sectors = make_fat32(f->pristine, fat2_start);
        if (fat1_sectors < 60000 || fat2_sectors < 60000)
            return;

        f->old_sector_0.assign(sector, 0);
        const uint8_t signature[6] = {0xDE, 0xAD, 0xBE, 0xEF, 0x5A, 0xA5};
        std::memcpy(f->old_sector_0.data() + 440, signature, 6);
        test_support::write_bytes(f->pristine, 0, f->old_sector_0);

        f->expected = {{QStringLiteral("NTFS"), 7, ntfs_start, ntfs_end},
                       {QStringLiteral("FAT32"), 12, fat1_start, fat1_start + fat1_sectors - 1},
                       {QStringLiteral("FAT32"), 12, fat2_start, fat2_start + fat2_sectors - 1}};
        shared = std::move(f);
    }
    static void TearDownTestSuite() { shared.reset(); }

    void SetUp() override
    {
        if (!shared)
            GTEST_SKIP() << "needs gzip, mkfs.fat and sfdisk";
        image = dir.file("disk.img");
        ASSERT_EQ(test_support::run("cp --sparse=always '" + shared->pristine + "' '" + image + "'"), 0);
    }

    static inline std::unique_ptr<fixture> shared;
    scratch_dir dir;
    std::string image;
};

TEST_F(windows_and_fat32_disk, SearchFindsEveryPartitionAndChangesNothing)
{
    partition_repair_c worker;
    ASSERT_EQ(worker.set_drive(only_disk(image)), 0);
    worker.start();
    worker.wait();
    EXPECT_EQ(worker.found(), shared->expected);
    EXPECT_EQ(worker.progress(), 1.0);
    EXPECT_TRUE(same_bytes(image, shared->pristine));
}

TEST_F(windows_and_fat32_disk, RepairedTableReadsBackInOtherTools)
{
    partition_repair_c worker;
    ASSERT_EQ(worker.set_drive(only_disk(image)), 0);
    worker.start();
    worker.wait();
    const QStringList backups_before = backups();

    ASSERT_EQ(worker.repair(), 0);

    EXPECT_TRUE(same_bytes(image, shared->pristine, sector)) << "only sector 0 may change";
    const QJsonObject table =
        QJsonDocument::fromJson(QByteArray::fromStdString(output_of("sfdisk --json '" + image + "'")))
            .object()
            .value(QStringLiteral("partitiontable"))
            .toObject();
    EXPECT_EQ(table.value(QStringLiteral("label")).toString(), QStringLiteral("dos"));
    EXPECT_EQ(table.value(QStringLiteral("id")).toString(), QStringLiteral("0xefbeadde"));
    const QJsonArray partitions = table.value(QStringLiteral("partitions")).toArray();
    const QList<partition_item_s>& want = shared->expected;
    ASSERT_EQ(partitions.size(), want.size());
    for (int i = 0; i < want.size(); ++i) {
        const QJsonObject p = partitions[i].toObject();
        EXPECT_EQ(uint64_t(p.value(QStringLiteral("start")).toInteger()), want[i].start_sector) << i;
        EXPECT_EQ(uint64_t(p.value(QStringLiteral("size")).toInteger()),
                  want[i].end_sector - want[i].start_sector + 1) << i;
        EXPECT_EQ(p.value(QStringLiteral("type")).toString(), want[i].type == 7 ? "7" : "c") << i;
        EXPECT_EQ(p.value(QStringLiteral("bootable")).toBool(), i == 0) << i;
    }
    if (test_support::have_program("mmls")) {
        EXPECT_NE(output_of("mmls '" + image + "'").find(std::to_string(want[2].start_sector)),
                  std::string::npos);
    }

    // The old sector 0 is kept in a new backup named after the disk.
    QStringList added = backups();
    for (const QString& name : backups_before)
        added.removeAll(name);
    ASSERT_EQ(added.size(), 1);
    EXPECT_TRUE(added[0].startsWith(QStringLiteral("PhysicalDrive0-"))) << added[0].toStdString();
    EXPECT_EQ(test_support::read_file((mbr_backup_folder() + "/" + added[0]).toStdString()),
              shared->old_sector_0);
}

TEST(PartitionRepair, RefusesAndWritesNothing)
{
    scratch_dir dir;
    const std::string image = dir.file("disk.img");
    make_image(image, 1 << 24, {{2048, ntfs_boot_sector(4095)}}); // 8 GiB, sparse
    const bytes old = test_support::read_bytes(image, 0, sector);

    partition_repair_c worker;
    EXPECT_EQ(worker.repair(), -1) << "no drive";

    ASSERT_EQ(worker.set_drive(only_disk(image)), 0);
    worker.start();
    EXPECT_EQ(worker.repair(), -1) << "while the search runs";
    worker.stop();

    {
        const std::string blocked = dir.file("not-a-folder");
        write_file(blocked, {1}); // a file where the data folder should be
        data_home home(blocked);
        EXPECT_EQ(worker.repair(), -1) << "backup cannot be written";
    }
    EXPECT_EQ(test_support::read_bytes(image, 0, sector), old);

    test_support::use_disks({dir.file("missing.img")});
    EXPECT_EQ(worker.repair(), -1) << "disk cannot be opened";
}

TEST(PartitionRepair, EveryRepairKeepsItsOwnBackup)
{
    scratch_dir dir;
    const std::string image = dir.file("disk.img");
    bytes original(sector, 0x33);
    make_image(image, 16384, {{0, original}, {2048, ntfs_boot_sector(4095)}});
    data_home home(dir.file("data"));

    partition_repair_c worker;
    ASSERT_EQ(worker.set_drive(only_disk(image)), 0);
    worker.start();
    worker.wait();
    ASSERT_EQ(worker.repair(), 0);
    const bytes first_repair = test_support::read_bytes(image, 0, sector);
    ASSERT_EQ(worker.repair(), 0);

    QList<bytes> saved;
    for (const QString& name : backups())
        saved.append(test_support::read_file((mbr_backup_folder() + "/" + name).toStdString()));
    ASSERT_EQ(saved.size(), 2);
    EXPECT_TRUE(saved.contains(original));
    EXPECT_TRUE(saved.contains(first_repair));
}

} // namespace
