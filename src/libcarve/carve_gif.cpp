// GIF: screen descriptor, colour tables and blocks of sub-blocks up to the
// trailer.
#include "libcarve/carver.h"

#include <cstring>

namespace libcarve {

namespace {

bool header(const uint8_t* p, size_t n)
{
    return n >= 13 && (std::memcmp(p, "GIF87a", 6) == 0 || std::memcmp(p, "GIF89a", 6) == 0);
}

// Steps over a chain of sub-blocks ending with an empty one.
uint64_t skip_sub_blocks(reader& r, uint64_t at)
{
    for (;;) {
        const uint8_t length = r.u8(at);
        if (!r)
            return reader::npos;
        at += 1 + uint64_t(length);
        if (length == 0)
            return at;
    }
}

uint64_t colour_table(uint8_t flags) { return flags & 0x80 ? 3ULL << ((flags & 7) + 1) : 0; }

found_file measure(reader& r)
{
    if (r.le16(6) == 0 || r.le16(8) == 0)
        return {};
    uint64_t at = 13 + colour_table(r.u8(10));
    int images = 0;
    for (;;) {
        const uint8_t block = r.u8(at);
        if (!r)
            return {};
        if (block == 0x3B)
            return images > 0 ? found_file{at + 1, "gif"} : found_file{};
        if (block == 0x21) {
            at = skip_sub_blocks(r, at + 2);
        } else if (block == 0x2C) {
            const uint8_t flags = r.u8(at + 9);
            at += 10 + colour_table(flags);
            const uint8_t code_size = r.u8(at);
            if (!r || code_size < 1 || code_size > 12)
                return {};
            at = skip_sub_blocks(r, at + 1);
            ++images;
        } else {
            return {};
        }
        if (at == reader::npos)
            return {};
    }
}

constexpr const char* extensions[] = {"gif"};

} // namespace

extern const carver gif_carver{"gif", "G", extensions, header, measure, nullptr, 256ULL << 20};

} // namespace libcarve
