// The devices the Windows-shaped names resolve to, filled by one of two
// backends: disk images named by ZORVANE_DISKS, or the machine's block devices.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace platform::detail {

struct disk_entry {
    std::string backing;        // image file or block device node; empty if absent
    uint32_t sector_size = 512; // logical sector size
    std::string sysfs_dir;      // Linux backend: /sys/block/<name>
    bool removable = true;
};

struct volume_entry {
    std::string volume_name; // \\?\Volume{GUID}\ .
    std::string device_name; // \Device\HarddiskVolumeK
    std::vector<std::string> mount_paths;
    unsigned drive_type = 0;
    uint32_t disk_number = 0;
    uint32_t partition_number = 0;
    uint64_t start = 0;  // bytes from the start of the disk
    uint64_t length = 0; // bytes
};

// True when the image backend is in use (ZORVANE_DISKS is set).
bool image_backend();

// The disks as entry N = \\.\PhysicalDriveN, listed afresh on every call.
std::vector<disk_entry> current_disks();

// Size in bytes of a disk, or false when it cannot be queried.
bool disk_size(const disk_entry& disk, uint64_t& size);

// Every volume of every disk, listed afresh on every call.
std::vector<volume_entry> current_volumes();

// Reads `length` bytes at `offset` of a disk's backing; false on any failure.
using byte_reader = std::function<bool(uint64_t offset, void* buffer, size_t length)>;
byte_reader disk_reader(const disk_entry& disk);

} // namespace platform::detail
