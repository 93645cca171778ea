#include "ntfs_volume.h"

#include "ntscan.h"

#include <algorithm>
#include <set>

namespace ntscan {

namespace {

constexpr uint64_t mft_record = 0;
// Bounds what a crafted attribute list can make us read.
constexpr size_t largest_attribute_list = 256u << 10;
constexpr size_t most_extensions = 1024;

bool fits(const volume_geometry& g, uint64_t volume_bytes)
{
    return volume_bytes == 0 || g.total_sectors <= volume_bytes / g.bytes_per_sector;
}

} // namespace

std::optional<volume_geometry> ntfs_volume::find_boot_sector() const
{
    // The backup boot sector is the last sector of the volume.
    std::vector<uint64_t> places{0};
    uint64_t size = source_->size();
    for (uint64_t sector : {uint64_t(source_->sector_size()), uint64_t(512), uint64_t(4096)})
        if (size >= 2 * sector && std::find(places.begin(), places.end(), size - sector) == places.end())
            places.push_back(size - sector);
    std::vector<uint8_t> sector(512);
    for (uint64_t place : places) {
        if (!source_->read(place, sector.data(), sector.size())) continue;
        auto g = parse_boot_sector(sector);
        if (g && fits(*g, size)) return g;
    }
    return std::nullopt;
}

int ntfs_volume::mount(byte_source& source)
{
    source_ = &source;
    auto g = find_boot_sector();
    if (!g) return error_not_ntfs;
    geometry_ = *g;
    if (map_mft(geometry_.mft_cluster) || map_mft(geometry_.mft_mirror_cluster)) return 0;
    return error_bad_mft;
}

// Maps the MFT from the copy of its own record 0 at `cluster`: first from
// the record alone, then with the extension records that mapping reaches.
bool ntfs_volume::map_mft(uint64_t cluster)
{
    const uint32_t rs = geometry_.record_size;
    loaded_file mft;
    mft.buffers.emplace_back(rs);
    if (!source_->read(cluster * geometry_.cluster_size, mft.buffers[0].data(), rs)) return false;
    auto header = open_record(mft.buffers[0]);
    if (!header || !(header->flags & record_in_use) || header->base_record != 0) return false;
    mft.records.push_back({mft_record, mft.buffers[0], *header});

    for (int pass = 0; pass < 2; ++pass) {
        auto data = find_data(mft.records, geometry_.total_clusters);
        if (!data || data->resident || data->layout.runs.empty() || data->layout.unit_clusters != 0) return false;
        mft_ = data->layout;
        uint64_t mapped = mft_.mapped_clusters() * geometry_.cluster_size;
        record_count_ = std::min(mft_.data_size, mapped) / rs;
        if (record_count_ == 0) return false;
        if (pass == 0) load_extensions(mft);
    }
    return true;
}

bool ntfs_volume::read_records(uint64_t first, size_t count, uint8_t* buffer) const
{
    if (first > record_count_ || count > record_count_ - first) return false;
    const uint64_t rs = geometry_.record_size;
    return read_stream(mft_, first * rs, buffer, count * rs);
}

std::optional<opened_record> ntfs_volume::read_record(uint64_t number, std::vector<uint8_t>& buffer) const
{
    buffer.resize(geometry_.record_size);
    if (!read_records(number, 1, buffer.data())) return std::nullopt;
    auto header = open_record(buffer);
    if (!header) return std::nullopt;
    return opened_record{number, buffer, *header};
}

void ntfs_volume::load_extensions(loaded_file& file) const
{
    const opened_record base = file.records.front();
    auto list_attribute = find_attribute_list(base);
    if (!list_attribute) return;

    std::vector<uint8_t> list_bytes;
    std::span<const uint8_t> list = list_attribute->value;
    if (list_attribute->non_resident) {
        data_layout layout;
        decode_run_list(list_attribute->run_list, 0, geometry_.total_clusters, layout.runs);
        layout.data_size = std::min<uint64_t>(list_attribute->data_size, largest_attribute_list);
        layout.initialized_size = std::min(layout.data_size, list_attribute->initialized_size);
        layout.data_size = std::min(layout.data_size, layout.mapped_clusters() * geometry_.cluster_size);
        list_bytes.resize(layout.data_size);
        if (!read_stream(layout, 0, list_bytes.data(), list_bytes.size())) return;
        list = list_bytes;
    }

    std::set<uint64_t> seen{base.number};
    for (uint64_t segment : parse_attribute_list(list)) {
        uint64_t number = reference_record(segment);
        if (seen.size() > most_extensions || !seen.insert(number).second) continue;
        std::vector<uint8_t> buffer;
        auto record = read_record(number, buffer);
        if (!record || !extension_belongs(base, segment, *record)) continue;
        file.buffers.push_back(std::move(buffer));
        record->bytes = file.buffers.back();
        file.records.push_back(*record);
    }
}

void ntfs_volume::add_extensions(loaded_file& file, std::span<const uint64_t> candidates) const
{
    const opened_record base = file.records.front();
    for (uint64_t number : candidates) {
        if (file.records.size() > most_extensions) return;
        bool loaded = std::any_of(file.records.begin(), file.records.end(),
                                  [&](const opened_record& r) { return r.number == number; });
        if (loaded) continue;
        std::vector<uint8_t> buffer;
        auto record = read_record(number, buffer);
        if (!record || !extension_owned_by(base, *record)) continue;
        file.buffers.push_back(std::move(buffer));
        record->bytes = file.buffers.back();
        file.records.push_back(*record);
    }
}

bool ntfs_volume::load_file(uint64_t number, loaded_file& file) const
{
    file = {};
    file.buffers.emplace_back();
    auto base = read_record(number, file.buffers[0]);
    if (!base || base->header.base_record != 0) return false;
    file.records.push_back(*base);
    load_extensions(file);
    return true;
}

} // namespace ntscan
