// Read-only FAT12/16/32 volume layer for recovery: directory reads return
// deleted entries too, and a file can be read as one contiguous run of
// clusters, whatever its cleared chain says. Every sector comes through the
// disk layer; the volume's first sector comes from the volume table.
#pragma once

#include <array>
#include <cstdint>

constexpr unsigned fat_volume_count = 10;
constexpr uint32_t fat_sector_size = 512;

// Results of the volume layer.
enum : int {
    fat_ok = 0,
    fat_disk_error = 1,      // a sector read failed
    fat_internal_error = 2,  // cluster out of range, broken chain, file in error
    fat_not_ready = 3,       // disk not ready or its mutex not had
    fat_no_entry = 4,        // end of the directory, or a name not found
    fat_no_path = 5,
    fat_invalid_name = 6,
    fat_not_open = 7,        // file object not open for reading
    fat_invalid_object = 9,  // no file system, not mounted, or an earlier mount
    fat_invalid_volume = 11, // volume number above 9
    fat_not_attached = 12,   // no file-system object attached to the volume
    fat_no_filesystem = 13,  // no FAT at the volume's base sector
    fat_no_memory = 17,      // the long-name working buffer could not be had
};

enum : uint8_t {
    fat_none = 0,
    fat12 = 1,
    fat16 = 2,
    fat32 = 3,
};

// Attribute bits of a directory entry; fat_attr_deleted is added by f_readdir.
enum : uint8_t {
    fat_attr_read_only = 0x01,
    fat_attr_hidden = 0x02,
    fat_attr_system = 0x04,
    fat_attr_volume_label = 0x08,
    fat_attr_directory = 0x10,
    fat_attr_archive = 0x20,
    fat_attr_deleted = 0x40,
    fat_attr_long_name = 0x0F,
};

// Flags of a file object.
enum : uint8_t {
    fat_file_read = 0x01,
    fat_file_error = 0x80,
};

// Where logical volume N lies: filled by the FAT engine before a scan.
struct volume_slot_s {
    uint8_t disk = 0;
    uint8_t partition = 0; // 0 = none
    uint32_t start_sector = 0;
};

std::array<volume_slot_s, fat_volume_count>& fat_volume_table();

struct fat_fs_s {
    uint8_t fat_type = fat_none;
    uint8_t disk = 0;
    uint8_t sectors_per_cluster = 0;
    uint8_t fat_count = 0;
    uint16_t mount_id = 0;
    uint16_t root_entries = 0; // 0 on FAT32
    uint32_t fat_entries = 0;  // clusters + 2
    uint32_t fat_size = 0;     // sectors per FAT
    uint32_t fat_start = 0;
    uint32_t root_start = 0;   // FAT12/16: sector; FAT32: first cluster
    uint32_t data_start = 0;   // sector of cluster 2
    uint32_t window_sector = 0;
    uint8_t window[fat_sector_size] = {};
};

struct fat_dir_s {
    fat_fs_s* fs = nullptr;
    uint16_t mount_id = 0;
    uint16_t index = 0;
    uint32_t start_cluster = 0;   // 0 = the FAT12/16 root directory
    uint32_t current_cluster = 0; // 0 in the static root directory
    uint32_t current_sector = 0;  // 0 = end of the directory reached
    const uint8_t* entry = nullptr;
    uint8_t* short_name = nullptr;  // during a call: 11 name bytes and a flag byte
    char16_t* long_name = nullptr;  // during a call: where a long name is assembled
    uint16_t long_name_index = 0xFFFF; // 0xFFFF = the current entry has no long name
    uint16_t deleted = 0;
    // A failure met while stepping past the entry just returned; handed out
    // by the next read, so that entry is not lost.
    uint8_t pending_result = 0;
    // Brent's cycle check on the directory's chain: a cluster met again ends it.
    uint32_t cycle_mark = 0;
    uint16_t cycle_steps = 0;
    uint16_t cycle_span = 1;
};

struct fat_file_s {
    fat_fs_s* fs = nullptr;
    uint16_t mount_id = 0;
    uint8_t flags = 0;
    uint32_t position = 0;
    uint32_t size = 0;
    uint32_t start_cluster = 0;
    uint32_t current_cluster = 0;
    uint32_t buffered_sector = 0; // 0 = none
    uint8_t buffer[fat_sector_size] = {};
};

struct fat_info_s {
    uint32_t size = 0;
    uint32_t start_cluster = 0;
    uint16_t write_date = 0;
    uint16_t write_time = 0;
    uint16_t creation_date = 0;
    uint16_t creation_time = 0;
    uint8_t attributes = 0;
    char16_t short_name[13] = {}; // empty at the end of the directory
    char16_t* long_name = nullptr; // caller's buffer; empty when there is none
    uint32_t long_name_size = 0;   // its capacity in characters
};

// Puts `fs` (or nothing) in the slot of `volume`; both the old and the new
// object count as not mounted, so the next f_opendir mounts afresh.
int f_attach(unsigned volume, fat_fs_s* fs);
// Mounts if needed and opens the directory `path` names ("" or "/" = root;
// an optional "N:" prefix picks volume N).
int f_opendir(fat_dir_s* dir, const char16_t* path);
// Fills `info` with the next entry, deleted ones included, and advances; at
// the end the short name is empty. Without `info`, rewinds the directory.
int f_readdir(fat_dir_s* dir, fat_info_s* info);
// Reads up to `count` bytes from the file's position, never past its size.
// With `contiguous` the cluster after the current one is the next cluster
// number; without, it comes from the FAT.
int f_readdata(fat_file_s* file, void* destination, uint32_t count, uint32_t* bytes_read,
               int contiguous);
