// The disk layer over disk images of the image backend.
#include "recovery/fat/disk_layer.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <thread>

namespace {

using namespace test_support;

class disk_layer_test : public ::testing::Test {
protected:
    static void SetUpTestSuite() { disk_startup(); }

    // A 1 MiB image whose every sector begins with its own number.
    std::string make_image(const std::string& name)
    {
        const std::string path = dir_.file(name);
        make_sparse_file(path, 1 << 20);
        for (uint32_t sector = 0; sector < 2048; ++sector)
            write_bytes(path, sector * 512ull,
                        {uint8_t(sector), uint8_t(sector >> 8), 0x5A, uint8_t(~sector)});
        return path;
    }

    scratch_dir dir_;
};

TEST_F(disk_layer_test, DisksAreOpenedUpToTheFirstMissingOne)
{
    const std::string log = dir_.file("debug.log");
    setenv("ZORVANE_DEBUG_LOG", log.c_str(), 1);
    use_disks({make_image("a.img"), make_image("b.img") + "@4096", "", make_image("c.img")});
    testing::internal::CaptureStdout();
    EXPECT_EQ(disk_rescan(), 2);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    unsetenv("ZORVANE_DEBUG_LOG");
    const auto bytes = read_file(log);
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()),
              "Disk# 0 <== \\\\.\\PhysicalDrive0 (1MB, 512 bytes * 2048 sectors)\n"
              "Disk# 1 <== \\\\.\\PhysicalDrive1 (Not Ready)\n");

    EXPECT_EQ(disk_query(0) & disk_not_ready, 0);
    EXPECT_EQ(disk_query(1), disk_not_ready);
    EXPECT_EQ(disk_query(2), disk_not_ready);
    uint8_t sector[512];
    EXPECT_EQ(disk_read_sectors(1, sector, 0, 1), disk_unavailable);
    EXPECT_EQ(disk_read_sectors(3, sector, 0, 1), disk_unavailable);
}

TEST_F(disk_layer_test, SectorsAreReadWhole)
{
    use_disks({make_image("a.img")});
    ASSERT_EQ(disk_rescan(), 1);
    struct read_case {
        uint32_t sector;
        unsigned count;
        int expected;
    };
    const read_case cases[] = {
        {0, 1, disk_done},     {7, 128, disk_done},         {2047, 1, disk_done},
        {0, 129, disk_bad_parameter}, {0, 256, disk_bad_parameter},
        {2047, 2, disk_device_error}, {0xFFFFFFFF, 1, disk_device_error},
    };
    std::vector<uint8_t> buffer(256 * 512);
    for (const read_case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.sector << " x " << c.count);
        std::fill(buffer.begin(), buffer.end(), 0xEE);
        EXPECT_EQ(disk_read_sectors(0, buffer.data(), c.sector, c.count), c.expected);
        if (c.expected != disk_done) {
            EXPECT_EQ(buffer[0], 0xEE); // nothing copied
            continue;
        }
        for (unsigned i = 0; i < c.count; ++i) {
            const uint32_t n = c.sector + i;
            const uint8_t* s = &buffer[i * 512];
            ASSERT_EQ(s[0] | s[1] << 8, int(n));
            ASSERT_EQ(s[3], uint8_t(~n));
        }
    }
}

// Disks 1 and up are watched; disk 0 never is.
TEST_F(disk_layer_test, RemovedMediaBecomeNotReady)
{
    const std::string first = make_image("a.img");
    const std::string second = make_image("b.img");
    use_disks({first, second});
    ASSERT_EQ(disk_rescan(), 2);
    uint8_t sector[512];
    ASSERT_EQ(disk_read_sectors(1, sector, 0, 1), disk_done);

    std::filesystem::rename(first, first + ".gone");
    std::filesystem::rename(second, second + ".gone");
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!(disk_status(1) & disk_not_ready) && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_EQ(disk_status(1), disk_not_ready);
    EXPECT_EQ(disk_read_sectors(1, sector, 0, 1), disk_unavailable);
    // Two more rounds of the watcher.
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    EXPECT_EQ(disk_status(0) & disk_not_ready, 0);
    EXPECT_EQ(disk_read_sectors(0, sector, 0, 1), disk_done);

    // Back again after a rescan, or a query that succeeds.
    std::filesystem::rename(first + ".gone", first);
    std::filesystem::rename(second + ".gone", second);
    EXPECT_EQ(disk_query(1) & disk_not_ready, 0);
    EXPECT_EQ(disk_read_sectors(1, sector, 0, 1), disk_done);
    EXPECT_EQ(disk_rescan(), 2);
    EXPECT_EQ(disk_status(1) & disk_not_ready, 0);
}

TEST_F(disk_layer_test, RescanForgetsDisksThatAreGone)
{
    use_disks({make_image("a.img"), make_image("b.img")});
    ASSERT_EQ(disk_rescan(), 2);
    use_disks({make_image("c.img")});
    EXPECT_EQ(disk_rescan(), 1);
    uint8_t sector[512];
    EXPECT_EQ(disk_read_sectors(1, sector, 0, 1), disk_unavailable);
    EXPECT_EQ(disk_status(1), disk_not_ready);
    EXPECT_EQ(disk_read_sectors(0, sector, 0, 1), disk_done);
}

} // namespace
