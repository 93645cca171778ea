// What the volume layer's files share: sector and cluster arithmetic, the
// window, and the steps of directory reading.
#pragma once

#include "recovery/fat/fat_volume.h"

#include <cstdint>

inline uint16_t load16(const uint8_t* p)
{
    return uint16_t(p[0] | p[1] << 8);
}

inline uint32_t load32(const uint8_t* p)
{
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

// Directory entry layout.
constexpr unsigned dir_entry_size = 32;
constexpr unsigned entries_per_sector = fat_sector_size / dir_entry_size;
constexpr uint8_t deleted_mark = 0xE5;
constexpr uint8_t long_name_last = 0x40;
constexpr uint16_t no_long_name = 0xFFFF;
constexpr unsigned long_name_capacity = 256; // 255 units and a NUL

// Mounts the volume `*path` names (skipping an "N:" prefix) unless it is
// mounted already; `*fs` receives its file-system object.
int mount_volume(const char16_t** path, fat_fs_s** fs);
// fat_invalid_object, fat_not_ready or fat_ok for an object made under `mount_id`.
int validate_object(const fat_fs_s* fs, uint16_t mount_id);

// Brings `sector` into the window; sector 0 is never read through it.
int move_window(fat_fs_s* fs, uint32_t sector);
// The FAT entry of `cluster`: 1 when the cluster is out of range,
// 0xFFFFFFFF on a read failure.
uint32_t next_cluster(fat_fs_s* fs, uint32_t cluster);
constexpr uint32_t cluster_read_failed = 0xFFFFFFFF;
// First sector of `cluster`; 0 when the cluster is out of range.
uint32_t cluster_to_sector(const fat_fs_s* fs, uint32_t cluster);
// Start cluster of a directory entry.
uint32_t entry_cluster(const fat_fs_s* fs, const uint8_t* entry);

int dir_rewind(fat_dir_s* dir);
int dir_advance(fat_dir_s* dir);
// Positions `dir` on the next short-name entry, live or deleted, with its
// long name assembled in dir->long_name when it has one.
int dir_read_entry(fat_dir_s* dir);
