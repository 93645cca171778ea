// Device operations in the shape of the Windows device interface: disks are
// "\\.\PhysicalDriveN", volumes "\\?\Volume{GUID}" (trailing backslash
// optional). Any other path is an ordinary file. Failures are return values.
#pragma once

#include <cstdint>
#include <string>

namespace platform {

struct disk_geometry {
    int64_t cylinders = 0;
    uint32_t media_type = 0;
    uint32_t tracks_per_cylinder = 0;
    uint32_t sectors_per_track = 0;
    uint32_t bytes_per_sector = 0;
};

enum media_type : uint32_t { removable_media = 11, fixed_media = 12 };

struct partition_information {
    uint64_t starting_offset = 0;  // bytes from the start of the disk
    uint64_t partition_length = 0; // bytes
    uint32_t partition_number = 0;
};

struct disk_extent {
    uint32_t disk_number = 0;
    uint64_t starting_offset = 0;
    uint64_t extent_length = 0;
};

namespace device {

// Desired access, as CreateFile takes it: 0 opens for queries only.
enum access : unsigned { query_only = 0, generic_read = 1, generic_write = 2 };
// FILE_FLAG_NO_BUFFERING: O_DIRECT where the file system allows it.
enum flags : unsigned { normal = 0, no_buffering = 1 };
// OPEN_EXISTING or CREATE_ALWAYS (ordinary files only).
enum disposition : unsigned { open_existing = 0, create_always = 1 };

class handle;

// nullptr stands for INVALID_HANDLE_VALUE.
handle* open(const std::string& path, unsigned desired_access, unsigned flags = normal,
             unsigned creation = open_existing);
void close(handle* h);

// Absolute seek from the start; new_position receives the position reached.
bool seek(handle* h, uint64_t offset, uint64_t* new_position = nullptr);
// Reads at the current position; a read at or past the end succeeds with 0 bytes.
bool read(handle* h, void* buffer, uint32_t length, uint32_t* bytes_read);
bool write(handle* h, const void* buffer, uint32_t length, uint32_t* bytes_written);

// IOCTL_DISK_GET_DRIVE_GEOMETRY; on a volume, the geometry of its disk.
bool drive_geometry(handle* h, disk_geometry* out);
// IOCTL_DISK_GET_PARTITION_INFO_EX on a volume.
bool partition_info(handle* h, partition_information* out);
// IOCTL_VOLUME_GET_VOLUME_DISK_EXTENTS with room for one extent.
bool volume_disk_extents(handle* h, disk_extent* out);
// IOCTL_STORAGE_CHECK_VERIFY: the medium is still there.
bool check_verify(handle* h);
// IOCTL_DISK_IS_WRITABLE.
bool is_writable(handle* h);

// The image file or block device behind a disk or volume path; empty if none.
std::string backing_path(const std::string& path);

} // namespace device

// Buffers for unbuffered transfers are aligned to this.
constexpr size_t transfer_alignment = 4096;

} // namespace platform
