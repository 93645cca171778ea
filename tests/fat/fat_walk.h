// Walks a mounted volume the way the FAT engine does: from the root, into
// every directory (deleted ones too) by its start cluster, each cluster once.
#pragma once

#include "recovery/fat/fat_volume.h"

#include <string>
#include <vector>

struct walk_row {
    std::u16string path; // names from the root, '/'-separated
    std::u16string short_name;
    std::u16string long_name;
    uint8_t attributes = 0;
    uint32_t cluster = 0;
    uint32_t size = 0;
    bool in_deleted_dir = false;
};

// Volume 0 must be attached; at most `limit` rows are collected.
std::vector<walk_row> walk_volume(size_t limit = 1u << 20);

// The file's bytes as f_readdata gives them, 4,096 at a time.
std::vector<uint8_t> read_entry(fat_fs_s* fs, uint32_t cluster, uint32_t size, bool contiguous,
                                int* result = nullptr);
