// TIFF: every image file directory (the chain, sub-directories and the EXIF
// ones) with the data its entries point at; the file ends at the farthest.
#include "libcarve/carver.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace libcarve {

namespace {

bool header(const uint8_t* p, size_t n)
{
    return n >= 8 && (std::memcmp(p, "II*\0", 4) == 0 || std::memcmp(p, "MM\0*", 4) == 0);
}

constexpr size_t max_directories = 64;
constexpr uint32_t max_entries = 4096;
constexpr uint32_t max_array = 1u << 20;

uint32_t type_size(uint16_t type)
{
    switch (type) {
    case 1: case 2: case 6: case 7: return 1;
    case 3: case 8: return 2;
    case 4: case 9: case 11: case 13: return 4;
    case 5: case 10: case 12: case 16: case 17: case 18: return 8;
    default: return 0;
    }
}

class tiff_walk {
public:
    tiff_walk(reader& r, bool big_endian) : r_(r), big_(big_endian) {}

    uint16_t u16(uint64_t at) { return big_ ? r_.be16(at) : r_.le16(at); }
    uint32_t u32(uint64_t at) { return big_ ? r_.be32(at) : r_.le32(at); }

    struct entry {
        uint16_t tag, type;
        uint32_t count;
        uint64_t values_at; // where the values lie (inline or out of line)
    };

    // The values of an offset or count array: shorts, longs or long8s.
    bool values(const entry& e, std::vector<uint64_t>& out)
    {
        const uint32_t size = type_size(e.type);
        if (e.count > max_array || (size != 2 && size != 4 && size != 8))
            return false;
        out.resize(e.count);
        for (uint32_t i = 0; i < e.count; ++i) {
            const uint64_t at = e.values_at + uint64_t(i) * size;
            out[i] = size == 2 ? u16(at) : size == 4 ? u32(at) : uint64_t(u32(at)) << 32 | u32(at + 4);
        }
        return bool(r_);
    }

    // Extends `end` over `pairs` of (offset, length) arrays.
    bool cover(const entry* offsets, const entry* lengths)
    {
        if (!offsets || !lengths)
            return true;
        std::vector<uint64_t> at, size;
        if (!values(*offsets, at) || !values(*lengths, size) || at.size() != size.size())
            return false;
        for (size_t i = 0; i < at.size(); ++i) {
            if (size[i] == 0)
                continue;
            if (!r_.has(at[i], size[i]))
                return false;
            end = std::max<uint64_t>(end, at[i] + size[i]);
        }
        images = true;
        return true;
    }

    bool directory(uint64_t at, std::vector<uint64_t>& pending)
    {
        const uint32_t count = u16(at);
        if (!r_ || count == 0 || count > max_entries)
            return false;
        end = std::max<uint64_t>(end, at + 2 + 12ULL * count + 4);
        entry strips{}, strip_sizes{}, tiles{}, tile_sizes{}, thumb{}, thumb_size{};
        bool has[6] = {};
        for (uint32_t i = 0; i < count; ++i) {
            const uint64_t e_at = at + 2 + 12ULL * i;
            entry e{u16(e_at), u16(e_at + 2), u32(e_at + 4), e_at + 8};
            const uint64_t bytes = uint64_t(e.count) * type_size(e.type);
            if (bytes > 4) {
                e.values_at = u32(e_at + 8);
                if (!r_.has(e.values_at, bytes))
                    return false;
                end = std::max<uint64_t>(end, e.values_at + bytes);
            }
            switch (e.tag) {
            case 273: strips = e; has[0] = true; break;
            case 279: strip_sizes = e; has[1] = true; break;
            case 324: tiles = e; has[2] = true; break;
            case 325: tile_sizes = e; has[3] = true; break;
            case 513: thumb = e; has[4] = true; break;
            case 514: thumb_size = e; has[5] = true; break;
            case 330: case 34665: case 34853: case 40965: {
                std::vector<uint64_t> subs;
                if (values(e, subs))
                    pending.insert(pending.end(), subs.begin(), subs.end());
                break;
            }
            default: break;
            }
        }
        if (!r_)
            return false;
        if (!cover(has[0] ? &strips : nullptr, has[1] ? &strip_sizes : nullptr) ||
            !cover(has[2] ? &tiles : nullptr, has[3] ? &tile_sizes : nullptr) ||
            !cover(has[4] ? &thumb : nullptr, has[5] ? &thumb_size : nullptr))
            return false;
        const uint64_t next = u32(at + 2 + 12ULL * count);
        if (next != 0)
            pending.push_back(next);
        return bool(r_);
    }

    uint64_t end = 8;
    bool images = false;

private:
    reader& r_;
    bool big_;
};

found_file measure(reader& r)
{
    tiff_walk walk(r, r.u8(0) == 'M');
    std::vector<uint64_t> pending{walk.u32(4)};
    std::vector<uint64_t> seen;
    while (!pending.empty()) {
        const uint64_t at = pending.back();
        pending.pop_back();
        if (std::find(seen.begin(), seen.end(), at) != seen.end())
            continue;
        if (seen.size() == max_directories || at < 8 || !walk.directory(at, pending))
            return {};
        seen.push_back(at);
    }
    return walk.images && r.has(0, walk.end) ? found_file{walk.end, "tif"} : found_file{};
}

constexpr const char* extensions[] = {"tif"};

} // namespace

extern const carver tif_carver{"tif", "IM", extensions, header, measure, nullptr, 2ULL << 30};

} // namespace libcarve
