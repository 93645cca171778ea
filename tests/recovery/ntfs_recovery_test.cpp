#include "disk/volume_list.h"
#include "recovery/ntfs_recovery.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

using test_support::scratch_dir;

TEST(ntfs_engine, names_the_volume_by_disk_letter_and_partition_number)
{
    volume_item_s volume;
    volume.disk_number = 1;
    volume.partition_number = 3;
    EXPECT_EQ(ntfs_recovery_c::device_name(volume), "/dev/hdb3");
    volume.disk_number = 0;
    volume.partition_number = 2;
    EXPECT_EQ(ntfs_recovery_c::device_name(volume), "/dev/hda2");
}

TEST(ntfs_engine, a_volume_the_library_cannot_open_is_logged_and_leaves_nothing)
{
    scratch_dir dir;
    const std::string image = dir.file("zero.img");
    test_support::make_sparse_file(image, 1 << 20);
    test_support::use_disks({image});
    setenv("XDG_DATA_HOME", dir.file("data").c_str(), 1);

    volume_item_s volume;
    volume.disk_number = 0;
    volume.partition_number = 1;
    ntfs_recovery_c engine;
    engine.set_volume(volume);
    testing::internal::CaptureStderr();
    engine.start();
    ASSERT_TRUE(engine.wait(60000));
    const std::string err = testing::internal::GetCapturedStderr();

    EXPECT_TRUE(engine.entries().isEmpty());
    EXPECT_EQ(err.rfind("ERROR: [ntfs_recovery:105] ntfs_scan_startup failed with return value (-", 0), 0u) << err;
    std::ifstream log(dir.file("data") + "/Zorvane/Fennick.log");
    std::stringstream text;
    text << log.rdbuf();
    EXPECT_NE(text.str().find("  [ntfs_recovery:105] ntfs_scan_startup failed with return value (-"),
              std::string::npos)
        << text.str();
    EXPECT_EQ(text.str().back(), '\n');
    unsetenv("ZORVANE_DISKS");
    unsetenv("XDG_DATA_HOME");
}
