#include "lznt1.h"

#include "little_endian.h"

#include <cstring>

namespace ntscan {

namespace {

constexpr size_t chunk_bytes = 4096;

// One compressed chunk into `out` (at most 4096 bytes).
bool decompress_chunk(std::span<const uint8_t> in, std::span<uint8_t> out)
{
    size_t i = 0, pos = 0;
    while (i < in.size() && pos < out.size()) {
        uint8_t tags = in[i++];
        for (int bit = 0; bit < 8 && i < in.size() && pos < out.size(); ++bit, tags >>= 1) {
            if (!(tags & 1)) {
                out[pos++] = in[i++];
                continue;
            }
            if (i + 2 > in.size()) return false;
            uint16_t token = load16(&in[i]);
            i += 2;
            // The split between offset and length bits moves with the position.
            if (pos == 0) return false;
            unsigned length_mask = 0xFFF, offset_shift = 12;
            for (size_t p = pos - 1; p >= 0x10; p >>= 1) {
                length_mask >>= 1;
                --offset_shift;
            }
            size_t offset = (token >> offset_shift) + 1;
            size_t length = (token & length_mask) + 3;
            if (offset > pos) return false;
            for (size_t k = 0; k < length && pos < out.size(); ++k, ++pos) out[pos] = out[pos - offset];
        }
    }
    return true;
}

} // namespace

bool lznt1_decompress(std::span<const uint8_t> in, std::span<uint8_t> out)
{
    size_t i = 0, chunk_start = 0;
    while (i + 2 <= in.size() && chunk_start < out.size()) {
        uint16_t header = load16(&in[i]);
        if (header == 0) return true;
        size_t size = (header & 0x0FFF) + 1;
        i += 2;
        if (size > in.size() - i) return false;
        std::span<const uint8_t> data = in.subspan(i, size);
        std::span<uint8_t> target = out.subspan(chunk_start, std::min(chunk_bytes, out.size() - chunk_start));
        if (header & 0x8000) {
            if (!decompress_chunk(data, target)) return false;
        } else {
            std::memcpy(target.data(), data.data(), std::min(data.size(), target.size()));
        }
        i += size;
        chunk_start += chunk_bytes;
    }
    return true;
}

} // namespace ntscan
