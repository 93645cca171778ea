// FLAC: metadata blocks, then audio frames. A frame's length is not stored:
// it ends where its CRC-16 matches and the next frame header (with a valid
// CRC-8) begins, or, for the last frame, where the sample count is reached.
#include "libcarve/carver.h"
#include "libcarve/checksums.h"

#include <cstring>

namespace libcarve {

namespace {

bool header(const uint8_t* p, size_t n)
{
    return n >= 42 && std::memcmp(p, "fLaC", 4) == 0 && (p[4] & 0x7F) == 0 && p[5] == 0 && p[6] == 0 &&
           p[7] == 34;
}

// A frame header at `at`: its block size in samples, or 0.
uint32_t frame_samples(reader& r, uint64_t at)
{
    uint8_t h[16];
    if (!r.has(at, 6) || !r.bytes(at, h, std::min<uint64_t>(16, r.limit() - at)))
        return 0;
    if (h[0] != 0xFF || (h[1] & 0xFE) != 0xF8)
        return 0;
    const int size_code = h[2] >> 4, rate_code = h[2] & 15;
    if (size_code == 0 || rate_code == 15 || (h[3] >> 4) > 10 || (h[3] & 1))
        return 0;
    // UTF-8-like coded frame or sample number.
    size_t p = 4;
    int extra = 0;
    if ((h[p] & 0x80) == 0) extra = 0;
    else if ((h[p] & 0xE0) == 0xC0) extra = 1;
    else if ((h[p] & 0xF0) == 0xE0) extra = 2;
    else if ((h[p] & 0xF8) == 0xF0) extra = 3;
    else if ((h[p] & 0xFC) == 0xF8) extra = 4;
    else if ((h[p] & 0xFE) == 0xFC) extra = 5;
    else if (h[p] == 0xFE) extra = 6;
    else return 0;
    p += 1 + extra;
    uint32_t samples = 0;
    if (size_code == 1) samples = 192;
    else if (size_code <= 5) samples = 576u << (size_code - 2);
    else if (size_code == 6) samples = uint32_t(h[p++]) + 1;
    else if (size_code == 7) { samples = (uint32_t(h[p]) << 8 | h[p + 1]) + 1; p += 2; }
    else samples = 256u << (size_code - 8);
    if (rate_code == 12) p += 1;
    else if (rate_code == 13 || rate_code == 14) p += 2;
    if (p >= sizeof h || crc8_flac(h, p) != h[p])
        return 0;
    return samples;
}

constexpr uint64_t max_frame = 16u << 20;

found_file measure(reader& r)
{
    // STREAMINFO: frame size bounds and the total sample count.
    const uint64_t min_frame = uint64_t(r.u8(8 + 4)) << 16 | r.be16(8 + 5);
    const uint64_t max_frame_size = uint64_t(r.u8(8 + 7)) << 16 | r.be16(8 + 8);
    const uint64_t total_samples = r.be64(8 + 10) & ((1ULL << 36) - 1);
    if (!r || r.be16(8 + 2) < 16)
        return {};
    // A frame shorter or longer than the stream says it can be is a false match.
    auto plausible = [&](uint64_t length) {
        return (min_frame == 0 || length >= min_frame) && (max_frame_size == 0 || length <= max_frame_size);
    };
    uint64_t at = 4;
    for (int blocks = 0;; ++blocks) {
        const uint8_t type = r.u8(at);
        const uint64_t length = uint64_t(r.u8(at + 1)) << 16 | r.be16(at + 2);
        if (!r || (type & 0x7F) == 127 || blocks > 1024)
            return {};
        at += 4 + length;
        if (type & 0x80)
            break;
    }
    uint64_t samples = 0;
    uint32_t block = frame_samples(r, at);
    if (block == 0)
        return {};
    for (;;) {
        samples += block;
        const bool last = total_samples != 0 && samples >= total_samples;
        // The frame ends where its running CRC-16 equals the two bytes that follow.
        uint16_t crc = 0;
        uint64_t p = at;
        uint64_t end = 0;
        uint32_t next_block = 0;
        uint8_t previous[2] = {0, 0};
        const uint64_t stop = std::min(at + max_frame, r.limit());
        while (p < stop && end == 0) {
            size_t got = 0;
            const uint8_t* data = r.window(p, 1 << 16, got);
            if (!data)
                break;
            for (size_t i = 0; i < got; ++i) {
                // CRC of [at, p - 2) is compared with the bytes at p - 2 and p - 1.
                if (p + i >= at + 6 && uint16_t(previous[0] << 8 | previous[1]) == crc &&
                    plausible(p + i - at)) {
                    const uint64_t candidate = p + i;
                    if (last) {
                        end = candidate;
                        break;
                    }
                    next_block = frame_samples(r, candidate);
                    if (next_block) {
                        end = candidate;
                        break;
                    }
                }
                const uint8_t shifted_out = previous[0];
                previous[0] = previous[1];
                previous[1] = data[i];
                if (p + i >= at + 2)
                    crc = crc16_flac(crc, &shifted_out, 1);
            }
            p += got;
        }
        if (end == 0) {
            // The device or the limit may end right after the last frame.
            if (last || total_samples == 0) {
                if (p == r.limit() && uint16_t(previous[0] << 8 | previous[1]) == crc)
                    return {p, "flac"};
            }
            return {};
        }
        if (last || next_block == 0)
            return {end, "flac"};
        at = end;
        block = next_block;
    }
}

constexpr const char* extensions[] = {"flac"};

} // namespace

extern const carver flac_carver{"flac", "f", extensions, header, measure, nullptr, 2ULL << 30};

} // namespace libcarve
