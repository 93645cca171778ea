// 7z: the start header (checksummed) gives where the next header lies and
// how long it is; its checksum must match too.
#include "libcarve/carver.h"
#include "libcarve/checksums.h"

#include <cstring>
#include <vector>

namespace libcarve {

namespace {

bool header(const uint8_t* p, size_t n)
{
    return n >= 32 && std::memcmp(p, "7z\xBC\xAF\x27\x1C", 6) == 0 && p[6] == 0 &&
           crc32(p + 12, 20) == (uint32_t(p[8]) | uint32_t(p[9]) << 8 | uint32_t(p[10]) << 16 |
                                 uint32_t(p[11]) << 24);
}

constexpr uint64_t max_header = 64u << 20;

found_file measure(reader& r)
{
    const uint64_t offset = r.le64(12);
    const uint64_t size = r.le64(20);
    const uint32_t stored = r.le32(28);
    if (!r || size == 0 || size > max_header || offset > r.limit())
        return {};
    const uint64_t at = 32 + offset;
    if (!r.has(at, size))
        return {};
    std::vector<uint8_t> next(size);
    if (!r.bytes(at, next.data(), next.size()) || crc32(next.data(), next.size()) != stored)
        return {};
    return {at + size, "7z"};
}

constexpr const char* extensions[] = {"7z"};

} // namespace

extern const carver sevenzip_carver{"7z", "7", extensions, header, measure, nullptr, 16ULL << 30};

} // namespace libcarve
