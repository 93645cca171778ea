// ICO: the directory of images; each entry must point at a PNG or a bitmap
// header, and the file ends at the farthest image.
#include "libcarve/carver.h"

#include <cstring>

namespace libcarve {

namespace {

bool header(const uint8_t* p, size_t n)
{
    if (n < 22 || std::memcmp(p, "\0\0\1\0", 4) != 0)
        return false;
    const unsigned count = p[4] | p[5] << 8;
    return count > 0 && count <= 256 && p[9] == 0;
}

found_file measure(reader& r)
{
    const uint32_t count = r.le16(4);
    const uint64_t directory_end = 6 + 16ULL * count;
    uint64_t end = directory_end;
    for (uint32_t i = 0; i < count; ++i) {
        const uint64_t e = 6 + 16ULL * i;
        const uint16_t planes = r.le16(e + 4);
        const uint16_t depth = r.le16(e + 6);
        const uint64_t size = r.le32(e + 8);
        const uint64_t at = r.le32(e + 12);
        if (!r || r.u8(e + 3) != 0 || planes > 1 || depth > 32 || size < 40 ||
            at < directory_end || !r.has(at, size))
            return {};
        if (!r.equals(at, "\x89PNG") && r.le32(at) != 40)
            return {};
        end = std::max(end, at + size);
    }
    return r ? found_file{end, "ico"} : found_file{};
}

constexpr const char* extensions[] = {"ico"};

} // namespace

extern const carver ico_carver{"ico", std::string_view("\0", 1), extensions, header, measure, nullptr,
                               16ULL << 20};

} // namespace libcarve
