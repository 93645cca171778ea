#include "extract.h"

#include "lznt1.h"

#include <algorithm>
#include <vector>

namespace ntscan {

namespace {

constexpr uint64_t bytes_per_read = 1u << 20;
constexpr uint64_t largest_unit = 1u << 20;

int copy_plain(const ntfs_volume& volume, const data_layout& layout, data_sink& out)
{
    const uint64_t cs = volume.geometry().cluster_size;
    std::vector<uint8_t> buffer;
    int result = 0;
    uint64_t clusters = (layout.data_size + cs - 1) / cs;
    bool ok = for_each_piece(layout, 0, clusters, [&](uint64_t vcn, int64_t lcn, uint64_t n) {
        uint64_t from = vcn * cs, to = std::min(layout.data_size, (vcn + n) * cs);
        if (lcn == sparse_run || from >= layout.initialized_size) {
            if (!out.zeros(to - from)) result = error_write;
            return result == 0;
        }
        for (uint64_t pos = from; pos < to; pos += bytes_per_read) {
            size_t length = size_t(std::min(bytes_per_read, to - pos));
            buffer.resize(length);
            if (!volume.read_stream(layout, pos, buffer.data(), length)) result = error_read;
            else if (!out.write(buffer.data(), length)) result = error_write;
            if (result != 0) return false;
        }
        return true;
    });
    if (!ok && result == 0) result = error_unmapped;
    return result;
}

int copy_compressed(const ntfs_volume& volume, const data_layout& layout, data_sink& out)
{
    const uint64_t cs = volume.geometry().cluster_size;
    const uint64_t unit = layout.unit_clusters, unit_bytes = unit * cs;
    if (unit_bytes > largest_unit) return error_corrupt;
    std::vector<uint8_t> stored(unit_bytes), plain(unit_bytes);
    const uint64_t clusters = (layout.data_size + cs - 1) / cs;
    if (clusters > layout.mapped_clusters()) return error_unmapped;

    for (uint64_t vcn = 0; vcn < clusters;) {
        uint64_t count = std::min(unit, layout.mapped_clusters() - vcn);
        uint64_t real = 0;
        bool ok = for_each_piece(layout, vcn, count, [&](uint64_t, int64_t lcn, uint64_t n) {
            if (lcn == sparse_run) return true;
            bool read = volume.source().read(uint64_t(lcn) * cs, stored.data() + real * cs, n * cs);
            real += n;
            return read;
        });
        if (!ok) return error_read;
        uint64_t from = vcn * cs;
        if (real == 0) {
            // Holes may run on for many units: skip to the next cluster.
            auto next = std::find_if(layout.runs.begin(), layout.runs.end(), [&](const data_run& r) {
                return r.lcn != sparse_run && r.vcn + r.length > vcn;
            });
            uint64_t resume = next == layout.runs.end() ? clusters : std::max(vcn + unit, next->vcn / unit * unit);
            resume = std::min(resume, clusters);
            if (!out.zeros(std::min(layout.data_size, resume * cs) - from)) return error_write;
            vcn = resume;
            continue;
        }
        const uint8_t* content = stored.data();
        if (real < count) {
            std::fill(plain.begin(), plain.end(), 0);
            if (!lznt1_decompress(std::span(stored.data(), real * cs), plain)) return error_corrupt;
            content = plain.data();
        }
        uint64_t length = std::min(layout.data_size - from, count * cs);
        if (!out.write(content, length)) return error_write;
        vcn += count;
    }
    return 0;
}

} // namespace

int extract_file(const ntfs_volume& volume, uint64_t record, std::span<const uint64_t> met_extensions,
                 data_sink& out, data_layout& layout)
{
    layout = {};
    loaded_file file;
    if (!volume.load_file(record, file)) return error_no_record;
    volume.add_extensions(file, met_extensions);
    auto data = find_data(file.records, volume.geometry().total_clusters);
    if (!data) return error_no_data;
    if (data->resident) return out.write(data->value.data(), data->value.size()) ? 0 : error_write;

    layout = data->layout;
    const uint64_t cs = volume.geometry().cluster_size;
    if (layout.data_size > layout.mapped_clusters() * cs) return error_unmapped;
    return layout.unit_clusters != 0 ? copy_compressed(volume, layout, out) : copy_plain(volume, layout, out);
}

} // namespace ntscan
