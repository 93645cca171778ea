// Photoshop: header, three length-prefixed sections and the merged image,
// raw or run-length coded (whose row lengths sum to its size).
#include "libcarve/carver.h"

#include <cstring>

namespace libcarve {

namespace {

bool header(const uint8_t* p, size_t n)
{
    return n >= 26 && std::memcmp(p, "8BPS", 4) == 0 && p[4] == 0 && (p[5] == 1 || p[5] == 2) &&
           std::memcmp(p + 6, "\0\0\0\0\0\0", 6) == 0;
}

found_file measure(reader& r)
{
    const bool big = r.be16(4) == 2;
    const uint64_t channels = r.be16(12);
    const uint64_t height = r.be32(14);
    const uint64_t width = r.be32(18);
    const uint32_t depth = r.be16(22);
    if (!r || channels == 0 || channels > 56 || height == 0 || width == 0 ||
        height > 300000 || width > 300000 || (depth != 1 && depth != 8 && depth != 16 && depth != 32) ||
        r.be16(24) > 9)
        return {};
    uint64_t at = 26;
    at += 4 + uint64_t(r.be32(at)); // colour mode data
    at += 4 + uint64_t(r.be32(at)); // image resources
    at += big ? 8 + r.be64(at) : 4 + uint64_t(r.be32(at)); // layers and masks
    const uint16_t compression = r.be16(at);
    at += 2;
    const uint64_t rows = channels * height;
    if (!r || at > r.limit())
        return {};
    if (compression == 0) {
        at += rows * ((width * depth + 7) / 8);
    } else if (compression == 1) {
        const uint32_t entry = big ? 4 : 2;
        uint64_t data = 0;
        for (uint64_t i = 0; i < rows && r; ++i)
            data += big ? r.be32(at + i * entry) : r.be16(at + i * entry);
        at += rows * entry + data;
    } else {
        return {};
    }
    return r && r.has(0, at) ? found_file{at, "psd"} : found_file{};
}

constexpr const char* extensions[] = {"psd"};

} // namespace

extern const carver psd_carver{"psd", "8", extensions, header, measure, nullptr, 2ULL << 30};

} // namespace libcarve
