// LZNT1, the compression of NTFS compressed files: a sequence of chunks of
// up to 4096 uncompressed bytes each.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace ntscan {

// Decompresses `in` into `out`, which the caller has zero-filled: each chunk
// fills the next 4096 bytes of `out` (a short chunk leaves zeros behind it).
// Stops at the end marker, at the end of `in`, or when `out` is full. False
// when a chunk is malformed.
bool lznt1_decompress(std::span<const uint8_t> in, std::span<uint8_t> out);

} // namespace ntscan
