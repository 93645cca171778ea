// ISO base media files (mp4, mov, m4a, 3gp) and QuickTime: top-level boxes
// of known types walked by their sizes; a movie needs its "moov" box. The
// brand in "ftyp" names the kind.
#include "libcarve/carver.h"

#include <cstring>

namespace libcarve {

namespace {

constexpr const char* top_level[] = {"ftyp", "moov", "mdat", "free", "skip", "wide", "uuid", "moof",
                                     "mfra", "meta", "pdin", "styp", "sidx", "pnot", "junk", "prfl"};

bool is_top_level(const uint8_t* type)
{
    for (const char* known : top_level)
        if (std::memcmp(type, known, 4) == 0)
            return true;
    return false;
}

uint32_t be32(const uint8_t* p) { return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3]; }

bool header(const uint8_t* p, size_t n)
{
    if (n < 16)
        return false;
    const uint32_t size = be32(p);
    if (std::memcmp(p + 4, "ftyp", 4) == 0)
        return size >= 16 && size <= 512;
    // Old QuickTime movies start with their movie or data box.
    return (std::memcmp(p + 4, "moov", 4) == 0 || std::memcmp(p + 4, "mdat", 4) == 0 ||
            std::memcmp(p + 4, "wide", 4) == 0) &&
           size >= 8 && is_top_level(p + 12);
}

const char* kind_of(const uint8_t* brand)
{
    if (std::memcmp(brand, "qt  ", 4) == 0)
        return "mov";
    if (std::memcmp(brand, "M4A ", 4) == 0 || std::memcmp(brand, "M4B ", 4) == 0)
        return "m4a";
    if (std::memcmp(brand, "3gp", 3) == 0 || std::memcmp(brand, "3g2", 3) == 0)
        return "3gp";
    return "mp4";
}

constexpr int max_boxes = 1 << 16;

found_file measure(reader& r)
{
    uint8_t brand[4];
    const bool typed = r.equals(4, "ftyp");
    const char* extension = "mov";
    if (typed) {
        r.bytes(8, brand, 4);
        extension = kind_of(brand);
    }
    bool movie = false, data = false;
    uint64_t at = 0;
    for (int i = 0; i < max_boxes; ++i) {
        uint8_t type[4];
        if (!r.has(at, 8) || !r.bytes(at + 4, type, 4) || !is_top_level(type))
            break;
        uint64_t size = r.be32(at);
        if (size == 1)
            size = r.be64(at + 8);
        if (!r || size < 8 || !r.has(at, size))
            break;
        movie |= std::memcmp(type, "moov", 4) == 0;
        data |= std::memcmp(type, "mdat", 4) == 0 || std::memcmp(type, "moof", 4) == 0;
        at += size;
    }
    if (!movie || (!data && !typed) || !r)
        return {};
    return {at, extension};
}

constexpr const char* extensions[] = {"mp4", "mov", "m4a", "3gp"};

} // namespace

extern const carver mp4_carver{"mp4", std::string_view("\0", 1), extensions, header, measure, nullptr,
                               64ULL << 30};

} // namespace libcarve
