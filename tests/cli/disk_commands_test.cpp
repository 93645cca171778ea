#include "cli_runner.h"
#include "test_support.h"

#include <QJsonArray>
#include <QJsonObject>

#include <gtest/gtest.h>

#include <filesystem>

using test_support::scratch_dir;

namespace {

// The demo's lost-partition disk: FAT32 at 2048, NTFS at 135168, sector 0 zeroed.
struct lost_disk : ::testing::Test {
    scratch_dir dir;
    std::string image = dir.file("lost.img");

    void SetUp() override
    {
        for (const char* tool : {"mkfs.fat", "mcopy", "sfdisk"})
            if (!test_support::have_program(tool))
                GTEST_SKIP() << tool << " missing";
        ASSERT_EQ(test_support::run(std::string(ZORVANE_DEMO_TOOL) + " '" + image + "' '" +
                                    ZORVANE_TEST_DATA + "/ntfs-lastaccess.raw.gz'"),
                  0);
    }
};

QJsonArray partitions_of(const cli_result& r)
{
    return r.json().array();
}

} // namespace

TEST_F(lost_disk, find_partitions_reports_both_in_found_order_and_writes_nothing)
{
    const auto before = test_support::read_file(image);
    for (const QString disk : {"0", "\\\\.\\PhysicalDrive0"}) {
        const cli_result r = run_cli({"find-partitions", disk, "--json"}, {image});
        ASSERT_EQ(r.status, 0) << r.err.constData();
        const QJsonArray found = partitions_of(r);
        ASSERT_EQ(found.size(), 2);
        EXPECT_EQ(found[0].toObject(), (QJsonObject{{"file_system", "FAT32"}, {"type", 12},
                                                    {"start_sector", 2048}, {"end_sector", 133119}}));
        EXPECT_EQ(found[1].toObject(), (QJsonObject{{"file_system", "NTFS"}, {"type", 7},
                                                    {"start_sector", 135168}, {"end_sector", 653311}}));
        EXPECT_TRUE(r.err.isEmpty()) << "progress only on a terminal";
    }
    EXPECT_EQ(test_support::read_file(image), before);
}

TEST_F(lost_disk, repair_needs_confirmation_then_writes_a_table_other_tools_read)
{
    const cli_result refused = run_cli({"repair", "0"}, {image});
    EXPECT_EQ(refused.status, 2);
    EXPECT_EQ(test_support::read_bytes(image, 0, 512), std::vector<uint8_t>(512, 0));

    const cli_result r = run_cli({"repair", "0", "--yes", "--json"}, {image}, dir.file("data"));
    ASSERT_EQ(r.status, 0) << r.err.constData();
    EXPECT_EQ(partitions_of(r).size(), 2);
    const std::string table = test_support::output_of("sfdisk -d '" + image + "' 2>/dev/null");
    EXPECT_NE(table.find("start=        2048, size=      131072, type=c, bootable"), std::string::npos) << table;
    EXPECT_NE(table.find("start=      135168, size=      518144, type=7"), std::string::npos) << table;

    // The backup holds the old, zeroed sector 0.
    size_t backups = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(dir.file("data"))) {
        if (entry.is_regular_file()) {
            ++backups;
            EXPECT_EQ(test_support::read_file(entry.path().string()), std::vector<uint8_t>(512, 0));
        }
    }
    EXPECT_EQ(backups, 1u);
}

TEST(cli_errors, bad_input_gives_one_line_and_a_non_zero_status)
{
    scratch_dir dir;
    const std::string image = dir.file("small.img");
    test_support::make_sparse_file(image, 1 << 20);
    struct row {
        QStringList arguments;
        int status;
    };
    const row rows[] = {
        {{}, 2},
        {{"frobnicate"}, 2},
        {{"find-partitions"}, 2},
        {{"find-partitions", "0", "--bogus"}, 2},
        {{"find-partitions", "sda"}, 1},
        {{"find-partitions", "3"}, 1},
        {{"repair", "0", "--yes"}, 1}, // nothing found: sector 0 is left alone
    };
    for (const row& r : rows) {
        const cli_result result = run_cli(r.arguments, {image});
        EXPECT_EQ(result.status, r.status) << r.arguments.join(' ').toStdString();
        EXPECT_FALSE(result.err.isEmpty());
        EXPECT_TRUE(result.out.isEmpty());
    }
    const cli_result unreadable = run_cli({"find-partitions", "0"}, {dir.path().string()});
    EXPECT_EQ(unreadable.status, 1);
}

TEST(cli_disks, lists_each_disk_with_its_geometry_and_backing)
{
    scratch_dir dir;
    const std::string image = dir.file("d.img");
    test_support::make_sparse_file(image, 1024ULL * 255 * 63 * 512);
    const cli_result r = run_cli({"disks", "--json"}, {image});
    ASSERT_EQ(r.status, 0);
    const QJsonArray disks = r.json().array();
    ASSERT_EQ(disks.size(), 1);
    EXPECT_EQ(disks[0].toObject(), (QJsonObject{{"number", 0},
                                                {"path", "\\\\.\\PhysicalDrive0"},
                                                {"size", qint64(8422686720)},
                                                {"bytes_per_sector", 512},
                                                {"cylinders", 1024},
                                                {"tracks_per_cylinder", 255},
                                                {"sectors_per_track", 63},
                                                {"backing", QString::fromStdString(image)}}));
}
