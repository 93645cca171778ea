#include "platform/partition_table.h"

#include <cstring>
#include <set>

namespace platform::detail {

namespace {

uint16_t le16(const uint8_t* p) { return uint16_t(p[0] | p[1] << 8); }
uint32_t le32(const uint8_t* p) { return uint32_t(le16(p)) | uint32_t(le16(p + 2)) << 16; }
uint64_t le64(const uint8_t* p) { return uint64_t(le32(p)) | uint64_t(le32(p + 4)) << 32; }

bool has_boot_signature(const uint8_t* sector) { return sector[510] == 0x55 && sector[511] == 0xAA; }

bool is_extended_type(uint8_t type) { return type == 0x05 || type == 0x0F || type == 0x85; }

constexpr unsigned max_logical_partitions = 128;
constexpr uint32_t max_gpt_entries = 1024;

struct table_reader {
    const byte_reader& read;
    uint64_t disk_bytes;
    uint32_t sector_size;
    std::vector<partition_entry> found;

    void add(uint32_t number, uint64_t first_lba, uint64_t sectors)
    {
        if (sectors == 0 || first_lba == 0)
            return;
        const uint64_t start = first_lba * sector_size;
        const uint64_t length = sectors * sector_size;
        if (start / sector_size != first_lba || length / sector_size != sectors ||
            start >= disk_bytes || length > disk_bytes - start)
            return;
        found.push_back({number, start, length});
    }

    bool read_sector(uint64_t lba, uint8_t* buffer)
    {
        const uint64_t offset = lba * sector_size;
        return offset / sector_size == lba && offset < disk_bytes &&
               read(offset, buffer, 512);
    }

    void read_logical_chain(uint64_t extended_start)
    {
        std::set<uint64_t> visited;
        uint64_t ebr = extended_start;
        uint8_t sector[512];
        for (uint32_t number = 5; number < 5 + max_logical_partitions; ++number) {
            if (!visited.insert(ebr).second || !read_sector(ebr, sector) ||
                !has_boot_signature(sector))
                return;
            const uint8_t* logical = sector + 446;
            const uint8_t* next = sector + 462;
            if (logical[4] != 0)
                add(number, ebr + le32(logical + 8), le32(logical + 12));
            if (!is_extended_type(next[4]) || le32(next + 8) == 0)
                return;
            ebr = extended_start + le32(next + 8);
        }
    }

    void read_gpt()
    {
        uint8_t header[512];
        if (!read_sector(1, header) || std::memcmp(header, "EFI PART", 8) != 0)
            return;
        const uint64_t entries_lba = le64(header + 72);
        const uint32_t count = le32(header + 80);
        const uint32_t entry_size = le32(header + 84);
        if (entry_size < 128 || entry_size > 4096 || entry_size % 8 != 0)
            return;
        std::vector<uint8_t> entry(entry_size);
        for (uint32_t i = 0; i < count && i < max_gpt_entries; ++i) {
            const uint64_t offset = entries_lba * sector_size + uint64_t(i) * entry_size;
            if (offset >= disk_bytes || !read(offset, entry.data(), entry_size))
                return;
            static const uint8_t unused[16] = {};
            if (std::memcmp(entry.data(), unused, 16) == 0)
                continue;
            const uint64_t first = le64(entry.data() + 32);
            const uint64_t last = le64(entry.data() + 40);
            if (last >= first)
                add(i + 1, first, last - first + 1);
        }
    }

    void read_mbr(const uint8_t* mbr)
    {
        for (int slot = 0; slot < 4; ++slot) {
            const uint8_t* e = mbr + 446 + 16 * slot;
            if (e[0] != 0x00 && e[0] != 0x80)
                return; // not a partition table
        }
        for (int slot = 0; slot < 4; ++slot) {
            if (mbr[446 + 16 * slot + 4] == 0xEE) {
                read_gpt();
                return;
            }
        }
        for (int slot = 0; slot < 4; ++slot) {
            const uint8_t* e = mbr + 446 + 16 * slot;
            if (e[4] == 0)
                continue;
            if (is_extended_type(e[4]))
                read_logical_chain(le32(e + 8));
            else
                add(uint32_t(slot + 1), le32(e + 8), le32(e + 12));
        }
    }
};

} // namespace

bool is_file_system_boot_sector(const uint8_t* sector)
{
    if (!has_boot_signature(sector))
        return false;
    const bool jump = (sector[0] == 0xEB && sector[2] == 0x90) || sector[0] == 0xE9;
    if (!jump)
        return false;
    if (std::memcmp(sector + 3, "NTFS    ", 8) == 0 || std::memcmp(sector + 3, "EXFAT   ", 8) == 0)
        return true;
    const uint16_t bytes_per_sector = le16(sector + 11);
    const uint8_t sectors_per_cluster = sector[13];
    const uint16_t reserved = le16(sector + 14);
    const uint8_t fats = sector[16];
    const uint8_t media = sector[21];
    const bool sector_size_ok = bytes_per_sector >= 512 && bytes_per_sector <= 4096 &&
                                (bytes_per_sector & (bytes_per_sector - 1)) == 0;
    const bool cluster_ok = sectors_per_cluster != 0 &&
                            (sectors_per_cluster & (sectors_per_cluster - 1)) == 0;
    return sector_size_ok && cluster_ok && reserved >= 1 && (fats == 1 || fats == 2) &&
           (media == 0xF0 || media >= 0xF8);
}

std::vector<partition_entry> read_partition_table(const byte_reader& read, uint64_t disk_bytes,
                                                  uint32_t sector_size)
{
    table_reader reader{read, disk_bytes, sector_size, {}};
    uint8_t sector0[512];
    if (disk_bytes < 512 || !read(0, sector0, sizeof sector0))
        return {};
    if (is_file_system_boot_sector(sector0))
        return {{1, 0, disk_bytes}};
    if (has_boot_signature(sector0))
        reader.read_mbr(sector0);
    return reader.found;
}

} // namespace platform::detail
