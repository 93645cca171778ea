// ELF: the farthest of the header tables and of every segment and section
// with file contents.
#include "libcarve/carver.h"

#include <cstring>

namespace libcarve {

namespace {

bool header(const uint8_t* p, size_t n)
{
    return n >= 64 && std::memcmp(p, "\x7F" "ELF", 4) == 0 && (p[4] == 1 || p[4] == 2) &&
           (p[5] == 1 || p[5] == 2) && p[6] == 1;
}

class elf_walk {
public:
    explicit elf_walk(reader& r) : r_(r), wide_(r.u8(4) == 2), big_(r.u8(5) == 2) {}

    uint64_t u16(uint64_t at) { return big_ ? r_.be16(at) : r_.le16(at); }
    uint64_t u32(uint64_t at) { return big_ ? r_.be32(at) : r_.le32(at); }
    uint64_t word(uint64_t at) { return wide_ ? (big_ ? r_.be64(at) : r_.le64(at)) : u32(at); }

    // Extends the end over `length` bytes at `at`, which must be inside the limit.
    bool cover(uint64_t at, uint64_t length)
    {
        if (!r_.has(at, length))
            return false;
        end = std::max(end, at + length);
        return true;
    }

    found_file run()
    {
        const uint64_t header_size = u16(wide_ ? 52 : 40);
        const uint64_t ph_at = word(wide_ ? 32 : 28);
        const uint64_t sh_at = word(wide_ ? 40 : 32);
        const uint64_t ph_size = u16(wide_ ? 54 : 42), ph_count = u16(wide_ ? 56 : 44);
        const uint64_t sh_size = u16(wide_ ? 58 : 46), sh_count = u16(wide_ ? 60 : 48);
        if (!r_ || header_size != (wide_ ? 64u : 52u) || (ph_count && ph_size != (wide_ ? 56u : 32u)) ||
            (sh_count && sh_size != (wide_ ? 64u : 40u)) || (ph_count == 0 && sh_count == 0))
            return {};
        end = header_size;
        if (!cover(ph_at, ph_count * ph_size) || !cover(sh_at, sh_count * sh_size))
            return {};
        for (uint64_t i = 0; i < ph_count; ++i) {
            const uint64_t e = ph_at + i * ph_size;
            const uint64_t offset = word(e + (wide_ ? 8 : 4));
            const uint64_t file_size = word(e + (wide_ ? 32 : 16));
            if (!cover(offset, file_size))
                return {};
        }
        for (uint64_t i = 0; i < sh_count; ++i) {
            const uint64_t e = sh_at + i * sh_size;
            const uint64_t type = u32(e + 4);
            const uint64_t offset = word(e + (wide_ ? 24 : 16));
            const uint64_t size = word(e + (wide_ ? 32 : 20));
            if (type != 8 && type != 0 && !cover(offset, size)) // NOBITS and NULL hold no bytes
                return {};
        }
        return r_ ? found_file{end, "elf"} : found_file{};
    }

    uint64_t end = 0;

private:
    reader& r_;
    bool wide_;
    bool big_;
};

found_file measure(reader& r) { return elf_walk(r).run(); }

constexpr const char* extensions[] = {"elf"};

} // namespace

extern const carver elf_carver{"elf", "\x7F", extensions, header, measure, nullptr, 2ULL << 30};

} // namespace libcarve
