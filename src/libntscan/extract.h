// Writing out the content of a file's unnamed $DATA.
#pragma once

#include "ntfs_volume.h"

#include <cstdint>

namespace ntscan {

class data_sink {
public:
    virtual ~data_sink() = default;
    virtual bool write(const uint8_t* bytes, size_t length) = 0;
    // `length` zero bytes; a file sink leaves a hole.
    virtual bool zeros(uint64_t length) = 0;
};

enum extract_error : int {
    error_no_record = -1,   // unreadable, not a base record
    error_no_data = -2,     // no unnamed $DATA
    error_unmapped = -3,    // part of the data has no clusters we know of
    error_read = -4,        // the volume could not be read
    error_corrupt = -5,     // a compressed unit does not decompress
    error_write = -6,       // the destination could not be written
};

// Writes exactly data size bytes of the file's content to `out`: resident
// bytes, clusters, holes as zeros, compressed units decompressed. The
// extension records the scan met for this file join those its attribute
// list names. 0 or an extract_error; `layout` receives where the data lies
// (empty if resident).
int extract_file(const ntfs_volume& volume, uint64_t record, std::span<const uint64_t> met_extensions,
                 data_sink& out, data_layout& layout);

} // namespace ntscan
