#include "platform/device.h"
#include "platform/volumes.h"
#include "test_support.h"

#include <gtest/gtest.h>

using namespace platform;
using test_support::scratch_dir;

namespace {

struct two_disks : ::testing::Test {
    scratch_dir dir;
    std::string first = dir.file("a.img"), second = dir.file("b.img");

    void SetUp() override
    {
        if (!test_support::have_program("sfdisk"))
            GTEST_SKIP() << "sfdisk missing";
        for (const std::string& image : {first, second}) {
            test_support::make_sparse_file(image, 16 << 20);
            ASSERT_EQ(test_support::run("printf 'label: dos\\nstart=2048,size=4096,type=7\\n"
                                        "start=8192,size=2048,type=c\\n' | sfdisk -q '" +
                                        image + "' >/dev/null 2>&1"),
                      0);
        }
        test_support::write_bytes(second, 8192 * 512, {'h', 'e', 'r', 'e'});
        test_support::use_disks({first, second});
    }
    void TearDown() override { unsetenv("ZORVANE_DISKS"); }
};

} // namespace

TEST_F(two_disks, every_partition_is_a_named_volume)
{
    std::vector<std::string> names;
    ASSERT_TRUE(volumes::find_volumes(names));
    ASSERT_EQ(names.size(), 4u);
    for (size_t i = 0; i < names.size(); ++i) {
        EXPECT_EQ(names[i].rfind("\\\\?\\Volume{", 0), 0u);
        EXPECT_EQ(names[i].back(), '\\');
        std::string device_name;
        ASSERT_TRUE(volumes::query_dos_device(names[i].substr(4, names[i].size() - 5), device_name));
        EXPECT_EQ(device_name, "\\Device\\HarddiskVolume" + std::to_string(i + 1));
    }
    std::vector<std::string> paths;
    ASSERT_TRUE(volumes::path_names(names[3], paths));
    EXPECT_EQ(paths, std::vector<std::string>{second + "#2"});
    EXPECT_EQ(volumes::drive_type(paths[0]), unsigned(volumes::drive_removable));
    EXPECT_EQ(volumes::volume_for_partition(1, 2), names[3]);
    EXPECT_EQ(volumes::volume_for_partition(1, 3), "");

    // Names are stable across listings and differ between disks.
    std::vector<std::string> again;
    ASSERT_TRUE(volumes::find_volumes(again));
    EXPECT_EQ(again, names);
    EXPECT_NE(names[0], names[2]);
}

TEST_F(two_disks, a_volume_handle_sees_only_its_partition)
{
    const std::string name = volumes::volume_for_partition(1, 2);
    for (const std::string& path : {name, name.substr(0, name.size() - 1)}) {
        device::handle* h = device::open(path, device::generic_read, device::no_buffering);
        ASSERT_NE(h, nullptr) << path;
        alignas(4096) static uint8_t buffer[4096];
        uint32_t got = 0;
        ASSERT_TRUE(device::read(h, buffer, 4, &got));
        EXPECT_EQ(std::string(reinterpret_cast<char*>(buffer), 4), "here");
        ASSERT_TRUE(device::seek(h, 2048 * 512 - 512));
        ASSERT_TRUE(device::read(h, buffer, 4096, &got));
        EXPECT_EQ(got, 512u);

        partition_information info;
        ASSERT_TRUE(device::partition_info(h, &info));
        EXPECT_EQ(info.partition_number, 2u);
        EXPECT_EQ(info.starting_offset, 8192u * 512);
        disk_extent extent;
        ASSERT_TRUE(device::volume_disk_extents(h, &extent));
        EXPECT_EQ(extent.disk_number, 1u);
        device::close(h);
    }
}

TEST(no_disks, no_volume_is_found)
{
    setenv("ZORVANE_DISKS", "", 1);
    std::vector<std::string> names;
    EXPECT_FALSE(volumes::find_volumes(names));
    EXPECT_EQ(device::open("\\\\.\\PhysicalDrive0", device::query_only), nullptr);
    unsetenv("ZORVANE_DISKS");
}
