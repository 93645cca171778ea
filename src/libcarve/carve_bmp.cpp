// BMP: the file size field, believed only when the pixel array it must hold
// fits inside it with little to spare.
#include "libcarve/carver.h"

#include <cstdlib>

namespace libcarve {

namespace {

bool known_info_size(uint32_t size)
{
    return size == 12 || size == 40 || size == 52 || size == 56 || size == 64 || size == 108 ||
           size == 124;
}

bool header(const uint8_t* p, size_t n)
{
    if (n < 18 || p[0] != 'B' || p[1] != 'M' || p[6] | p[7] | p[8] | p[9])
        return false;
    return known_info_size(uint32_t(p[14]) | uint32_t(p[15]) << 8 | uint32_t(p[16]) << 16 |
                           uint32_t(p[17]) << 24);
}

constexpr uint64_t slack = 1024; // padding some writers leave after the pixels

found_file measure(reader& r)
{
    const uint64_t file_size = r.le32(2);
    const uint64_t pixels_at = r.le32(10);
    const uint32_t info_size = r.le32(14);
    int64_t width, height;
    uint32_t planes, depth, compression = 0;
    uint64_t image_size = 0;
    if (info_size == 12) {
        width = r.le16(18);
        height = int16_t(r.le16(20));
        planes = r.le16(22);
        depth = r.le16(24);
    } else {
        width = int32_t(r.le32(18));
        height = int32_t(r.le32(22));
        planes = r.le16(26);
        depth = r.le16(28);
        compression = r.le32(30);
        image_size = r.le32(34);
    }
    if (!r || planes != 1 || width <= 0 || height == 0 || width > 1 << 20 ||
        std::llabs(height) > 1 << 20 || pixels_at < 14 + uint64_t(info_size) ||
        pixels_at >= file_size)
        return {};
    uint64_t data_end = 0;
    if (compression == 0 || compression == 3 || compression == 6) {
        if (depth != 1 && depth != 4 && depth != 8 && depth != 16 && depth != 24 && depth != 32)
            return {};
        const uint64_t row = (uint64_t(width) * depth + 31) / 32 * 4;
        data_end = pixels_at + row * uint64_t(std::llabs(height));
    } else if (compression == 1 || compression == 2 || compression == 4 || compression == 5) {
        if (image_size == 0)
            return {};
        data_end = pixels_at + image_size;
    } else {
        return {};
    }
    if (info_size == 124) {
        // An embedded colour profile may follow the pixels.
        const uint64_t profile_at = r.le32(14 + 112);
        const uint64_t profile_size = r.le32(14 + 116);
        if (r && profile_size > 0)
            data_end = std::max(data_end, 14 + profile_at + profile_size);
    }
    if (file_size < data_end || file_size > data_end + slack || !r.has(0, file_size))
        return {};
    return {file_size, "bmp"};
}

constexpr const char* extensions[] = {"bmp"};

} // namespace

extern const carver bmp_carver{"bmp", "B", extensions, header, measure, nullptr, 1ULL << 30};

} // namespace libcarve
