// Volume management in the shape of the Windows volume interface.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace platform::volumes {

// GetDriveTypeW results.
enum drive_type_t : unsigned {
    drive_unknown = 0,
    drive_no_root_dir = 1,
    drive_removable = 2,
    drive_fixed = 3,
    drive_remote = 4,
    drive_cdrom = 5,
    drive_ramdisk = 6,
};

// FindFirstVolumeW / FindNextVolumeW: every volume GUID path, each with its
// trailing backslash. False when there is no volume at all.
bool find_volumes(std::vector<std::string>& names);

// QueryDosDeviceW for "Volume{GUID}" (no \\?\ prefix, no trailing backslash).
bool query_dos_device(const std::string& dos_name, std::string& device_name);

// GetVolumePathNamesForVolumeNameW: the mount paths of a volume, in order.
bool path_names(const std::string& volume_name, std::vector<std::string>& paths);

// GetDriveTypeW on a mount path.
unsigned drive_type(const std::string& mount_path);

// GetVolumeInformationW on a mount path.
bool volume_information(const std::string& mount_path, std::string& label,
                        std::string& file_system);

// GetDiskFreeSpaceExW on a mount path.
bool disk_free_space(const std::string& mount_path, uint64_t& total_bytes,
                     uint64_t& free_bytes);

// The volume GUID path (with trailing backslash) of partition number
// `partition` on disk `disk`; empty when there is none.
std::string volume_for_partition(uint32_t disk, uint32_t partition);

// IsUserAnAdmin.
bool is_user_an_admin();

} // namespace platform::volumes
