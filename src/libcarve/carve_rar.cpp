// RAR (formats 4 and 5): header blocks, each checksummed, walked by their
// sizes up to the end-of-archive block.
#include "libcarve/carver.h"
#include "libcarve/checksums.h"

#include <cstring>
#include <vector>

namespace libcarve {

namespace {

constexpr std::string_view rar4{"Rar!\x1A\x07\x00", 7};
constexpr std::string_view rar5{"Rar!\x1A\x07\x01\x00", 8};

bool header(const uint8_t* p, size_t n)
{
    const std::string_view start(reinterpret_cast<const char*>(p), std::min<size_t>(n, 8));
    return start.substr(0, 7) == rar4 || start == rar5;
}

constexpr int max_blocks = 1 << 20;

bool crc_matches(reader& r, uint64_t at, uint64_t length, uint32_t expected, uint32_t mask)
{
    if (length > (1u << 21))
        return false;
    std::vector<uint8_t> bytes(length);
    return r.bytes(at, bytes.data(), bytes.size()) &&
           (crc32(bytes.data(), bytes.size()) & mask) == expected;
}

found_file walk_rar4(reader& r)
{
    uint64_t at = 7;
    int files = 0;
    for (int i = 0; i < max_blocks; ++i) {
        const uint16_t crc = r.le16(at);
        const uint8_t type = r.u8(at + 2);
        const uint16_t flags = r.le16(at + 3);
        const uint64_t size = r.le16(at + 5);
        if (!r || type < 0x72 || type > 0x7B || size < 7 || !crc_matches(r, at + 2, size - 2, crc, 0xFFFF))
            return files > 0 && i > 0 ? found_file{at, "rar"} : found_file{};
        uint64_t data = 0;
        if (type == 0x74 || type == 0x7A) {
            data = r.le32(at + 7);
            if (flags & 0x100)
                data |= uint64_t(r.le32(at + 32)) << 32;
            files += type == 0x74;
        } else if (flags & 0x8000) {
            data = r.le32(at + 7);
        }
        at += size + data;
        if (!r)
            return {};
        if (type == 0x7B)
            return r.has(0, at) ? found_file{at, "rar"} : found_file{};
    }
    return {};
}

// A RAR5 variable-length integer; `at` moves past it.
uint64_t vint(reader& r, uint64_t& at)
{
    uint64_t value = 0;
    for (int shift = 0; shift < 64; shift += 7) {
        const uint8_t b = r.u8(at++);
        value |= uint64_t(b & 0x7F) << shift;
        if (!(b & 0x80))
            return value;
    }
    r.fail();
    return 0;
}

found_file walk_rar5(reader& r)
{
    uint64_t at = 8;
    for (int i = 0; i < max_blocks; ++i) {
        const uint32_t crc = r.le32(at);
        uint64_t p = at + 4;
        const uint64_t size = vint(r, p);
        const uint64_t body = p;
        const uint64_t type = vint(r, p);
        const uint64_t flags = vint(r, p);
        if (flags & 1)
            vint(r, p);
        const uint64_t data = flags & 2 ? vint(r, p) : 0;
        if (!r || size == 0 || type < 1 || type > 5 || !crc_matches(r, at + 4, body - (at + 4) + size, crc, 0xFFFFFFFF))
            return {};
        at = body + size + data;
        if (type == 5)
            return r.has(0, at) ? found_file{at, "rar"} : found_file{};
    }
    return {};
}

found_file measure(reader& r) { return r.equals(0, rar5) ? walk_rar5(r) : walk_rar4(r); }

constexpr const char* extensions[] = {"rar"};

} // namespace

extern const carver rar_carver{"rar", "R", extensions, header, measure, nullptr, 16ULL << 30};

} // namespace libcarve
