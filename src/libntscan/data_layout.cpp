#include "data_layout.h"

#include <algorithm>
#include <cstring>

namespace ntscan {

bool for_each_piece(const data_layout& layout, uint64_t first, uint64_t count,
                    const std::function<bool(uint64_t vcn, int64_t lcn, uint64_t count)>& piece)
{
    if (count == 0) return true;
    if (first >= layout.mapped_clusters() || count > layout.mapped_clusters() - first) return false;
    auto run = std::upper_bound(layout.runs.begin(), layout.runs.end(), first,
                                [](uint64_t vcn, const data_run& r) { return vcn < r.vcn; });
    --run;
    uint64_t vcn = first, end = first + count;
    for (; vcn < end; ++run) {
        uint64_t skip = vcn - run->vcn;
        uint64_t n = std::min(run->length - skip, end - vcn);
        int64_t lcn = run->lcn == sparse_run ? sparse_run : run->lcn + int64_t(skip);
        if (!piece(vcn, lcn, n)) return false;
        vcn += n;
    }
    return true;
}

bool read_stream(byte_source& source, uint32_t cluster_size, const data_layout& layout,
                 uint64_t offset, uint8_t* buffer, size_t length)
{
    if (offset > layout.data_size || length > layout.data_size - offset) return false;
    if (length == 0) return true;
    uint64_t first = offset / cluster_size;
    uint64_t last = (offset + length - 1) / cluster_size;
    uint64_t end = offset + length;
    return for_each_piece(layout, first, last - first + 1, [&](uint64_t vcn, int64_t lcn, uint64_t n) {
        uint64_t from = std::max(offset, vcn * cluster_size);
        uint64_t to = std::min(end, (vcn + n) * cluster_size);
        uint8_t* out = buffer + (from - offset);
        uint64_t readable = std::clamp(layout.initialized_size, from, to) - from;
        if (lcn == sparse_run) readable = 0;
        if (readable != 0 &&
            !source.read(uint64_t(lcn) * cluster_size + (from - vcn * cluster_size), out, readable))
            return false;
        std::memset(out + readable, 0, to - from - readable);
        return true;
    });
}

} // namespace ntscan
