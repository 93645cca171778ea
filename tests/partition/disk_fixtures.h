// Small builders for the disk images of the partition tests.
#pragma once

#include "disk/drive_list.h"
#include "partition/partition_item.h"

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

using bytes = std::vector<uint8_t>;

constexpr uint64_t sector = 512;

// A boot sector that passes the NTFS test, with this total-sectors field.
bytes ntfs_boot_sector(uint64_t total_sectors_field);
// A FAT32 boot sector with this OEM name and 32-bit total-sectors field; it
// passes the FAT32 test when the sector after it ends in 55 AA.
bytes fat32_boot_sector(const char* oem, uint32_t total_sectors);
// A sector that ends in 55 AA and is nothing else (a FAT32 FSInfo sector).
bytes signature_sector();

struct placed_sector {
    uint64_t number;
    bytes content;
};

// A sparse image of `sectors` sectors holding these sectors.
void make_image(const std::string& path, uint64_t sectors, const std::vector<placed_sector>& placed);

// \\.\PhysicalDrive<n> of the image backend, with the geometry the platform
// gives an image and `size` bytes.
drive_item_s image_drive(int n, uint64_t size);

// The drive record enumerate_drives() makes for the only image `path`.
drive_item_s only_disk(const std::string& path);

// Lets failed comparisons show the records.
void PrintTo(const partition_item_s& p, std::ostream* out);

// Writes a new file of these bytes.
void write_file(const std::string& path, const bytes& content);
