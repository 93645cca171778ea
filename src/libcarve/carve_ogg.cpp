// Ogg: pages with valid checksums, of the logical streams that began in the
// file, until every stream has ended.
#include "libcarve/carver.h"
#include "libcarve/checksums.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace libcarve {

namespace {

bool header(const uint8_t* p, size_t n)
{
    return n >= 28 && std::memcmp(p, "OggS", 4) == 0 && p[4] == 0 && (p[5] & 0x02) != 0 && !(p[5] & 0xF8);
}

constexpr size_t max_streams = 64;

// The length of a valid page at `at`, or 0.
uint64_t page_length(reader& r, uint64_t at, std::vector<uint8_t>& page)
{
    if (!r.has(at, 27) || !r.equals(at, "OggS") || r.u8(at + 4) != 0)
        return 0;
    const uint8_t segments = r.u8(at + 26);
    uint8_t table[255];
    if (!r.bytes(at + 27, table, segments))
        return 0;
    uint64_t length = 27 + uint64_t(segments);
    for (int i = 0; i < segments; ++i)
        length += table[i];
    page.resize(length);
    if (!r.has(at, length) || !r.bytes(at, page.data(), length))
        return 0;
    const uint32_t stored = uint32_t(page[22]) | uint32_t(page[23]) << 8 | uint32_t(page[24]) << 16 |
                            uint32_t(page[25]) << 24;
    std::memset(page.data() + 22, 0, 4);
    return crc32_msb(0, page.data(), page.size()) == stored ? length : 0;
}

found_file measure(reader& r)
{
    std::vector<uint8_t> page;
    std::vector<uint32_t> open_streams;
    uint64_t at = 0;
    int pages = 0;
    for (;;) {
        const bool saved = r.ok();
        const uint64_t length = page_length(r, at, page);
        if (length == 0) {
            if (!saved)
                return {};
            break;
        }
        const uint8_t type = page[5];
        const uint32_t serial = uint32_t(page[14]) | uint32_t(page[15]) << 8 | uint32_t(page[16]) << 16 |
                                uint32_t(page[17]) << 24;
        const auto known = std::find(open_streams.begin(), open_streams.end(), serial);
        if (type & 0x02) {
            if (known != open_streams.end() || open_streams.size() == max_streams)
                break;
            // A new stream may begin only before the others carry data,
            // or after all have ended (a chained file).
            open_streams.push_back(serial);
        } else if (known == open_streams.end()) {
            break;
        }
        at += length;
        ++pages;
        if (type & 0x04) {
            open_streams.erase(std::find(open_streams.begin(), open_streams.end(), serial));
            if (open_streams.empty()) {
                const bool more = r.has(at, 6) && r.equals(at, "OggS") && (r.u8(at + 5) & 0x02);
                if (!more)
                    break;
            }
        }
    }
    return pages >= 2 ? found_file{at, "ogg"} : found_file{};
}

constexpr const char* extensions[] = {"ogg"};

} // namespace

extern const carver ogg_carver{"ogg", "O", extensions, header, measure, nullptr, 4ULL << 30};

} // namespace libcarve
