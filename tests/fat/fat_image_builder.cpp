#include "fat_image_builder.h"

#include <cstring>
#include <fstream>

namespace {

void store16(uint8_t* p, unsigned v)
{
    p[0] = uint8_t(v);
    p[1] = uint8_t(v >> 8);
}

void store32(uint8_t* p, uint32_t v)
{
    store16(p, v & 0xFFFF);
    store16(p + 2, v >> 16);
}

} // namespace

fat_image_builder::fat_image_builder(uint32_t total_, unsigned spc, unsigned root, uint32_t start_)
    : start(start_), total(total_), sectors_per_cluster(spc), root_entries(root)
{
    // Smallest FAT that covers the clusters it leaves.
    for (fat_sectors = 1;; ++fat_sectors) {
        const uint32_t clusters = cluster_count();
        fat_bits = clusters < 4086 ? 12 : 16;
        const uint64_t need = fat_bits == 12 ? (uint64_t(clusters + 2) * 3 + 1) / 2 : (clusters + 2) * 2ull;
        if (fat_sectors * 512ull >= need)
            break;
    }
    bytes.assign(size_t(start + total) * 512, 0);
    uint8_t* b = boot();
    b[0] = 0xEB;
    b[1] = 0x3C;
    b[2] = 0x90;
    std::memcpy(b + 3, "MSWIN4.1", 8);
    store16(b + 11, 512);
    b[13] = uint8_t(spc);
    store16(b + 14, reserved);
    b[16] = uint8_t(fat_count);
    store16(b + 17, root);
    if (total < 65536)
        store16(b + 19, total);
    else
        store32(b + 32, total);
    b[21] = 0xF8;
    store16(b + 22, fat_sectors);
    store32(b + 28, start);
    b[38] = 0x29;
    std::memcpy(b + 43, "NO NAME    ", 11);
    std::memcpy(b + 54, fat_bits == 12 ? "FAT12   " : "FAT16   ", 8);
    b[510] = 0x55;
    b[511] = 0xAA;
    set_fat(0, 0xFFF8);
    set_fat(1, 0xFFFF);
}

uint32_t fat_image_builder::cluster_count() const
{
    const uint32_t system = reserved + fat_sectors * fat_count + root_entries / 16;
    return (total - system) / sectors_per_cluster;
}

uint8_t* fat_image_builder::root_entry(unsigned index)
{
    const size_t sector = start + reserved + fat_sectors * fat_count;
    return &bytes[sector * 512 + index * 32];
}

uint8_t* fat_image_builder::cluster(uint32_t number)
{
    const size_t sector = start + reserved + fat_sectors * fat_count + root_entries / 16 +
                          size_t(number - 2) * sectors_per_cluster;
    return &bytes[sector * 512];
}

void fat_image_builder::set_fat(uint32_t cluster, uint32_t value)
{
    for (unsigned copy = 0; copy < fat_count; ++copy) {
        uint8_t* fat = &bytes[(size_t(start) + reserved + copy * fat_sectors) * 512];
        if (fat_bits == 16) {
            store16(fat + cluster * 2, value);
            continue;
        }
        uint8_t* p = fat + cluster + cluster / 2;
        const unsigned word = p[0] | p[1] << 8;
        const unsigned v = value & 0xFFF;
        store16(p, cluster & 1 ? (word & 0x000F) | v << 4 : (word & 0xF000) | v);
    }
}

void fat_image_builder::chain(const std::vector<uint32_t>& clusters)
{
    for (size_t i = 0; i < clusters.size(); ++i)
        set_fat(clusters[i], i + 1 < clusters.size() ? clusters[i + 1] : 0xFFFF);
}

void fat_image_builder::write_file(const std::vector<uint32_t>& clusters,
                                   const std::vector<uint8_t>& content)
{
    size_t done = 0;
    for (uint32_t c : clusters) {
        const size_t n = std::min(cluster_bytes(), content.size() - done);
        std::memcpy(cluster(c), content.data() + done, n);
        done += n;
    }
}

void fat_image_builder::save(const std::string& path) const
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

void put_short_entry(uint8_t* e, const std::string& name, uint8_t attributes, uint32_t cluster,
                     uint32_t size, uint8_t case_bits)
{
    std::memset(e, 0, 32);
    std::memcpy(e, name.data(), 11);
    e[11] = attributes;
    e[12] = case_bits;
    store16(e + 14, 0x6000);        // 12:00:00
    store16(e + 16, (45 << 9) | (3 << 5) | 14); // 2025-03-14
    store16(e + 20, cluster >> 16);
    store16(e + 22, 0x6000);
    store16(e + 24, (45 << 9) | (3 << 5) | 15);
    store16(e + 26, cluster & 0xFFFF);
    store32(e + 28, size);
}

uint8_t short_name_checksum_of(const uint8_t* entry)
{
    uint8_t sum = 0;
    for (unsigned i = 0; i < 11; ++i)
        sum = uint8_t(((sum >> 1) | (sum << 7)) + entry[i]);
    return sum;
}

unsigned put_long_name(uint8_t* short_entry, const std::u16string& name)
{
    static const unsigned offsets[13] = {1, 3, 5, 7, 9, 14, 16, 18, 20, 22, 24, 28, 30};
    const unsigned parts = unsigned(name.size() + 12) / 13;
    const uint8_t sum = short_name_checksum_of(short_entry);
    for (unsigned part = 1; part <= parts; ++part) {
        uint8_t* e = short_entry - part * 32;
        std::memset(e, 0, 32);
        e[0] = uint8_t(part | (part == parts ? 0x40 : 0));
        e[11] = 0x0F;
        e[13] = sum;
        for (unsigned k = 0; k < 13; ++k) {
            const size_t at = (part - 1) * 13 + k;
            const unsigned unit = at < name.size() ? name[at] : at == name.size() ? 0 : 0xFFFF;
            store16(e + offsets[k], unit);
        }
    }
    return parts;
}

std::vector<uint8_t> pattern(size_t size, unsigned seed)
{
    std::vector<uint8_t> out(size);
    uint32_t x = seed * 2654435761u + 1;
    for (auto& b : out) {
        x = x * 1103515245u + 12345u;
        b = uint8_t(x >> 16);
    }
    return out;
}
