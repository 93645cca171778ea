#include "platform/partition_table.h"
#include "test_support.h"

#include <gtest/gtest.h>

using namespace platform::detail;
using test_support::scratch_dir;

namespace {

std::vector<partition_entry> table_of(const std::string& image, uint32_t sector_size = 512)
{
    disk_entry disk;
    disk.backing = image;
    return read_partition_table(disk_reader(disk), std::filesystem::file_size(image), sector_size);
}

struct expected {
    uint32_t number;
    uint64_t start_sector, sectors;
};

void expect_table(const std::vector<partition_entry>& got, const std::vector<expected>& want,
                  uint32_t sector_size = 512)
{
    ASSERT_EQ(got.size(), want.size());
    for (size_t i = 0; i < want.size(); ++i) {
        EXPECT_EQ(got[i].number, want[i].number) << i;
        EXPECT_EQ(got[i].start, want[i].start_sector * sector_size) << i;
        EXPECT_EQ(got[i].length, want[i].sectors * sector_size) << i;
    }
}

void sfdisk(const std::string& image, const std::string& script)
{
    ASSERT_EQ(test_support::run("printf '" + script + "' | sfdisk -q '" + image + "' >/dev/null 2>&1"), 0);
}

} // namespace

TEST(partition_table, mbr_primary_and_logical_partitions)
{
    if (!test_support::have_program("sfdisk"))
        GTEST_SKIP() << "sfdisk missing";
    scratch_dir dir;
    const std::string image = dir.file("mbr.img");
    test_support::make_sparse_file(image, 64 << 20);
    sfdisk(image, "label: dos\\nstart=2048,size=8192,type=7\\nstart=10240,size=40960,type=5\\n"
                  "start=12288,size=4096,type=c\\nstart=18432,size=2048,type=83\\n");
    expect_table(table_of(image), {{1, 2048, 8192}, {5, 12288, 4096}, {6, 18432, 2048}});
}

TEST(partition_table, gpt_entries_by_index)
{
    if (!test_support::have_program("sfdisk"))
        GTEST_SKIP() << "sfdisk missing";
    scratch_dir dir;
    const std::string image = dir.file("gpt.img");
    test_support::make_sparse_file(image, 64 << 20);
    sfdisk(image, "label: gpt\\nstart=2048,size=4096\\nstart=8192,size=8192\\n");
    expect_table(table_of(image), {{1, 2048, 4096}, {2, 8192, 8192}});
}

TEST(partition_table, a_bare_file_system_is_one_volume)
{
    if (!test_support::have_program("mkfs.fat"))
        GTEST_SKIP() << "mkfs.fat missing";
    scratch_dir dir;
    const std::string image = dir.file("fat.img");
    test_support::make_sparse_file(image, 8 << 20);
    ASSERT_EQ(test_support::run("mkfs.fat '" + image + "' >/dev/null"), 0);
    expect_table(table_of(image), {{1, 0, (8 << 20) / 512}});
}

TEST(partition_table, crafted_tables_are_bounded)
{
    scratch_dir dir;
    const std::string image = dir.file("crafted.img");
    test_support::make_sparse_file(image, 1 << 20);
    auto mbr_entry = [](uint8_t status, uint8_t type, uint32_t first, uint32_t count) {
        std::vector<uint8_t> e(16);
        e[0] = status;
        e[4] = type;
        for (int i = 0; i < 4; ++i) {
            e[8 + i] = uint8_t(first >> 8 * i);
            e[12 + i] = uint8_t(count >> 8 * i);
        }
        return e;
    };
    const std::vector<uint8_t> signature = {0x55, 0xAA};
    // An extended partition whose chain points back at itself, and a slot past the end.
    test_support::write_bytes(image, 446, mbr_entry(0, 0x05, 100, 1000));
    test_support::write_bytes(image, 462, mbr_entry(0, 0x07, 1000, 1 << 20));
    test_support::write_bytes(image, 510, signature);
    test_support::write_bytes(image, 100 * 512 + 446, mbr_entry(0, 0x07, 10, 20));
    test_support::write_bytes(image, 100 * 512 + 462, mbr_entry(0, 0x05, 0 + 0, 0));
    test_support::write_bytes(image, 100 * 512 + 510, signature);
    expect_table(table_of(image), {{5, 110, 20}});

    test_support::write_bytes(image, 100 * 512 + 462, mbr_entry(0, 0x05, 50, 10));
    test_support::write_bytes(image, 150 * 512 + 462, mbr_entry(0, 0x05, 0xFFFFFFFF, 10));
    test_support::write_bytes(image, 150 * 512 + 510, signature);
    EXPECT_LE(table_of(image).size(), 2u);

    // A status byte other than 0 or 0x80 means sector 0 holds no table.
    test_support::write_bytes(image, 446, mbr_entry(0x12, 0x07, 100, 10));
    EXPECT_TRUE(table_of(image).empty());
}
