// Identifies the file system of a volume from its own structures.
#pragma once

#include "device_table.h"

#include <cstdint>
#include <string>

namespace platform::detail {

struct fs_info {
    std::string file_system; // "NTFS", "FAT" (FAT12/16), "FAT32", "exFAT"
    std::string label;
    uint64_t total_bytes = 0;
    uint64_t free_bytes = 0;
};

// Reads through `read` (offsets relative to the volume start). False when the
// volume holds no file system this probe knows.
bool probe_file_system(const byte_reader& read, uint64_t volume_bytes, fs_info& info);

} // namespace platform::detail
