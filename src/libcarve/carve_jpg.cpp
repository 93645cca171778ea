// JPEG: marker segments by their lengths, entropy-coded data up to the next
// marker, until the end-of-image marker. An EXIF thumbnail lies inside APP1
// and is stepped over with it. A multi-picture file (MPF in APP2, as phones
// and cameras write) ends after the last image its index points at.
#include "libcarve/carver.h"

#include <algorithm>
#include <cstring>

namespace libcarve {

namespace {

bool header(const uint8_t* p, size_t n)
{
    if (n < 4 || p[0] != 0xFF || p[1] != 0xD8 || p[2] != 0xFF)
        return false;
    const uint8_t m = p[3];
    return (m >= 0xE0 && m <= 0xEF) || m == 0xDB || m == 0xC4 || m == 0xFE || m == 0xDD ||
           (m >= 0xC0 && m <= 0xCF);
}

// Offset of the marker that ends the entropy-coded data starting at `at`:
// an 0xFF not followed by a stuffed zero, a restart marker or fill.
uint64_t end_of_scan(reader& r, uint64_t at)
{
    for (;;) {
        size_t got = 0;
        const uint8_t* p = r.window(at, 1 << 16, got);
        if (!p)
            return reader::npos;
        const auto* ff = static_cast<const uint8_t*>(std::memchr(p, 0xFF, got));
        if (!ff) {
            at += got;
            continue;
        }
        at += uint64_t(ff - p);
        const uint8_t next = r.u8(at + 1);
        if (!r)
            return reader::npos;
        if (next == 0x00 || (next >= 0xD0 && next <= 0xD7))
            at += 2;
        else if (next == 0xFF)
            at += 1;
        else
            return at;
    }
}

// The end of the images an MPF index lists, or 0. `at` is the APP2 data.
uint64_t multi_picture_end(reader& r, uint64_t at, uint64_t length)
{
    if (length < 16 || !r.equals(at, std::string_view("MPF\0", 4)))
        return 0;
    const uint64_t base = at + 4; // offsets count from this TIFF header
    const bool big = r.equals(base, "MM");
    auto u16 = [&](uint64_t p) { return big ? r.be16(p) : r.le16(p); };
    auto u32 = [&](uint64_t p) { return big ? r.be32(p) : r.le32(p); };
    const uint64_t directory = base + u32(base + 4);
    const uint32_t count = u16(directory);
    if (!r || count > 64)
        return 0;
    uint64_t end = 0;
    for (uint32_t i = 0; i < count; ++i) {
        const uint64_t e = directory + 2 + 12ULL * i;
        if (u16(e) != 0xB002)
            continue;
        const uint64_t entries = u32(e + 4) / 16;
        const uint64_t table = base + u32(e + 8);
        for (uint64_t k = 0; k < entries && k < 64; ++k) {
            const uint64_t size = u32(table + 16 * k + 4);
            const uint64_t offset = u32(table + 16 * k + 8);
            if (offset == 0) // the first image: this file
                continue;
            if (!r.has(base + offset, size) || r.be16(base + offset) != 0xFFD8)
                return 0;
            end = std::max(end, base + offset + size);
        }
    }
    return r ? end : 0;
}

found_file measure(reader& r)
{
    uint64_t pictures_end = 0;
    bool frame = false;
    bool scan = false;
    uint64_t at = 2;
    for (;;) {
        if (r.u8(at) != 0xFF || !r)
            return {};
        while (r.u8(at + 1) == 0xFF && r)
            ++at;
        const uint8_t marker = r.u8(at + 1);
        at += 2;
        if (!r)
            return {};
        if (marker == 0xD9)
            return frame && scan ? found_file{std::max(at, pictures_end), "jpg"} : found_file{};
        if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7))
            continue;
        if (marker < 0xC0 || marker == 0xD8)
            return {};
        const uint16_t length = r.be16(at);
        if (!r || length < 2)
            return {};
        if (marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 &&
            marker != 0xCC)
            frame = true;
        if (marker == 0xE2 && pictures_end == 0)
            pictures_end = multi_picture_end(r, at + 2, length - 2u);
        at += length;
        if (marker == 0xDA) {
            if (!frame)
                return {};
            scan = true;
            at = end_of_scan(r, at);
            if (at == reader::npos)
                return {};
        }
    }
}

constexpr const char* extensions[] = {"jpg"};

} // namespace

extern const carver jpg_carver{"jpg", "\xFF", extensions, header, measure, nullptr, 256ULL << 20};

} // namespace libcarve
