#include "recovery/fat/disk_layer.h"
#include "recovery/fat/fat_internal.h"

int validate_object(const fat_fs_s* fs, uint16_t mount_id)
{
    if (!fs || fs->fat_type == fat_none || fs->mount_id != mount_id)
        return fat_invalid_object;
    if (disk_status(fs->disk) & disk_not_ready)
        return fat_not_ready;
    return fat_ok;
}

int move_window(fat_fs_s* fs, uint32_t sector)
{
    if (sector == fs->window_sector || sector == 0)
        return fat_ok;
    if (disk_read_sectors(fs->disk, fs->window, sector, 1) != disk_done)
        return fat_disk_error;
    fs->window_sector = sector;
    return fat_ok;
}

uint32_t next_cluster(fat_fs_s* fs, uint32_t cluster)
{
    if (cluster < 2 || cluster >= fs->fat_entries)
        return 1;
    switch (fs->fat_type) {
    case fat12: {
        // 12-bit entries, packed; an entry may span two sectors.
        uint32_t offset = cluster + cluster / 2;
        if (move_window(fs, fs->fat_start + offset / fat_sector_size))
            return cluster_read_failed;
        const uint8_t low = fs->window[offset % fat_sector_size];
        ++offset;
        if (move_window(fs, fs->fat_start + offset / fat_sector_size))
            return cluster_read_failed;
        const unsigned word = low | fs->window[offset % fat_sector_size] << 8;
        return cluster & 1 ? word >> 4 : word & 0xFFF;
    }
    case fat16:
        if (move_window(fs, fs->fat_start + cluster / (fat_sector_size / 2)))
            return cluster_read_failed;
        return load16(fs->window + cluster * 2 % fat_sector_size);
    default:
        if (move_window(fs, fs->fat_start + cluster / (fat_sector_size / 4)))
            return cluster_read_failed;
        return load32(fs->window + cluster * 4 % fat_sector_size) & 0x0FFFFFFF;
    }
}

uint32_t cluster_to_sector(const fat_fs_s* fs, uint32_t cluster)
{
    if (cluster - 2 >= fs->fat_entries - 2)
        return 0;
    return (cluster - 2) * fs->sectors_per_cluster + fs->data_start;
}

uint32_t entry_cluster(const fat_fs_s* fs, const uint8_t* entry)
{
    uint32_t cluster = load16(entry + 26);
    if (fs->fat_type == fat32)
        cluster |= uint32_t(load16(entry + 20)) << 16;
    return cluster;
}
