// SQLite: page size times the page count of the header, trusted only when
// the header says that count is current.
#include "libcarve/carver.h"

#include <cstring>

namespace libcarve {

namespace {

bool header(const uint8_t* p, size_t n) { return n >= 100 && std::memcmp(p, "SQLite format 3", 16) == 0; }

found_file measure(reader& r)
{
    uint64_t page_size = r.be16(16);
    if (page_size == 1)
        page_size = 65536;
    const uint8_t write_version = r.u8(18), read_version = r.u8(19);
    const uint64_t pages = r.be32(28);
    const bool count_current = r.be32(24) == r.be32(92);
    if (!r || page_size < 512 || (page_size & (page_size - 1)) != 0 || write_version < 1 ||
        write_version > 2 || read_version < 1 || read_version > 2 || r.u8(21) != 64 ||
        r.u8(22) != 32 || r.u8(23) != 32 || pages == 0 || !count_current)
        return {};
    const uint64_t size = page_size * pages;
    return r.has(0, size) ? found_file{size, "sqlite"} : found_file{};
}

constexpr const char* extensions[] = {"sqlite"};

} // namespace

extern const carver sqlite_carver{"sqlite", "S", extensions, header, measure, nullptr, 16ULL << 30};

} // namespace libcarve
