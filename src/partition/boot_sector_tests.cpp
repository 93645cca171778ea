#include "partition/boot_sector_tests.h"

#include <cstring>

namespace {

bool ends_in_55aa(const uint8_t* sector)
{
    return sector[510] == 0x55 && sector[511] == 0xAA;
}

uint64_t little_endian(const uint8_t* bytes, int length)
{
    uint64_t value = 0;
    for (int i = length - 1; i >= 0; --i)
        value = value << 8 | bytes[i];
    return value;
}

} // namespace

bool is_ntfs_boot_sector(const uint8_t* sector)
{
    return ends_in_55aa(sector) && std::memcmp(sector + 3, "NTFS    ", 8) == 0;
}

bool is_fat32_boot_sector(const uint8_t* sector)
{
    return ends_in_55aa(sector) && ends_in_55aa(sector + sector_bytes) &&
           (std::memcmp(sector + 3, "MSWIN", 5) == 0 || std::memcmp(sector + 3, "MSDOS", 5) == 0);
}

std::optional<boot_sector_hit> find_boot_sector(const uint8_t* buffer, size_t testable)
{
    for (size_t j = 0; j < testable; ++j) {
        const uint8_t* sector = buffer + j * sector_bytes;
        // The NTFS total-sectors field leaves out the backup boot sector at the end.
        if (is_ntfs_boot_sector(sector))
            return boot_sector_hit{j, "NTFS", 7, little_endian(sector + 0x28, 8) + 1};
        if (is_fat32_boot_sector(sector))
            return boot_sector_hit{j, "FAT32", 12, little_endian(sector + 0x20, 4)};
    }
    return std::nullopt;
}
