// OLE2 compound files (doc, xls, ppt): the allocation table gives the last
// sector in use; the directory's stream names give the application.
#include "libcarve/carver.h"

#include <cstring>
#include <string>
#include <vector>

namespace libcarve {

namespace {

constexpr uint8_t signature[8] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
constexpr uint32_t free_sector = 0xFFFFFFFF;
constexpr uint32_t max_sector = 0xFFFFFFFA;

bool header(const uint8_t* p, size_t n) { return n >= 512 && std::memcmp(p, signature, 8) == 0; }

struct compound {
    uint32_t shift = 9;
    uint64_t sector_size() const { return 1ULL << shift; }
    uint64_t at(uint32_t sector) const { return (uint64_t(sector) + 1) << shift; }
    std::vector<uint32_t> fat_sectors;
};

// The sectors holding the allocation table: 109 in the header, the rest in
// a chain of DIFAT sectors.
bool read_fat_sectors(reader& r, compound& c)
{
    const uint32_t fat_count = r.le32(0x2C);
    uint32_t difat = r.le32(0x44);
    const uint32_t difat_count = r.le32(0x48);
    if (!r || fat_count == 0 || uint64_t(fat_count) * c.sector_size() > r.limit())
        return false;
    for (uint32_t i = 0; i < 109 && c.fat_sectors.size() < fat_count; ++i)
        c.fat_sectors.push_back(r.le32(0x4C + 4 * i));
    const uint32_t per_sector = uint32_t(c.sector_size() / 4) - 1;
    for (uint32_t n = 0; n < difat_count && c.fat_sectors.size() < fat_count; ++n) {
        if (difat > max_sector)
            return false;
        for (uint32_t i = 0; i < per_sector && c.fat_sectors.size() < fat_count; ++i)
            c.fat_sectors.push_back(r.le32(c.at(difat) + 4 * i));
        difat = r.le32(c.at(difat) + 4 * per_sector);
    }
    if (c.fat_sectors.size() != fat_count)
        return false;
    for (uint32_t s : c.fat_sectors)
        if (s > max_sector)
            return false;
    return bool(r);
}

uint32_t fat_entry(reader& r, const compound& c, uint32_t sector)
{
    const uint32_t per_sector = uint32_t(c.sector_size() / 4);
    const uint32_t table = sector / per_sector;
    if (table >= c.fat_sectors.size()) {
        r.fail();
        return free_sector;
    }
    return r.le32(c.at(c.fat_sectors[table]) + 4ULL * (sector % per_sector));
}

// The application a directory entry's stream name points to.
const char* application_of(const std::u16string& name)
{
    if (name == u"WordDocument")
        return "doc";
    if (name == u"Workbook" || name == u"Book")
        return "xls";
    if (name == u"PowerPoint Document")
        return "ppt";
    return nullptr;
}

// Follows the directory chain looking for a telling stream name.
const char* extension_of(reader& r, const compound& c)
{
    uint32_t sector = r.le32(0x30);
    const uint64_t entries = c.sector_size() / 128;
    for (int hops = 0; hops < 4096 && sector <= max_sector && r; ++hops) {
        for (uint64_t i = 0; i < entries; ++i) {
            const uint64_t e = c.at(sector) + 128 * i;
            const uint16_t length = r.le16(e + 64);
            if (length < 2 || length > 64)
                continue;
            std::u16string name;
            for (uint16_t k = 0; k + 2 < length; k += 2)
                name.push_back(char16_t(r.le16(e + k)));
            if (const char* app = application_of(name))
                return app;
        }
        sector = fat_entry(r, c, sector);
    }
    return "ole";
}

found_file measure(reader& r)
{
    compound c;
    const uint16_t major = r.le16(0x1A);
    c.shift = r.le16(0x1E);
    if (!r || r.le16(0x1C) != 0xFFFE || r.le16(0x20) != 6 || !((major == 3 && c.shift == 9) ||
                                                               (major == 4 && c.shift == 12)))
        return {};
    if (!read_fat_sectors(r, c))
        return {};
    // The file ends after the last sector the table marks as used.
    const uint32_t per_sector = uint32_t(c.sector_size() / 4);
    int64_t last_used = -1;
    for (size_t t = 0; t < c.fat_sectors.size(); ++t) {
        for (uint32_t i = 0; i < per_sector; ++i) {
            if (r.le32(c.at(c.fat_sectors[t]) + 4ULL * i) != free_sector)
                last_used = int64_t(t * per_sector + i);
        }
        if (!r)
            return {};
    }
    if (last_used < 0)
        return {};
    const uint64_t size = c.at(uint32_t(last_used) + 1);
    if (!r.has(0, size))
        return {};
    const char* extension = extension_of(r, c);
    if (!r)
        return {};
    return {size, extension};
}

constexpr const char* extensions[] = {"doc", "xls", "ppt", "ole"};

} // namespace

extern const carver ole_carver{"ole", "\xD0", extensions, header, measure, nullptr, 2ULL << 30};

} // namespace libcarve
