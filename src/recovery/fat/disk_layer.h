// The FAT driver's own table of physical disks: every sector the volume layer
// reads passes through one mutex and one 64 KiB transfer buffer, and a media
// watcher thread marks removed media not ready.
#pragma once

#include <cstdint>

constexpr unsigned max_disks = 10;
constexpr uint32_t disk_sector_size = 512;

// Status bits of a disk.
enum : uint8_t {
    disk_not_ready = 0x01,
    disk_write_protected = 0x04,
};

// Results of the disk operations.
enum : int {
    disk_done = 0,
    disk_device_error = 1,
    disk_unavailable = 3,
    disk_bad_parameter = 4,
};

// Opens the disks and starts the media watcher; returns the number of disks.
int disk_startup();
// Closes and reopens every disk; returns the new number of disks.
int disk_rescan();
// Queries the device again and returns its status bits; 1 for an unknown disk.
uint8_t disk_query(unsigned disk);
// The status bits as last recorded, without touching the device; 1 for an
// unknown disk.
uint8_t disk_status(unsigned disk);
// Reads `count` 512-byte sectors from `sector` on; at most 128 at once.
int disk_read_sectors(unsigned disk, void* destination, uint32_t sector, unsigned count);
