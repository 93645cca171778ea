// The NTFS boot sector: the volume's geometry and where its MFT lies.
#pragma once

#include <cstdint>
#include <optional>
#include <span>

namespace ntscan {

struct volume_geometry {
    uint32_t bytes_per_sector = 0;
    uint32_t cluster_size = 0;   // bytes
    uint32_t record_size = 0;    // bytes of one file record
    uint64_t total_sectors = 0;
    uint64_t total_clusters = 0;
    uint64_t mft_cluster = 0;
    uint64_t mft_mirror_cluster = 0;
};

constexpr uint32_t largest_cluster = 2u << 20;
constexpr uint32_t largest_record = 64u << 10;
constexpr uint32_t smallest_record = 512;

// The geometry of a boot sector (at least 512 bytes), or nothing when the
// sector is not a consistent NTFS boot sector.
std::optional<volume_geometry> parse_boot_sector(std::span<const uint8_t> sector);

} // namespace ntscan
