// Small FAT12/16 volumes built byte by byte, for cases mkfs.fat cannot make:
// crafted boot records, chains that cycle, hand-made directory entries.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct fat_image_builder {
    // A volume of `total` sectors starting at `start` of the image.
    fat_image_builder(uint32_t total, unsigned sectors_per_cluster, unsigned root_entries,
                      uint32_t start = 0);

    std::vector<uint8_t> bytes;
    uint32_t start;
    uint32_t total;
    unsigned sectors_per_cluster;
    unsigned root_entries;
    unsigned reserved = 1;
    unsigned fat_count = 2;
    uint32_t fat_sectors = 0;
    int fat_bits = 0;

    uint8_t* boot() { return &bytes[size_t(start) * 512]; }
    uint8_t* root_entry(unsigned index);
    uint8_t* cluster(uint32_t number);
    size_t cluster_bytes() const { return size_t(sectors_per_cluster) * 512; }
    uint32_t cluster_count() const;
    void set_fat(uint32_t cluster, uint32_t value); // in every FAT copy
    void chain(const std::vector<uint32_t>& clusters); // linked, last marked end
    void write_file(const std::vector<uint32_t>& clusters, const std::vector<uint8_t>& content);
    void save(const std::string& path) const;
};

// A 32-byte short-name entry; `name` is the 11 raw bytes.
void put_short_entry(uint8_t* entry, const std::string& name, uint8_t attributes,
                     uint32_t cluster, uint32_t size, uint8_t case_bits = 0);
uint8_t short_name_checksum_of(const uint8_t* entry);
// The long-name parts of `name` for the short entry at `short_entry`, written
// in the slots just before it; returns the number of slots used.
unsigned put_long_name(uint8_t* short_entry, const std::u16string& name);
// Deterministic content of `size` bytes.
std::vector<uint8_t> pattern(size_t size, unsigned seed);
