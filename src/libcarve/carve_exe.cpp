// Windows executables (PE): the headers, every section's raw data and the
// certificate table; DLLs are told by their characteristics.
#include "libcarve/carver.h"

namespace libcarve {

namespace {

bool header(const uint8_t* p, size_t n)
{
    if (n < 64 || p[0] != 'M' || p[1] != 'Z')
        return false;
    const uint32_t pe = uint32_t(p[60]) | uint32_t(p[61]) << 8 | uint32_t(p[62]) << 16 | uint32_t(p[63]) << 24;
    if (pe < 64 || pe > 0x10000)
        return false;
    return pe + 4 > n || (p[pe] == 'P' && p[pe + 1] == 'E' && p[pe + 2] == 0 && p[pe + 3] == 0);
}

found_file measure(reader& r)
{
    const uint64_t pe = r.le32(60);
    if (!r.equals(pe, std::string_view("PE\0\0", 4)))
        return {};
    const uint64_t coff = pe + 4;
    const uint32_t sections = r.le16(coff + 2);
    const uint64_t optional_size = r.le16(coff + 16);
    const uint16_t characteristics = r.le16(coff + 18);
    const uint64_t optional = coff + 20;
    const uint16_t magic = r.le16(optional);
    if (!r || sections == 0 || sections > 96 || (magic != 0x10B && magic != 0x20B) || optional_size < 96)
        return {};
    const bool pe32 = magic == 0x10B;
    uint64_t end = std::max<uint64_t>(r.le32(optional + 60), optional + optional_size + 40ULL * sections);
    const uint64_t table = optional + optional_size;
    for (uint32_t i = 0; i < sections; ++i) {
        const uint64_t s = table + 40ULL * i;
        const uint64_t raw_size = r.le32(s + 16);
        const uint64_t raw_at = r.le32(s + 20);
        if (raw_size > 0)
            end = std::max(end, raw_at + raw_size);
    }
    // The certificate table is the one directory given by file offset.
    const uint64_t directories = optional + (pe32 ? 96 : 112);
    const uint32_t directory_count = r.le32(optional + (pe32 ? 92 : 108));
    if (directory_count > 4 && directories + 40 <= optional + optional_size) {
        const uint64_t at = r.le32(directories + 32), size = r.le32(directories + 36);
        if (at && size)
            end = std::max(end, at + size);
    }
    if (!r || !r.has(0, end))
        return {};
    return {end, characteristics & 0x2000 ? "dll" : "exe"};
}

constexpr const char* extensions[] = {"exe", "dll"};

} // namespace

extern const carver exe_carver{"exe", "M", extensions, header, measure, nullptr, 1ULL << 30};

} // namespace libcarve
