// xz: the stream footer, found by its magic at a 4-byte boundary, must carry
// the header's flags, a valid checksum and a backward size that lands on a
// valid index.
#include "libcarve/carver.h"
#include "libcarve/checksums.h"

#include <cstring>
#include <vector>

namespace libcarve {

namespace {

bool header(const uint8_t* p, size_t n)
{
    return n >= 12 && std::memcmp(p, "\xFD" "7zXZ\0", 6) == 0 && p[6] == 0 && p[7] <= 0x0F &&
           crc32(p + 6, 2) == (uint32_t(p[8]) | uint32_t(p[9]) << 8 | uint32_t(p[10]) << 16 |
                               uint32_t(p[11]) << 24);
}

constexpr uint64_t max_index = 16u << 20;

bool footer_at(reader& r, uint64_t footer)
{
    uint8_t f[12];
    if (!r.bytes(footer, f, sizeof f) || f[8] != r.u8(6) || f[9] != r.u8(7))
        return false;
    const uint32_t stored = uint32_t(f[0]) | uint32_t(f[1]) << 8 | uint32_t(f[2]) << 16 | uint32_t(f[3]) << 24;
    if (crc32(f + 4, 6) != stored)
        return false;
    const uint64_t backward = ((uint64_t(f[4]) | uint64_t(f[5]) << 8 | uint64_t(f[6]) << 16 |
                                uint64_t(f[7]) << 24) + 1) * 4;
    if (backward > max_index || backward + 12 > footer)
        return false;
    const uint64_t index = footer - backward;
    std::vector<uint8_t> bytes(backward);
    if (!r.bytes(index, bytes.data(), bytes.size()) || bytes[0] != 0)
        return false;
    const uint32_t index_crc = uint32_t(bytes[backward - 4]) | uint32_t(bytes[backward - 3]) << 8 |
                               uint32_t(bytes[backward - 2]) << 16 | uint32_t(bytes[backward - 1]) << 24;
    return crc32(bytes.data(), bytes.size() - 4) == index_crc;
}

found_file measure(reader& r)
{
    for (uint64_t from = 12;;) {
        const uint64_t magic = r.find(from, "YZ");
        if (magic == reader::npos)
            return {};
        const uint64_t end = magic + 2;
        if (end % 4 == 0 && end >= 32) {
            const bool saved = r.ok();
            if (footer_at(r, end - 12))
                return {end, "xz"};
            if (saved && !r.ok())
                return {};
        }
        from = magic + 1;
    }
}

constexpr const char* extensions[] = {"xz"};

} // namespace

extern const carver xz_carver{"xz", "\xFD", extensions, header, measure, nullptr, 4ULL << 30};

} // namespace libcarve
