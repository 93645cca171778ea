// gzip: the member header, the deflate stream walked to its end, and the
// trailer whose length field must match what the stream inflates to.
// Concatenated members belong to the same file.
#include "libcarve/carver.h"
#include "libcarve/deflate_walk.h"

namespace libcarve {

namespace {

bool header(const uint8_t* p, size_t n)
{
    return n >= 18 && p[0] == 0x1F && p[1] == 0x8B && p[2] == 8 && (p[3] & 0xE0) == 0 &&
           (p[8] == 0 || p[8] == 2 || p[8] == 4) && (p[9] <= 13 || p[9] == 255);
}

constexpr int max_members = 64;

// The end of the member at `at`, or npos.
uint64_t member_end(reader& r, uint64_t at)
{
    const uint8_t flags = r.u8(at + 3);
    uint64_t p = at + 10;
    if (flags & 0x04)
        p += 2 + uint64_t(r.le16(p));
    for (uint8_t text_flag : {uint8_t(0x08), uint8_t(0x10)}) {
        if (flags & text_flag) {
            const uint64_t nul = r.find(p, std::string_view("\0", 1), p + 65536);
            if (nul == reader::npos)
                return reader::npos;
            p = nul + 1;
        }
    }
    if (flags & 0x02)
        p += 2;
    if (!r)
        return reader::npos;
    const deflate_end stream = walk_deflate(r, p);
    if (!stream.ok || r.le32(stream.end + 4) != uint32_t(stream.output) || !r)
        return reader::npos;
    return stream.end + 8;
}

found_file measure(reader& r)
{
    uint64_t end = member_end(r, 0);
    if (end == reader::npos)
        return {};
    for (int i = 1; i < max_members; ++i) {
        uint8_t next[18];
        if (!r.has(end, sizeof next) || !r.bytes(end, next, sizeof next) || !header(next, sizeof next))
            break;
        const uint64_t more = member_end(r, end);
        if (more == reader::npos)
            break;
        end = more;
    }
    return {end, "gz"};
}

constexpr const char* extensions[] = {"gz"};

} // namespace

extern const carver gz_carver{"gz", "\x1F", extensions, header, measure, nullptr, 4ULL << 30};

} // namespace libcarve
