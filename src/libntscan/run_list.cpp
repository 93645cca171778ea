#include "run_list.h"

namespace ntscan {

namespace {

uint64_t load_unsigned(const uint8_t* p, size_t n)
{
    uint64_t v = 0;
    for (size_t i = n; i-- > 0;) v = v << 8 | p[i];
    return v;
}

int64_t load_signed(const uint8_t* p, size_t n)
{
    uint64_t v = load_unsigned(p, n);
    if (n < 8 && (p[n - 1] & 0x80)) v |= ~uint64_t(0) << (8 * n);
    return int64_t(v);
}

} // namespace

bool decode_run_list(std::span<const uint8_t> bytes, uint64_t first_vcn, uint64_t total_clusters,
                     std::vector<data_run>& runs)
{
    uint64_t vcn = first_vcn;
    int64_t lcn = 0;
    size_t i = 0;
    while (i < bytes.size()) {
        uint8_t header = bytes[i++];
        if (header == 0) return true;
        size_t length_size = header & 0x0F, offset_size = header >> 4;
        if (length_size == 0 || length_size > 8 || offset_size > 8 ||
            length_size + offset_size > bytes.size() - i)
            return false;
        uint64_t length = load_unsigned(&bytes[i], length_size);
        i += length_size;
        if (length == 0 || length > vcn_limit || vcn > vcn_limit - length) return false;
        data_run run{vcn, sparse_run, length};
        if (offset_size != 0) {
            int64_t delta = load_signed(&bytes[i], offset_size);
            i += offset_size;
            if (delta < -int64_t(vcn_limit) || delta > int64_t(vcn_limit)) return false;
            lcn += delta;
            if (lcn < 0 || uint64_t(lcn) > total_clusters || length > total_clusters - uint64_t(lcn)) return false;
            run.lcn = lcn;
        }
        runs.push_back(run);
        vcn += length;
    }
    return false;
}

} // namespace ntscan
