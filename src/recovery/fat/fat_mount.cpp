#include "recovery/fat/disk_layer.h"
#include "recovery/fat/fat_internal.h"

#include <cstring>

namespace {

std::array<fat_fs_s*, fat_volume_count> attached{};
uint16_t mount_counter = 0;

enum sector_class { fat_boot_record, other_boot_sector, no_boot_sector };

// Reads `sector` into the window and tells what it holds.
int classify(fat_fs_s* fs, uint32_t sector, sector_class& found)
{
    if (disk_read_sectors(fs->disk, fs->window, sector, 1) != disk_done)
        return fat_disk_error;
    const uint8_t* w = fs->window;
    if (load16(w + 510) != 0xAA55)
        found = no_boot_sector;
    else if (std::memcmp(w + 54, "FAT", 3) == 0 || std::memcmp(w + 82, "FAT", 3) == 0)
        found = fat_boot_record;
    else
        found = other_boot_sector;
    return fat_ok;
}

bool power_of_two(unsigned n)
{
    return n && !(n & (n - 1));
}

// Fills the geometry from the boot record in the window at `base`.
int read_boot_record(fat_fs_s* fs, uint32_t base)
{
    const uint8_t* w = fs->window;
    const unsigned bytes_per_sector = load16(w + 11);
    const unsigned sectors_per_cluster = w[13];
    const unsigned reserved = load16(w + 14);
    const unsigned fat_count = w[16];
    const unsigned root_entries = load16(w + 17);
    const uint64_t total = load16(w + 19) ? load16(w + 19) : load32(w + 32);
    const uint32_t fat_size = load16(w + 22) ? load16(w + 22) : load32(w + 36);

    if (bytes_per_sector != fat_sector_size || (fat_count != 1 && fat_count != 2) ||
        !power_of_two(sectors_per_cluster) || root_entries % entries_per_sector || !reserved)
        return fat_no_filesystem;
    // 64-bit sums: a crafted record must not wrap around.
    const uint64_t system = reserved + uint64_t(fat_size) * fat_count + root_entries / entries_per_sector;
    if (total < system)
        return fat_no_filesystem;
    // Every sector of the volume must be addressable with 32 bits.
    if (base + total > 0xFFFFFFFFull)
        return fat_no_filesystem;
    const uint64_t clusters = (total - system) / sectors_per_cluster;
    if (!clusters)
        return fat_no_filesystem;

    const uint8_t type = clusters < 4086 ? fat12 : clusters < 65526 ? fat16 : fat32;
    const uint64_t entries = clusters + 2;
    uint64_t bytes_needed;
    if (type == fat32) {
        if (root_entries)
            return fat_no_filesystem;
        fs->root_start = load32(w + 44);
        bytes_needed = entries * 4;
    } else {
        if (!root_entries)
            return fat_no_filesystem;
        fs->root_start = base + reserved + fat_size * fat_count;
        bytes_needed = type == fat16 ? entries * 2 : entries * 3 / 2 + (entries & 1);
    }
    if (fat_size < (bytes_needed + fat_sector_size - 1) / fat_sector_size)
        return fat_no_filesystem;

    fs->sectors_per_cluster = uint8_t(sectors_per_cluster);
    fs->fat_count = uint8_t(fat_count);
    fs->root_entries = uint16_t(root_entries);
    fs->fat_entries = uint32_t(entries);
    fs->fat_size = fat_size;
    fs->fat_start = base + reserved;
    fs->data_start = uint32_t(base + system);
    fs->mount_id = ++mount_counter;
    fs->fat_type = type;
    fs->window_sector = 0;
    return fat_ok;
}

} // namespace

std::array<volume_slot_s, fat_volume_count>& fat_volume_table()
{
    static std::array<volume_slot_s, fat_volume_count> table{};
    return table;
}

int f_attach(unsigned volume, fat_fs_s* fs)
{
    if (volume >= fat_volume_count)
        return fat_invalid_volume;
    if (attached[volume])
        attached[volume]->fat_type = fat_none;
    if (fs)
        fs->fat_type = fat_none;
    attached[volume] = fs;
    return fat_ok;
}

int mount_volume(const char16_t** path, fat_fs_s** out)
{
    unsigned volume = 0;
    const char16_t* p = *path;
    if (p[0] >= u'0' && p[0] <= u'9' && p[1] == u':') {
        volume = unsigned(p[0] - u'0');
        *path = p + 2;
    }
    fat_fs_s* fs = attached[volume];
    *out = fs;
    if (!fs)
        return fat_not_attached;
    if (fs->fat_type != fat_none && !(disk_status(fs->disk) & disk_not_ready))
        return fat_ok;

    const volume_slot_s& slot = fat_volume_table()[volume];
    fs->fat_type = fat_none;
    fs->disk = slot.disk;
    if (disk_query(fs->disk) & disk_not_ready)
        return fat_not_ready;

    sector_class found;
    if (classify(fs, 0, found))
        return fat_disk_error;
    uint32_t base = 0;
    // A volume with a partition number uses its start sector unless sector 0
    // holds no boot sector at all.
    if ((slot.partition && found == fat_boot_record) || found == other_boot_sector) {
        base = slot.start_sector;
        if (classify(fs, base, found))
            return fat_disk_error;
    }
    if (found != fat_boot_record)
        return fat_no_filesystem;
    return read_boot_record(fs, base);
}
