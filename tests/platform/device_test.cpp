#include "platform/device.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <vector>

using namespace platform;
using test_support::scratch_dir;

namespace {

struct image_disk : ::testing::Test {
    scratch_dir dir;
    std::string image = dir.file("disk.img");

    void SetUp() override
    {
        test_support::make_sparse_file(image, 8 * 1024 * 1024 + 100);
        std::vector<uint8_t> pattern(4096);
        for (size_t i = 0; i < pattern.size(); ++i)
            pattern[i] = uint8_t(i * 7 + 3);
        test_support::write_bytes(image, 1024 * 1024, pattern);
        test_support::use_disks({image});
    }
    void TearDown() override { unsetenv("ZORVANE_DISKS"); }
};

} // namespace

TEST_F(image_disk, reads_at_the_position_and_short_at_the_end)
{
    device::handle* h = device::open("\\\\.\\PhysicalDrive0", device::generic_read, device::no_buffering);
    ASSERT_NE(h, nullptr);
    alignas(4096) static uint8_t buffer[8192];
    uint32_t got = 0;
    ASSERT_TRUE(device::seek(h, 1024 * 1024));
    ASSERT_TRUE(device::read(h, buffer, 4096, &got));
    EXPECT_EQ(got, 4096u);
    EXPECT_EQ(buffer[1], uint8_t(10));

    // An unaligned position goes through the buffered descriptor.
    ASSERT_TRUE(device::seek(h, 1024 * 1024 + 1));
    ASSERT_TRUE(device::read(h, buffer + 1, 512, &got));
    EXPECT_EQ(buffer[1], uint8_t(10));

    ASSERT_TRUE(device::seek(h, 8 * 1024 * 1024 - 412));
    ASSERT_TRUE(device::read(h, buffer, 8192, &got));
    EXPECT_EQ(got, 512u);
    ASSERT_TRUE(device::read(h, buffer, 8192, &got));
    EXPECT_EQ(got, 0u);
    device::close(h);
}

TEST_F(image_disk, query_only_opens_give_geometry_but_no_data)
{
    device::handle* h = device::open("\\\\.\\PhysicalDrive0", device::query_only);
    ASSERT_NE(h, nullptr);
    disk_geometry g;
    ASSERT_TRUE(device::drive_geometry(h, &g));
    EXPECT_EQ(g.bytes_per_sector, 512u);
    EXPECT_EQ(g.tracks_per_cylinder, 255u);
    EXPECT_EQ(g.sectors_per_track, 63u);
    EXPECT_EQ(g.cylinders, 1);
    uint8_t byte;
    uint32_t got;
    EXPECT_FALSE(device::read(h, &byte, 1, &got));
    device::close(h);
}

TEST_F(image_disk, writes_need_write_access_and_stay_inside_the_disk)
{
    std::vector<uint8_t> sector(512, 0xAB);
    uint32_t done = 0;
    device::handle* ro = device::open("\\\\.\\PhysicalDrive0", device::generic_read);
    ASSERT_NE(ro, nullptr);
    EXPECT_FALSE(device::write(ro, sector.data(), 512, &done));
    device::close(ro);

    device::handle* rw = device::open("\\\\.\\PhysicalDrive0",
                                      device::generic_read | device::generic_write, device::no_buffering);
    ASSERT_NE(rw, nullptr);
    ASSERT_TRUE(device::seek(rw, 8 * 1024 * 1024 + 100 - 256));
    EXPECT_FALSE(device::write(rw, sector.data(), 512, &done));
    ASSERT_TRUE(device::seek(rw, 0));
    ASSERT_TRUE(device::write(rw, sector.data(), 512, &done));
    EXPECT_EQ(done, 512u);
    device::close(rw);
    EXPECT_EQ(test_support::read_bytes(image, 0, 512), sector);
}

TEST_F(image_disk, names_that_resolve_to_nothing_fail)
{
    for (const char* path : {"\\\\.\\PhysicalDrive1", "\\\\.\\PhysicalDrive", "\\\\.\\PhysicalDrive0x",
                             "\\\\?\\Volume{00000000-0000-0000-0000-000000000000}\\"})
        EXPECT_EQ(device::open(path, device::generic_read), nullptr) << path;
}

TEST_F(image_disk, a_removed_image_fails_the_medium_check)
{
    device::handle* h = device::open("\\\\.\\PhysicalDrive0", device::generic_read);
    ASSERT_NE(h, nullptr);
    EXPECT_TRUE(device::check_verify(h));
    std::filesystem::remove(image);
    EXPECT_FALSE(device::check_verify(h));
    disk_geometry g;
    EXPECT_FALSE(device::drive_geometry(h, &g));
    device::close(h);
}

TEST(image_geometry, follows_the_size_and_the_sector_size)
{
    struct row {
        uint64_t size;
        const char* suffix;
        uint32_t bytes, heads, sectors;
        int64_t cylinders;
    };
    const row rows[] = {
        {1024ULL * 255 * 63 * 512 + 511, "", 512, 255, 63, 1024},
        {255ULL * 63 * 512 - 1, "", 512, 64, 32, 255ULL * 63 * 512 / (64 * 32 * 512)},
        {64ULL << 30, "@4096", 4096, 255, 63, int64_t((64ULL << 30) / (255 * 63 * 4096ULL))},
    };
    scratch_dir dir;
    for (const row& r : rows) {
        const std::string image = dir.file("g.img");
        test_support::make_sparse_file(image, r.size);
        test_support::use_disks({image + r.suffix});
        device::handle* h = device::open("\\\\.\\PhysicalDrive0", device::query_only);
        ASSERT_NE(h, nullptr);
        disk_geometry g;
        ASSERT_TRUE(device::drive_geometry(h, &g));
        EXPECT_EQ(g.bytes_per_sector, r.bytes);
        EXPECT_EQ(g.tracks_per_cylinder, r.heads);
        EXPECT_EQ(g.sectors_per_track, r.sectors);
        EXPECT_EQ(g.cylinders, r.cylinders) << r.size;
        device::close(h);
    }
    unsetenv("ZORVANE_DISKS");
}

TEST(ordinary_files, are_created_and_read_back)
{
    scratch_dir dir;
    const std::string path = dir.file("out.bin");
    device::handle* out = device::open(path, device::generic_write, device::normal, device::create_always);
    ASSERT_NE(out, nullptr);
    uint32_t done = 0;
    ASSERT_TRUE(device::write(out, "hello", 5, &done));
    device::close(out);
    device::handle* in = device::open(path, device::generic_read);
    ASSERT_NE(in, nullptr);
    char text[8] = {};
    ASSERT_TRUE(device::read(in, text, 8, &done));
    EXPECT_EQ(done, 5u);
    EXPECT_STREQ(text, "hello");
    device::close(in);
    EXPECT_EQ(device::open(dir.path().string(), device::generic_read), nullptr);
}
