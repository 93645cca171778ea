// Where the bytes of a non-resident attribute lie, and reading them back.
#pragma once

#include "byte_source.h"
#include "run_list.h"

#include <cstdint>
#include <functional>
#include <vector>

namespace ntscan {

struct data_layout {
    std::vector<data_run> runs;     // by VCN, contiguous from VCN 0
    uint64_t data_size = 0;         // bytes of the stream
    uint64_t initialized_size = 0;  // bytes past this read as zeros
    uint32_t unit_clusters = 0;     // clusters per compression unit; 0 when not compressed

    // VCNs mapped from 0 on.
    uint64_t mapped_clusters() const { return runs.empty() ? 0 : runs.back().vcn + runs.back().length; }
};

// Calls `piece(vcn, lcn, count)` for the runs covering [first, first + count)
// in order, lcn being sparse_run for holes. False when part of the range is
// not mapped or `piece` returns false.
bool for_each_piece(const data_layout& layout, uint64_t first, uint64_t count,
                    const std::function<bool(uint64_t vcn, int64_t lcn, uint64_t count)>& piece);

// Reads `length` bytes at `offset` of an uncompressed stream: holes and bytes
// past the initialized size as zeros. False past the data size, over an
// unmapped range or when the source fails.
bool read_stream(byte_source& source, uint32_t cluster_size, const data_layout& layout,
                 uint64_t offset, uint8_t* buffer, size_t length);

} // namespace ntscan
