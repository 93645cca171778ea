// MPEG program streams: pack headers, system headers and PES packets by
// their lengths, up to the end code (or the last whole packet).
#include "libcarve/carver.h"

#include <cstring>

namespace libcarve {

namespace {

bool header(const uint8_t* p, size_t n)
{
    return n >= 14 && std::memcmp(p, "\0\0\1\xBA", 4) == 0 && ((p[4] & 0xC4) == 0x44 || (p[4] & 0xF1) == 0x21);
}

constexpr int min_packs = 2;

found_file measure(reader& r)
{
    uint64_t at = 0;
    int packs = 0;
    for (;;) {
        if (!r.has(at, 4) || r.be16(at) != 0 || r.u8(at + 2) != 1)
            break;
        const uint8_t code = r.u8(at + 3);
        if (code == 0xB9) {
            at += 4;
            break;
        }
        uint64_t length;
        if (code == 0xBA) {
            const uint8_t mark = r.u8(at + 4);
            if ((mark & 0xC4) == 0x44)
                length = 14 + (r.u8(at + 13) & 7); // MPEG-2
            else if ((mark & 0xF1) == 0x21)
                length = 12; // MPEG-1
            else
                break;
            ++packs;
        } else if (code >= 0xBB) {
            length = 6 + uint64_t(r.be16(at + 4));
        } else {
            break;
        }
        if (!r || !r.has(at, length))
            break;
        at += length;
    }
    return packs >= min_packs && r.has(0, at) ? found_file{at, "mpg"} : found_file{};
}

constexpr const char* extensions[] = {"mpg"};

} // namespace

extern const carver mpg_carver{"mpg", std::string_view("\0", 1), extensions, header, measure, nullptr,
                               16ULL << 30};

} // namespace libcarve
