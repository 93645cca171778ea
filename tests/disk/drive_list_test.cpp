#include "disk/drive_list.h"
#include "test_support.h"

#include <gtest/gtest.h>

using test_support::scratch_dir;

namespace {

struct drives : ::testing::Test {
    scratch_dir dir;
    std::string image(int n, uint64_t size = 1 << 20)
    {
        const std::string path = dir.file("disk" + std::to_string(n) + ".img");
        test_support::make_sparse_file(path, size);
        return path;
    }
    void TearDown() override { unsetenv("ZORVANE_DISKS"); }
};

QStringList paths()
{
    QStringList out;
    for (const drive_item_s& d : drive_list())
        out << d.path;
    return out;
}

} // namespace

TEST_F(drives, the_header_entry_comes_first_and_a_missing_disk_ends_the_list)
{
    test_support::use_disks({image(0), image(1), dir.file("absent.img"), image(3)});
    EXPECT_EQ(enumerate_drives(), 0);
    EXPECT_EQ(paths(), (QStringList{"", "\\\\.\\PhysicalDrive0", "\\\\.\\PhysicalDrive1"}));
    EXPECT_EQ(drive_list()[0].size, 0u);
    EXPECT_FALSE(drive_list()[0].geometry);

    setenv("ZORVANE_DISKS", "", 1);
    enumerate_drives();
    EXPECT_EQ(paths(), QStringList{""});
}

TEST_F(drives, at_most_ten_disks_are_listed)
{
    std::vector<std::string> images;
    for (int n = 0; n < 11; ++n)
        images.push_back(image(n));
    test_support::use_disks(images);
    enumerate_drives();
    ASSERT_EQ(drive_list().size(), 11);
    EXPECT_EQ(drive_list().back().path, "\\\\.\\PhysicalDrive9");
}

TEST_F(drives, the_size_is_the_geometry_product)
{
    // 1024 cylinders of 255 x 63 x 512 bytes, plus a tail that is not a whole cylinder.
    test_support::use_disks({image(0, 8422686720ULL + 4 * 1024 * 1024)});
    enumerate_drives();
    ASSERT_EQ(drive_list().size(), 2);
    EXPECT_EQ(drive_list()[1].size, 8422686720ULL);
    EXPECT_EQ(drive_list()[1].geometry->cylinders, 1024);
}
