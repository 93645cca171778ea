#include "ntfs_builder.h"

#include <algorithm>
#include <cstring>

namespace ntfs_fixture {

namespace {

void put16(bytes& b, size_t at, uint16_t v) { b[at] = uint8_t(v); b[at + 1] = uint8_t(v >> 8); }
void put32(bytes& b, size_t at, uint32_t v) { for (int i = 0; i < 4; ++i) b[at + i] = uint8_t(v >> 8 * i); }
void put64(bytes& b, size_t at, uint64_t v) { for (int i = 0; i < 8; ++i) b[at + i] = uint8_t(v >> 8 * i); }

size_t align8(size_t n) { return (n + 7) & ~size_t(7); }

bytes utf16(const std::u16string& s)
{
    bytes b(2 * s.size());
    for (size_t i = 0; i < s.size(); ++i) put16(b, 2 * i, s[i]);
    return b;
}

size_t signed_width(int64_t v)
{
    size_t n = 1;
    while (n < 8 && (v < -(int64_t(1) << (8 * n - 1)) || v >= (int64_t(1) << (8 * n - 1)))) ++n;
    return n;
}

size_t unsigned_width(uint64_t v)
{
    size_t n = 1;
    while (n < 8 && v >> (8 * n)) ++n;
    return n;
}

constexpr uint64_t bitmap_cluster = 2;

} // namespace

uint64_t filetime(int64_t unix_seconds) { return uint64_t(unix_seconds + 11644473600) * 10000000; }

bytes encode_runs(const runs& list)
{
    bytes out;
    int64_t previous = 0;
    for (auto [lcn, length] : list) {
        size_t lw = unsigned_width(length), ow = 0;
        int64_t delta = lcn - previous;
        if (lcn >= 0) ow = signed_width(delta);
        out.push_back(uint8_t(ow << 4 | lw));
        for (size_t i = 0; i < lw; ++i) out.push_back(uint8_t(length >> 8 * i));
        for (size_t i = 0; i < ow; ++i) out.push_back(uint8_t(uint64_t(delta) >> 8 * i));
        if (lcn >= 0) previous = lcn;
    }
    out.push_back(0);
    return out;
}

bytes lznt1_compress(const bytes& plain)
{
    bytes out;
    for (size_t start = 0; start < plain.size(); start += 4096) {
        size_t end = std::min(plain.size(), start + 4096);
        bytes chunk;
        size_t pos = start;
        while (pos < end) {
            size_t tag_at = chunk.size();
            chunk.push_back(0);
            for (int bit = 0; bit < 8 && pos < end; ++bit) {
                size_t p = pos - start;
                unsigned offset_bits = 4;
                while (p > (size_t(1) << offset_bits)) ++offset_bits;
                size_t max_length = (size_t(1) << (16 - offset_bits)) + 2;
                size_t best = 0, best_offset = 0;
                for (size_t off = 1; off <= p && off <= std::min<size_t>(size_t(1) << offset_bits, 256); ++off) {
                    size_t n = 0;
                    while (pos + n < end && n < max_length && plain[pos + n] == plain[pos + n - off]) ++n;
                    if (n > best) best = n, best_offset = off;
                }
                if (best >= 3) {
                    chunk[tag_at] |= uint8_t(1 << bit);
                    uint16_t token = uint16_t((best_offset - 1) << (16 - offset_bits) | (best - 3));
                    chunk.push_back(uint8_t(token));
                    chunk.push_back(uint8_t(token >> 8));
                    pos += best;
                } else {
                    chunk.push_back(plain[pos++]);
                }
            }
        }
        uint16_t header = uint16_t(0xB000 | (chunk.size() - 1));
        out.push_back(uint8_t(header));
        out.push_back(uint8_t(header >> 8));
        out.insert(out.end(), chunk.begin(), chunk.end());
    }
    out.push_back(0);
    out.push_back(0);
    return out;
}

record::record(uint16_t f, uint16_t seq, uint64_t b) : flags(f), sequence(seq), base(b) {}

record& record::resident(uint32_t type, const bytes& value, const std::u16string& name)
{
    bytes n = utf16(name);
    size_t value_at = align8(0x18 + n.size());
    bytes a(align8(value_at + value.size()));
    put32(a, 0, type);
    put32(a, 4, uint32_t(a.size()));
    a[9] = uint8_t(name.size());
    put16(a, 0x0A, 0x18);
    put16(a, 0x0E, uint16_t(attributes_.size()));
    put32(a, 0x10, uint32_t(value.size()));
    put16(a, 0x14, uint16_t(value_at));
    std::copy(n.begin(), n.end(), a.begin() + 0x18);
    std::copy(value.begin(), value.end(), a.begin() + value_at);
    attributes_.push_back(a);
    return *this;
}

record& record::non_resident(uint32_t type, const runs& list, uint64_t data_size, uint64_t lowest_vcn,
                             uint8_t compression_unit, uint16_t attr_flags, const std::u16string& name)
{
    bytes n = utf16(name), r = encode_runs(list);
    size_t header = compression_unit ? 0x48 : 0x40;
    size_t runs_at = align8(header + n.size());
    bytes a(align8(runs_at + r.size()));
    uint64_t clusters = 0;
    for (auto& run : list) clusters += run.second;
    put32(a, 0, type);
    put32(a, 4, uint32_t(a.size()));
    a[8] = 1;
    a[9] = uint8_t(name.size());
    put16(a, 0x0A, uint16_t(header));
    put16(a, 0x0C, attr_flags);
    put16(a, 0x0E, uint16_t(attributes_.size()));
    put64(a, 0x10, lowest_vcn);
    put64(a, 0x18, lowest_vcn + clusters - 1);
    put16(a, 0x20, uint16_t(runs_at));
    a[0x22] = compression_unit;
    // Sizes of a later extent are 0 on disk; the first extent carries them.
    uint64_t size = lowest_vcn == 0 ? data_size : 0;
    put64(a, 0x28, size); // allocated size: not read
    put64(a, 0x30, size);
    put64(a, 0x38, size);
    std::copy(n.begin(), n.end(), a.begin() + header);
    std::copy(r.begin(), r.end(), a.begin() + runs_at);
    attributes_.push_back(a);
    return *this;
}

record& record::standard_information(int64_t created, int64_t modified)
{
    bytes v(48);
    put64(v, 0, filetime(created));
    put64(v, 8, filetime(modified));
    put64(v, 16, filetime(modified));
    put64(v, 24, filetime(modified));
    return resident(0x10, v);
}

record& record::file_name(uint64_t parent, const std::u16string& name, uint8_t space)
{
    bytes n = utf16(name), v(0x42 + n.size());
    put64(v, 0, parent);
    v[0x40] = uint8_t(name.size());
    v[0x41] = space;
    std::copy(n.begin(), n.end(), v.begin() + 0x42);
    return resident(0x30, v);
}

bytes record::stored(uint32_t size) const
{
    bytes r(size);
    const size_t strides = size / 512, usa_at = 0x30;
    const size_t first = align8(usa_at + 2 * (strides + 1));
    std::memcpy(r.data(), "FILE", 4);
    put16(r, 0x04, uint16_t(usa_at));
    put16(r, 0x06, uint16_t(strides + 1));
    put16(r, 0x10, sequence);
    put16(r, 0x12, 1);
    put16(r, 0x14, uint16_t(first));
    put16(r, 0x16, flags);
    put32(r, 0x1C, size);
    put64(r, 0x20, base);
    size_t at = first;
    for (const bytes& a : attributes_) {
        std::copy(a.begin(), a.end(), r.begin() + at);
        at += a.size();
    }
    put32(r, at, 0xFFFFFFFF);
    put32(r, 0x18, uint32_t(at + 8));
    const uint16_t usn = uint16_t(sequence * 7 + 1);
    put16(r, usa_at, usn);
    for (size_t i = 1; i <= strides; ++i) {
        r[usa_at + 2 * i] = r[i * 512 - 2];
        r[usa_at + 2 * i + 1] = r[i * 512 - 1];
        put16(r, i * 512 - 2, usn);
    }
    return r;
}

bytes attribute_list(const std::vector<list_item>& items)
{
    bytes out;
    for (const list_item& item : items) {
        bytes e(0x20);
        put32(e, 0, item.type);
        put16(e, 4, 0x20);
        e[7] = 0x1A;
        put64(e, 0x08, item.lowest_vcn);
        put64(e, 0x10, item.segment);
        out.insert(out.end(), e.begin(), e.end());
    }
    return out;
}

volume::volume(geometry geo) : g(geo), used_(geo.clusters)
{
    uint64_t mft_clusters = (g.mft_records * g.record + g.cluster - 1) / g.cluster;
    mft_runs_ = {{int64_t(4), mft_clusters}};
    mark_used(0, 4);
}

uint64_t volume::first_free_cluster() const
{
    uint64_t end = 4;
    for (auto& run : mft_runs_) end = std::max(end, uint64_t(run.first) + run.second);
    return end;
}

void volume::write(uint64_t cluster, const bytes& data)
{
    for (size_t at = 0; at < data.size(); at += g.cluster, ++cluster) {
        bytes& c = clusters_[cluster];
        c.assign(g.cluster, 0);
        std::copy(data.begin() + at, data.begin() + std::min(data.size(), at + g.cluster), c.begin());
    }
}

void volume::mark_used(uint64_t cluster, uint64_t count)
{
    for (uint64_t i = 0; i < count; ++i) used_[cluster + i] = true;
}

void volume::add_file(uint64_t number, uint64_t parent, const std::u16string& name, const bytes& content,
                      int64_t cluster, bool deleted)
{
    record r(deleted ? 0 : 1, deleted ? 2 : 1);
    r.standard_information(1000000000 + int64_t(number), 1100000000 + int64_t(number));
    r.file_name(reference(parent, 1), name);
    if (cluster < 0) {
        r.resident(0x80, content);
    } else {
        uint64_t count = std::max<uint64_t>(1, (content.size() + g.cluster - 1) / g.cluster);
        r.non_resident(0x80, {{cluster, count}}, content.size());
        write(uint64_t(cluster), content);
        if (!deleted) mark_used(uint64_t(cluster), count);
    }
    put(number, r);
}

bytes volume::build() const
{
    std::map<uint64_t, record> all = records_;
    if (!all.count(0))
        all.emplace(0, record(1).standard_information(0, 0).file_name(reference(5, 5), u"$MFT")
                           .non_resident(0x80, mft_runs_, g.mft_records * g.record));
    if (!all.count(5))
        all.emplace(5, record(3, 5).standard_information(0, 0).file_name(reference(5, 5), u"."));
    std::vector<bool> used = used_;
    for (auto& run : mft_runs_)
        for (uint64_t i = 0; i < run.second; ++i) used[uint64_t(run.first) + i] = true;
    used[bitmap_cluster] = true;
    bytes bitmap((g.clusters + 7) / 8);
    for (uint64_t i = 0; i < g.clusters; ++i)
        if (used[i]) bitmap[i / 8] |= uint8_t(1 << (i % 8));
    uint64_t bitmap_clusters = (bitmap.size() + g.cluster - 1) / g.cluster;
    if (!all.count(6))
        all.emplace(6, record(1).standard_information(0, 0).file_name(reference(5, 5), u"$Bitmap")
                           .non_resident(0x80, {{int64_t(bitmap_cluster), bitmap_clusters}}, bitmap.size()));

    bytes image(g.clusters * g.cluster);
    for (auto& [n, c] : clusters_) std::copy(c.begin(), c.end(), image.begin() + n * g.cluster);
    std::copy(bitmap.begin(), bitmap.end(), image.begin() + bitmap_cluster * g.cluster);

    // Records go where the MFT's runs put them.
    std::vector<uint64_t> mft_offsets;
    for (auto& run : mft_runs_)
        for (uint64_t i = 0; i < run.second; ++i) mft_offsets.push_back((uint64_t(run.first) + i) * g.cluster);
    for (auto& [n, r] : all) {
        bytes s = r.stored(g.record);
        for (size_t at = 0; at < s.size(); at += std::min<size_t>(g.cluster, s.size())) {
            uint64_t byte = n * g.record + at;
            uint64_t offset = mft_offsets[byte / g.cluster] + byte % g.cluster;
            std::copy(s.begin() + at, s.begin() + at + std::min<size_t>(g.cluster, s.size()), image.begin() + offset);
        }
    }

    if (mirror_ >= 0)
        for (uint64_t n = 0; n < 4 && all.count(n); ++n) {
            bytes s = all.at(n).stored(g.record);
            std::copy(s.begin(), s.end(), image.begin() + uint64_t(mirror_) * g.cluster + n * g.record);
        }

    bytes boot(512);
    boot[0] = 0xEB; boot[1] = 0x52; boot[2] = 0x90;
    std::memcpy(boot.data() + 3, "NTFS    ", 8);
    put16(boot, 0x0B, uint16_t(g.sector));
    uint32_t spc = g.cluster / g.sector;
    boot[0x0D] = spc <= 128 ? uint8_t(spc) : uint8_t(256 - __builtin_ctz(spc));
    boot[0x15] = 0xF8;
    uint64_t sectors = uint64_t(g.clusters) * spc - 1; // the backup boot sector lies past the volume
    put64(boot, 0x28, sectors);
    put64(boot, 0x30, uint64_t(mft_runs_.front().first));
    put64(boot, 0x38, uint64_t(mirror_ >= 0 ? mirror_ : mft_runs_.front().first));
    boot[0x40] = g.record >= g.cluster ? uint8_t(g.record / g.cluster) : uint8_t(256 - __builtin_ctz(g.record));
    boot[0x44] = 1;
    put16(boot, 510, 0xAA55);
    std::copy(boot.begin(), boot.end(), image.begin());
    std::copy(boot.begin(), boot.end(), image.end() - g.sector);
    return image;
}

} // namespace ntfs_fixture
