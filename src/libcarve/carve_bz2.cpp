// bzip2: blocks are not byte aligned, so the stream is searched bit by bit
// for block and end-of-stream markers. The stream's combined checksum, made
// from every block's checksum, must match the one after the end marker.
#include "libcarve/carver.h"

#include <cstring>

namespace libcarve {

namespace {

constexpr uint64_t block_magic = 0x314159265359ULL;
constexpr uint64_t end_magic = 0x177245385090ULL;
constexpr uint64_t mask48 = (1ULL << 48) - 1;

bool header(const uint8_t* p, size_t n)
{
    return n >= 10 && std::memcmp(p, "BZh", 3) == 0 && p[3] >= '1' && p[3] <= '9' &&
           (std::memcmp(p + 4, "\x31\x41\x59\x26\x53\x59", 6) == 0 ||
            std::memcmp(p + 4, "\x17\x72\x45\x38\x50\x90", 6) == 0);
}

// A compressed block is never much larger than the block size it came
// from, so a marker must come within that distance of the previous one.
uint64_t max_block_bytes(uint8_t level) { return uint64_t(level - '0') * 100000 * 5 / 4 + 1024; }

found_file measure(reader& r)
{
    const uint64_t max_gap = max_block_bytes(r.u8(3));
    uint64_t last_marker = 4;
    uint64_t bits = 0;       // the last 64 bits read
    uint64_t bit_count = 32; // bits consumed from the start of the file
    uint32_t combined = 0;
    int pending_crc = -1;    // bits still to read of a checksum: -1 none
    bool in_end = false;
    uint32_t crc = 0;
    uint64_t at = 4;
    for (;;) {
        size_t got = 0;
        const uint8_t* p = r.window(at, 1 << 16, got);
        if (!p)
            return {};
        for (size_t i = 0; i < got; ++i) {
            for (int b = 7; b >= 0; --b) {
                bits = bits << 1 | ((p[i] >> b) & 1);
                ++bit_count;
                if (pending_crc > 0) {
                    crc = crc << 1 | uint32_t(bits & 1);
                    if (--pending_crc == 0) {
                        pending_crc = -1;
                        if (in_end) {
                            if (crc != combined)
                                return {};
                            return {(bit_count + 7) / 8, "bz2"};
                        }
                        combined = (combined << 1 | combined >> 31) ^ crc;
                    }
                    continue;
                }
                const uint64_t last48 = bits & mask48;
                if (last48 == block_magic || last48 == end_magic) {
                    last_marker = at + i;
                    in_end = last48 == end_magic;
                    pending_crc = 32;
                    crc = 0;
                    bits = 0;
                }
            }
        }
        at += got;
        if (at - last_marker > max_gap)
            return {};
    }
}

constexpr const char* extensions[] = {"bz2"};

} // namespace

extern const carver bz2_carver{"bz2", "B", extensions, header, measure, nullptr, 4ULL << 30};

} // namespace libcarve
