#include "boot_sector.h"

#include "little_endian.h"
#include "run_list.h"

#include <cstring>

namespace ntscan {

namespace {

bool power_of_two(uint64_t v) { return v != 0 && (v & (v - 1)) == 0; }

// Sectors per cluster: 1-128 as is, 0xF4-0xFF as 2^(256 - v) for clusters above 64 KiB.
uint64_t sectors_per_cluster(uint8_t code)
{
    if (code <= 0x80) return code;
    if (code >= 0xF4) return uint64_t(1) << (256 - code);
    return 0;
}

// Clusters per record: positive counts clusters, negative v means 2^-v bytes.
uint64_t bytes_per_record(int8_t code, uint64_t cluster_size)
{
    if (code > 0) return uint64_t(code) * cluster_size;
    if (code < 0 && code >= -31) return uint64_t(1) << -code;
    return 0;
}

} // namespace

std::optional<volume_geometry> parse_boot_sector(std::span<const uint8_t> sector)
{
    if (sector.size() < 512) return std::nullopt;
    const uint8_t* s = sector.data();
    if (std::memcmp(s + 3, "NTFS    ", 8) != 0 || load16(s + 510) != 0xAA55) return std::nullopt;

    volume_geometry g;
    g.bytes_per_sector = load16(s + 0x0B);
    if (!power_of_two(g.bytes_per_sector) || g.bytes_per_sector < 256 || g.bytes_per_sector > 4096)
        return std::nullopt;
    uint64_t cluster = sectors_per_cluster(s[0x0D]) * g.bytes_per_sector;
    if (!power_of_two(cluster) || cluster > largest_cluster) return std::nullopt;
    g.cluster_size = uint32_t(cluster);

    uint64_t record = bytes_per_record(int8_t(s[0x40]), cluster);
    if (!power_of_two(record) || record < smallest_record || record > largest_record) return std::nullopt;
    g.record_size = uint32_t(record);

    g.total_sectors = load64(s + 0x28);
    g.total_clusters = g.total_sectors / (cluster / g.bytes_per_sector);
    g.mft_cluster = load64(s + 0x30);
    g.mft_mirror_cluster = load64(s + 0x38);
    if (g.total_clusters == 0 || g.total_clusters > vcn_limit || g.mft_cluster >= g.total_clusters || g.mft_mirror_cluster >= g.total_clusters)
        return std::nullopt;
    return g;
}

} // namespace ntscan
