#include "platform/fs_probe.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace platform::detail {

namespace {

uint16_t le16(const uint8_t* p) { return uint16_t(p[0] | p[1] << 8); }
uint32_t le32(const uint8_t* p) { return uint32_t(le16(p)) | uint32_t(le16(p + 2)) << 16; }
uint64_t le64(const uint8_t* p) { return uint64_t(le32(p)) | uint64_t(le32(p + 4)) << 32; }

bool is_power_of_two(uint64_t v) { return v != 0 && (v & (v - 1)) == 0; }

// Large reads are split so that a huge FAT or bitmap never needs one huge buffer.
constexpr size_t chunk_bytes = size_t(1) << 20;

// The label and bitmap entries lie at the start of the root directory; a chain is
// followed no further than a directory of 65,536 entries reaches.
constexpr uint64_t root_scan_bytes = 65536 * 32;

uint64_t root_scan_clusters(uint64_t cluster_bytes)
{
    return std::max<uint64_t>(1, root_scan_bytes / cluster_bytes);
}

// Reads inside the volume only; every offset and length from disk passes here.
class volume_reader {
public:
    volume_reader(const byte_reader& read, uint64_t volume_bytes)
        : read_(read), volume_bytes_(volume_bytes) {}

    bool read(uint64_t offset, void* buffer, size_t length) const
    {
        if (offset > volume_bytes_ || length > volume_bytes_ - offset)
            return false;
        return read_(offset, buffer, length);
    }
    bool read(uint64_t offset, std::vector<uint8_t>& buffer) const
    {
        return read(offset, buffer.data(), buffer.size());
    }
    uint64_t volume_bytes() const { return volume_bytes_; }

private:
    const byte_reader& read_;
    uint64_t volume_bytes_;
};

void append_utf8(std::string& out, uint32_t c)
{
    if (c < 0x80) {
        out += char(c);
    } else if (c < 0x800) {
        out += char(0xC0 | c >> 6);
        out += char(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += char(0xE0 | c >> 12);
        out += char(0x80 | (c >> 6 & 0x3F));
        out += char(0x80 | (c & 0x3F));
    } else {
        out += char(0xF0 | c >> 18);
        out += char(0x80 | (c >> 12 & 0x3F));
        out += char(0x80 | (c >> 6 & 0x3F));
        out += char(0x80 | (c & 0x3F));
    }
}

// UTF-16LE as stored by NTFS and exFAT; unpaired surrogates become U+FFFD.
std::string utf16le_to_utf8(const uint8_t* p, size_t units)
{
    std::string out;
    for (size_t i = 0; i < units; ++i) {
        uint32_t c = le16(p + 2 * i);
        if (c >= 0xD800 && c < 0xDC00 && i + 1 < units) {
            const uint32_t low = le16(p + 2 * (i + 1));
            if (low >= 0xDC00 && low < 0xE000) {
                c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
                ++i;
            }
        }
        if (c >= 0xD800 && c < 0xE000)
            c = 0xFFFD;
        append_utf8(out, c);
    }
    return out;
}

// Counts the clear bits among the first `bits` bits of a little-endian bitmap.
uint64_t clear_bits(const uint8_t* p, uint64_t bits)
{
    uint64_t set = 0;
    const uint64_t whole = bits / 8;
    for (uint64_t i = 0; i < whole; ++i)
        set += uint64_t(__builtin_popcount(p[i]));
    if (bits % 8)
        set += uint64_t(__builtin_popcount(p[whole] & ((1u << (bits % 8)) - 1)));
    return bits - set;
}

// ---- FAT12 / FAT16 / FAT32 ----

struct fat_layout {
    int bits = 0; // 12, 16 or 32
    uint32_t bytes_per_sector = 0;
    uint32_t cluster_bytes = 0;
    uint64_t fat_offset = 0;
    uint64_t fat_bytes = 0;
    uint64_t root_offset = 0; // FAT12/16: the fixed root directory region
    uint32_t root_entries = 0;
    uint64_t data_offset = 0;
    uint32_t cluster_count = 0;
    uint32_t root_cluster = 0; // FAT32
};

// The FAT type follows from the cluster count alone, as every FAT driver decides it.
bool read_fat_layout(const uint8_t* bs, fat_layout& f)
{
    if (bs[0] != 0xEB && bs[0] != 0xE9)
        return false;
    const uint32_t bps = le16(bs + 11);
    const uint32_t spc = bs[13];
    const uint32_t reserved = le16(bs + 14);
    const uint32_t fats = bs[16];
    const uint32_t root_entries = le16(bs + 17);
    const uint32_t sectors16 = le16(bs + 19);
    const uint32_t fat_size16 = le16(bs + 22);
    const uint32_t sectors32 = le32(bs + 32);
    const uint32_t fat_size32 = le32(bs + 36);
    if (!is_power_of_two(bps) || bps < 512 || bps > 4096 || !is_power_of_two(spc) ||
        reserved == 0 || fats == 0)
        return false;
    const uint64_t total_sectors = sectors16 ? sectors16 : sectors32;
    const uint64_t fat_sectors = fat_size16 ? fat_size16 : fat_size32;
    const uint64_t root_sectors = (uint64_t(root_entries) * 32 + bps - 1) / bps;
    const uint64_t meta_sectors = reserved + uint64_t(fats) * fat_sectors + root_sectors;
    if (fat_sectors == 0 || total_sectors <= meta_sectors)
        return false;
    const uint64_t clusters = (total_sectors - meta_sectors) / spc;
    if (clusters == 0 || clusters > 0x0FFFFFF5)
        return false;

    f.bits = clusters < 4085 ? 12 : clusters < 65525 ? 16 : 32;
    if (f.bits == 32 && (fat_size16 != 0 || root_entries != 0))
        return false;
    if (f.bits != 32 && root_entries == 0)
        return false;
    f.bytes_per_sector = bps;
    f.cluster_bytes = bps * spc;
    f.fat_offset = uint64_t(reserved) * bps;
    f.fat_bytes = fat_sectors * bps;
    f.root_offset = (reserved + uint64_t(fats) * fat_sectors) * bps;
    f.root_entries = root_entries;
    f.data_offset = meta_sectors * bps;
    f.cluster_count = uint32_t(clusters);
    f.root_cluster = f.bits == 32 ? le32(bs + 44) : 0;
    return true;
}

uint32_t fat_entry(const fat_layout& f, const uint8_t* fat, uint32_t cluster)
{
    switch (f.bits) {
    case 12: {
        const uint32_t v = le16(fat + cluster + cluster / 2);
        return cluster & 1 ? v >> 4 : v & 0xFFF;
    }
    case 16:
        return le16(fat + 2 * size_t(cluster));
    default:
        return le32(fat + 4 * size_t(cluster)) & 0x0FFFFFFF;
    }
}

// Counts free entries of clusters 2 .. count+1, reading the first FAT in chunks.
bool count_free_clusters(const volume_reader& vol, const fat_layout& f, uint64_t& free)
{
    free = 0;
    // One past the last cluster; a FAT too short for its clusters is counted as far as it goes.
    const uint64_t last = std::min(uint64_t(f.cluster_count) + 2, f.fat_bytes * 8 / f.bits);
    // Chunks hold whole groups of entries: 2 FAT12 entries are 3 bytes.
    const uint32_t group_bytes = f.bits == 12 ? 3 : f.bits / 8;
    const uint32_t group_entries = f.bits == 12 ? 2 : 1;
    const uint64_t chunk_groups = chunk_bytes / group_bytes;
    std::vector<uint8_t> buf;
    for (uint64_t first = 0; first < last; first += chunk_groups * group_entries) {
        const uint64_t entries = std::min(last - first, chunk_groups * group_entries);
        const uint64_t byte_start = first / group_entries * group_bytes;
        const uint64_t byte_count =
            std::min((entries + group_entries - 1) / group_entries * group_bytes,
                     f.fat_bytes - byte_start);
        buf.assign(size_t(byte_count) + 1, 0); // +1: the last FAT12 entry is read as 16 bits
        if (!vol.read(f.fat_offset + byte_start, buf.data(), size_t(byte_count)))
            return false;
        for (uint64_t i = 0; i < entries; ++i) {
            const uint64_t cluster = first + i;
            if (cluster >= 2 && fat_entry(f, buf.data(), uint32_t(i)) == 0)
                ++free;
        }
    }
    return true;
}

// Label bytes are the OEM code page; ASCII passes, the rest is taken as Latin-1.
std::string fat_label_text(const uint8_t* name11)
{
    std::string out;
    for (int i = 0; i < 11; ++i) {
        uint8_t c = name11[i];
        if (i == 0 && c == 0x05)
            c = 0xE5;
        append_utf8(out, c);
    }
    while (!out.empty() && out.back() == ' ')
        out.pop_back();
    return out;
}

enum class scan_result { found, end, more };

// Looks for the volume-label entry among directory entries.
scan_result find_label_entry(const uint8_t* entries, size_t count, std::string& label)
{
    for (size_t i = 0; i < count; ++i) {
        const uint8_t* e = entries + 32 * i;
        if (e[0] == 0x00)
            return scan_result::end;
        if (e[0] == 0xE5 || (e[11] & 0x3F) == 0x0F)
            continue;
        if ((e[11] & 0x18) == 0x08) {
            label = fat_label_text(e);
            return scan_result::found;
        }
    }
    return scan_result::more;
}

bool root_directory_label(const volume_reader& vol, const fat_layout& f, std::string& label)
{
    if (f.bits != 32) {
        std::vector<uint8_t> root(size_t(f.root_entries) * 32);
        return vol.read(f.root_offset, root) &&
               find_label_entry(root.data(), f.root_entries, label) == scan_result::found;
    }
    // FAT32: the root is a cluster chain, which may loop.
    std::vector<uint8_t> cluster(f.cluster_bytes);
    uint8_t next_raw[4];
    uint32_t c = f.root_cluster;
    for (uint64_t steps = 0; steps < root_scan_clusters(f.cluster_bytes); ++steps) {
        if (c < 2 || c >= f.cluster_count + 2)
            return false;
        if (!vol.read(f.data_offset + uint64_t(c - 2) * f.cluster_bytes, cluster))
            return false;
        const scan_result r = find_label_entry(cluster.data(), f.cluster_bytes / 32, label);
        if (r != scan_result::more)
            return r == scan_result::found;
        if (!vol.read(f.fat_offset + uint64_t(c) * 4, next_raw, 4))
            return false;
        c = le32(next_raw) & 0x0FFFFFFF;
    }
    return false;
}

std::string boot_sector_label(const uint8_t* bs, int bits)
{
    const uint8_t* ext = bs + (bits == 32 ? 0x40 : 0x24);
    if (ext[2] != 0x29)
        return {};
    const std::string label = fat_label_text(ext + 7);
    return label == "NO NAME" ? std::string() : label;
}

bool probe_fat(const volume_reader& vol, const uint8_t* bs, fs_info& info)
{
    fat_layout f;
    if (!read_fat_layout(bs, f))
        return false;
    info.file_system = f.bits == 32 ? "FAT32" : "FAT";
    info.total_bytes = uint64_t(f.cluster_count) * f.cluster_bytes;
    std::string label;
    info.label = root_directory_label(vol, f, label) ? label : boot_sector_label(bs, f.bits);
    uint64_t free = 0;
    info.free_bytes = count_free_clusters(vol, f, free) ? free * f.cluster_bytes : 0;
    return true;
}

// ---- NTFS ----

struct ntfs_layout {
    uint32_t bytes_per_sector = 0;
    uint64_t cluster_bytes = 0;
    uint64_t cluster_count = 0;
    uint64_t mft_offset = 0;
    uint32_t record_bytes = 0;
};

bool read_ntfs_layout(const uint8_t* bs, ntfs_layout& n)
{
    if (std::memcmp(bs + 3, "NTFS    ", 8) != 0)
        return false;
    const uint32_t bps = le16(bs + 11);
    if (!is_power_of_two(bps) || bps < 256 || bps > 4096)
        return false;
    // Above 0x80 the byte is a negative power of two (clusters over 64 KiB).
    const uint8_t spc_raw = bs[13];
    const uint64_t spc = spc_raw <= 0x80 ? spc_raw : uint64_t(1) << std::min(256 - spc_raw, 31);
    if (!is_power_of_two(spc))
        return false;
    n.bytes_per_sector = bps;
    n.cluster_bytes = bps * spc;
    if (n.cluster_bytes > (uint64_t(1) << 31))
        return false;
    const uint64_t sectors = le64(bs + 0x28);
    if (sectors > UINT64_MAX / bps)
        return false;
    n.cluster_count = sectors / spc;
    const uint64_t mft_cluster = le64(bs + 0x30);
    if (mft_cluster > UINT64_MAX / n.cluster_bytes)
        return false;
    n.mft_offset = mft_cluster * n.cluster_bytes;
    const int8_t rec = int8_t(bs[0x40]);
    uint64_t record = rec > 0 ? uint64_t(rec) * n.cluster_bytes
                              : rec >= -31 ? uint64_t(1) << -rec : 0;
    if (!is_power_of_two(record) || record < 256 || record > 65536)
        return false;
    n.record_bytes = uint32_t(record);
    return n.cluster_count != 0;
}

// Reads an MFT record and undoes its update-sequence fixups; a torn record fails.
bool read_mft_record(const volume_reader& vol, const ntfs_layout& n, uint32_t number,
                     std::vector<uint8_t>& rec)
{
    rec.assign(n.record_bytes, 0);
    if (!vol.read(n.mft_offset + uint64_t(number) * n.record_bytes, rec))
        return false;
    if (std::memcmp(rec.data(), "FILE", 4) != 0)
        return false;
    const uint32_t usa_offset = le16(&rec[4]);
    const uint32_t usa_count = le16(&rec[6]);
    if (usa_count < 2 || n.record_bytes % (usa_count - 1) != 0)
        return false;
    const uint32_t stride = n.record_bytes / (usa_count - 1);
    if (stride < 256 || usa_offset + 2 * usa_count > n.record_bytes)
        return false;
    const uint16_t check = le16(&rec[usa_offset]);
    for (uint32_t i = 1; i < usa_count; ++i) {
        uint8_t* tail = &rec[i * stride - 2];
        if (le16(tail) != check)
            return false;
        std::memcpy(tail, &rec[usa_offset + 2 * i], 2);
    }
    return true;
}

struct attribute_view {
    const uint8_t* p = nullptr;
    uint32_t length = 0;
};

// The first unnamed attribute of `type` in a fixed-up record.
bool find_attribute(const std::vector<uint8_t>& rec, uint32_t type, attribute_view& out)
{
    const uint32_t in_use = std::min<uint32_t>(le32(&rec[0x18]), uint32_t(rec.size()));
    uint32_t pos = le16(&rec[0x14]);
    while (pos + 16 <= in_use) {
        const uint8_t* a = &rec[pos];
        const uint32_t a_type = le32(a);
        const uint32_t a_len = le32(a + 4);
        if (a_type == 0xFFFFFFFF || a_len < 16 || a_len > in_use - pos)
            return false;
        if (a_type == type && a[9] == 0) {
            out = {a, a_len};
            return true;
        }
        pos += a_len;
    }
    return false;
}

bool resident_value(const attribute_view& a, const uint8_t*& value, uint32_t& length)
{
    if (a.p[8] != 0 || a.length < 24)
        return false;
    length = le32(a.p + 16);
    const uint32_t offset = le16(a.p + 20);
    if (offset > a.length || length > a.length - offset)
        return false;
    value = a.p + offset;
    return true;
}

struct data_run {
    uint64_t offset = 0; // bytes on the volume; unused for sparse runs
    uint64_t length = 0; // bytes
    bool sparse = false;
};

// Decodes a non-resident attribute's run list; false on a malformed list or a
// run that leaves the volume.
bool decode_runs(const attribute_view& a, const ntfs_layout& n, uint64_t volume_bytes,
                 std::vector<data_run>& runs)
{
    if (a.p[8] == 0 || a.length < 64)
        return false;
    uint32_t pos = le16(a.p + 32);
    int64_t lcn = 0;
    while (pos < a.length && a.p[pos] != 0) {
        const uint32_t len_size = a.p[pos] & 0x0F;
        const uint32_t off_size = a.p[pos] >> 4;
        if (len_size == 0 || len_size > 8 || off_size > 8 ||
            pos + 1 + len_size + off_size > a.length)
            return false;
        uint64_t clusters = 0;
        for (uint32_t i = 0; i < len_size; ++i)
            clusters |= uint64_t(a.p[pos + 1 + i]) << (8 * i);
        uint64_t delta = 0;
        for (uint32_t i = 0; i < off_size; ++i)
            delta |= uint64_t(a.p[pos + 1 + len_size + i]) << (8 * i);
        if (off_size && off_size < 8 && (delta >> (8 * off_size - 1)) & 1)
            delta |= ~uint64_t(0) << (8 * off_size);
        if (clusters > volume_bytes / n.cluster_bytes)
            return false;
        data_run run;
        run.length = clusters * n.cluster_bytes;
        run.sparse = off_size == 0;
        if (!run.sparse) {
            lcn = int64_t(uint64_t(lcn) + delta); // wraps instead of overflowing
            if (lcn < 0 || uint64_t(lcn) > volume_bytes / n.cluster_bytes)
                return false;
            run.offset = uint64_t(lcn) * n.cluster_bytes;
            if (run.length > volume_bytes - run.offset)
                return false;
        }
        runs.push_back(run);
        pos += 1 + len_size + off_size;
    }
    return true;
}

// Free clusters from $Bitmap (record 6): every clear bit is a free cluster.
bool ntfs_free_clusters(const volume_reader& vol, const ntfs_layout& n, uint64_t& free)
{
    std::vector<uint8_t> rec;
    attribute_view data;
    if (!read_mft_record(vol, n, 6, rec) || !find_attribute(rec, 0x80, data))
        return false;
    uint64_t bits_left = n.cluster_count;
    free = 0;
    const uint8_t* value = nullptr;
    uint32_t value_length = 0;
    if (resident_value(data, value, value_length)) {
        if (uint64_t(value_length) * 8 < bits_left)
            return false;
        free = clear_bits(value, bits_left);
        return true;
    }
    std::vector<data_run> runs;
    if (!decode_runs(data, n, vol.volume_bytes(), runs))
        return false;
    std::vector<uint8_t> buf;
    for (const data_run& run : runs) {
        for (uint64_t done = 0; done < run.length && bits_left > 0;) {
            const uint64_t bytes = std::min<uint64_t>({run.length - done, chunk_bytes,
                                                       (bits_left + 7) / 8});
            const uint64_t bits = std::min(bits_left, bytes * 8);
            if (run.sparse) {
                free += bits;
            } else {
                buf.resize(size_t(bytes));
                if (!vol.read(run.offset + done, buf))
                    return false;
                free += clear_bits(buf.data(), bits);
            }
            bits_left -= bits;
            done += bytes;
        }
    }
    return bits_left == 0;
}

// $VOLUME_NAME of $Volume (record 3).
std::string ntfs_label(const volume_reader& vol, const ntfs_layout& n)
{
    std::vector<uint8_t> rec;
    attribute_view name;
    const uint8_t* value = nullptr;
    uint32_t length = 0;
    if (!read_mft_record(vol, n, 3, rec) || !find_attribute(rec, 0x60, name) ||
        !resident_value(name, value, length))
        return {};
    return utf16le_to_utf8(value, length / 2);
}

bool probe_ntfs(const volume_reader& vol, const uint8_t* bs, fs_info& info)
{
    ntfs_layout n;
    if (!read_ntfs_layout(bs, n))
        return false;
    info.file_system = "NTFS";
    info.total_bytes = n.cluster_count * n.cluster_bytes;
    info.label = ntfs_label(vol, n);
    uint64_t free = 0;
    info.free_bytes = ntfs_free_clusters(vol, n, free) ? free * n.cluster_bytes : 0;
    return true;
}

// ---- exFAT ----

struct exfat_layout {
    uint64_t fat_offset = 0;
    uint64_t heap_offset = 0;
    uint64_t cluster_bytes = 0;
    uint32_t cluster_count = 0;
    uint32_t root_cluster = 0;
    uint8_t percent_in_use = 0xFF;
};

bool read_exfat_layout(const uint8_t* bs, exfat_layout& x)
{
    if (std::memcmp(bs + 3, "EXFAT   ", 8) != 0)
        return false;
    const uint32_t sector_shift = bs[0x6C];
    const uint32_t cluster_shift = bs[0x6D];
    if (sector_shift < 9 || sector_shift > 12 || sector_shift + cluster_shift > 25)
        return false;
    const uint64_t bps = uint64_t(1) << sector_shift;
    x.fat_offset = uint64_t(le32(bs + 0x50)) * bps;
    x.heap_offset = uint64_t(le32(bs + 0x58)) * bps;
    x.cluster_bytes = bps << cluster_shift;
    x.cluster_count = le32(bs + 0x5C);
    x.root_cluster = le32(bs + 0x60);
    x.percent_in_use = bs[0x70];
    return x.cluster_count != 0 && x.cluster_count <= 0xFFFFFFF5;
}

bool exfat_cluster_valid(const exfat_layout& x, uint32_t c)
{
    return c >= 2 && uint64_t(c) - 2 < x.cluster_count;
}

uint64_t exfat_cluster_offset(const exfat_layout& x, uint32_t c)
{
    return x.heap_offset + uint64_t(c - 2) * x.cluster_bytes;
}

struct exfat_root_facts {
    std::string label;
    uint32_t bitmap_cluster = 0;
    uint64_t bitmap_bytes = 0;
};

// The label and allocation-bitmap entries of the root directory, along its FAT chain.
void read_exfat_root(const volume_reader& vol, const exfat_layout& x, exfat_root_facts& facts)
{
    std::vector<uint8_t> cluster(size_t(x.cluster_bytes));
    uint8_t next_raw[4];
    uint32_t c = x.root_cluster;
    bool have_bitmap = false;
    for (uint64_t steps = 0; steps < root_scan_clusters(x.cluster_bytes) && exfat_cluster_valid(x, c);
         ++steps) {
        if (!vol.read(exfat_cluster_offset(x, c), cluster))
            return;
        for (size_t i = 0; i + 32 <= cluster.size(); i += 32) {
            const uint8_t* e = &cluster[i];
            if (e[0] == 0x00)
                return;
            if (e[0] == 0x83)
                facts.label = utf16le_to_utf8(e + 2, std::min<size_t>(e[1], 11));
            if (e[0] == 0x81 && !have_bitmap) { // the first bitmap serves the first FAT
                facts.bitmap_cluster = le32(e + 20);
                facts.bitmap_bytes = le64(e + 24);
                have_bitmap = true;
            }
        }
        if (!vol.read(x.fat_offset + uint64_t(c) * 4, next_raw, 4))
            return;
        c = le32(next_raw);
    }
}

// Whether the bitmap's clusters follow one another in the FAT, as every
// formatter lays them out.
bool exfat_bitmap_contiguous(const volume_reader& vol, const exfat_layout& x, uint32_t first,
                             uint64_t bytes)
{
    const uint64_t clusters = (bytes + x.cluster_bytes - 1) / x.cluster_bytes;
    if (clusters == 0 || clusters > x.cluster_count - (uint64_t(first) - 2))
        return false;
    if (clusters == 1)
        return true;
    std::vector<uint8_t> chain(size_t(clusters - 1) * 4);
    if (!vol.read(x.fat_offset + uint64_t(first) * 4, chain))
        return false;
    for (uint64_t i = 0; i + 1 < clusters; ++i)
        if (le32(&chain[size_t(i) * 4]) != first + i + 1)
            return false;
    return true;
}

// Only a contiguous bitmap is read; any other is left to the boot sector.
bool exfat_free_clusters(const volume_reader& vol, const exfat_layout& x,
                         const exfat_root_facts& facts, uint64_t& free)
{
    const uint64_t needed = (uint64_t(x.cluster_count) + 7) / 8;
    if (!exfat_cluster_valid(x, facts.bitmap_cluster) || facts.bitmap_bytes < needed ||
        !exfat_bitmap_contiguous(vol, x, facts.bitmap_cluster, needed))
        return false;
    free = 0;
    uint64_t bits_left = x.cluster_count;
    std::vector<uint8_t> buf;
    for (uint64_t done = 0; bits_left > 0;) {
        const uint64_t bytes = std::min<uint64_t>(chunk_bytes, (bits_left + 7) / 8);
        buf.resize(size_t(bytes));
        if (!vol.read(exfat_cluster_offset(x, facts.bitmap_cluster) + done, buf))
            return false;
        const uint64_t bits = std::min(bits_left, bytes * 8);
        free += clear_bits(buf.data(), bits);
        bits_left -= bits;
        done += bytes;
    }
    return true;
}

bool probe_exfat(const volume_reader& vol, const uint8_t* bs, fs_info& info)
{
    exfat_layout x;
    if (!read_exfat_layout(bs, x))
        return false;
    info.file_system = "exFAT";
    info.total_bytes = uint64_t(x.cluster_count) * x.cluster_bytes;
    exfat_root_facts facts;
    read_exfat_root(vol, x, facts);
    info.label = facts.label;
    uint64_t free = 0;
    if (exfat_free_clusters(vol, x, facts, free))
        info.free_bytes = free * x.cluster_bytes;
    else if (x.percent_in_use <= 100)
        info.free_bytes = uint64_t(x.cluster_count) * (100 - x.percent_in_use) / 100 *
                          x.cluster_bytes;
    return true;
}

} // namespace

bool probe_file_system(const byte_reader& read, uint64_t volume_bytes, fs_info& info)
{
    info = fs_info{};
    const volume_reader vol(read, volume_bytes);
    uint8_t bs[512];
    if (!vol.read(0, bs, sizeof bs) || bs[510] != 0x55 || bs[511] != 0xAA)
        return false;
    if (probe_ntfs(vol, bs, info) || probe_exfat(vol, bs, info) || probe_fat(vol, bs, info))
        return true;
    info = fs_info{};
    return false;
}

} // namespace platform::detail
