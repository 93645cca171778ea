// The two boot-sector tests of the partition search and the hit they make.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

constexpr uint32_t sector_bytes = 512;

// 512 bytes: 55 AA at 510 and "NTFS    " at 3.
bool is_ntfs_boot_sector(const uint8_t* sector);
// 1024 bytes: 55 AA at 510 and 1022, and "MSWIN" or "MSDOS" at 3.
bool is_fat32_boot_sector(const uint8_t* sector);

struct boot_sector_hit {
    size_t index = 0;    // sector within the tested buffer
    const char* file_system = "";
    int32_t type = 0;
    uint64_t count = 0;  // sectors of the partition, as the boot sector says; may be 0
};

// The first of sectors 0 .. testable-1 of `buffer` that passes a test, NTFS
// first. The buffer holds at least testable + 1 sectors, for the FAT32 look-ahead.
std::optional<boot_sector_hit> find_boot_sector(const uint8_t* buffer, size_t testable);
