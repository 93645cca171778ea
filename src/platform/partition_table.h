// Reads the partition table of a disk: MBR primary and logical partitions,
// or the GPT behind a protective MBR.
#pragma once

#include "device_table.h"

#include <cstdint>
#include <vector>

namespace platform::detail {

struct partition_entry {
    uint32_t number = 0; // MBR: slot 1-4, logical from 5; GPT: entry index + 1
    uint64_t start = 0;  // bytes
    uint64_t length = 0; // bytes
};

// The partitions of a disk of `disk_bytes` bytes. A disk whose sector 0 is a
// file-system boot sector is one partition (number 1) covering the whole disk.
// Entries that leave the disk or overlap a loop in the logical chain are dropped.
std::vector<partition_entry> read_partition_table(const byte_reader& read, uint64_t disk_bytes,
                                                  uint32_t sector_size);

// True when the 512 bytes look like a FAT, NTFS or exFAT boot sector.
bool is_file_system_boot_sector(const uint8_t* sector);

} // namespace platform::detail
