// Run lists of non-resident attributes: which clusters hold which VCNs.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace ntscan {

constexpr int64_t sparse_run = -1;
// The cluster space NTFS addresses; keeps byte offsets of clusters far from overflow.
constexpr uint64_t vcn_limit = uint64_t(1) << 48;

struct data_run {
    uint64_t vcn = 0;
    int64_t lcn = sparse_run; // first cluster, or sparse_run for a hole
    uint64_t length = 0;      // clusters
};

// Appends the runs of `bytes` to `runs`, starting at `first_vcn`. Real runs
// must lie within `total_clusters`. False at the first malformed run (the
// runs before it stay appended); a list without its end marker is malformed.
bool decode_run_list(std::span<const uint8_t> bytes, uint64_t first_vcn, uint64_t total_clusters,
                     std::vector<data_run>& runs);

} // namespace ntscan
