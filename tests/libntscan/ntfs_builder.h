// Builds small NTFS volumes byte by byte, for what a Windows-made sample
// cannot show: compressed and sparse data, attribute lists, torn records,
// damaged boot sectors, odd geometries.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace ntfs_fixture {

using bytes = std::vector<uint8_t>;
// (first cluster or -1 for a hole, clusters)
using runs = std::vector<std::pair<int64_t, uint64_t>>;

bytes encode_runs(const runs& list);
// LZNT1 of `plain` (up to 4096 bytes a chunk), greedy matches.
bytes lznt1_compress(const bytes& plain);
// A FILETIME for a time in seconds since 1970.
uint64_t filetime(int64_t unix_seconds);
inline uint64_t reference(uint64_t record, uint16_t sequence) { return record | uint64_t(sequence) << 48; }

class record {
public:
    record(uint16_t flags, uint16_t sequence = 1, uint64_t base = 0);
    record& resident(uint32_t type, const bytes& value, const std::u16string& name = u"");
    record& non_resident(uint32_t type, const runs& list, uint64_t data_size, uint64_t lowest_vcn = 0,
                         uint8_t compression_unit = 0, uint16_t flags = 0, const std::u16string& name = u"");
    record& standard_information(int64_t created, int64_t modified);
    record& file_name(uint64_t parent, const std::u16string& name, uint8_t space = 1);
    // The record as stored: end marker and update-sequence fixups applied.
    bytes stored(uint32_t size) const;

    uint16_t flags, sequence;
    uint64_t base;

private:
    std::vector<bytes> attributes_;
};

struct list_item {
    uint32_t type;
    uint64_t lowest_vcn;
    uint64_t segment; // file reference
};
bytes attribute_list(const std::vector<list_item>& items);

struct geometry {
    uint32_t sector = 512;
    uint32_t cluster = 4096;
    uint32_t record = 1024;
    uint64_t clusters = 512;
    uint64_t mft_records = 64;
};

class volume {
public:
    explicit volume(geometry g);
    // Where the MFT lies; by default one run after the boot clusters.
    void set_mft_runs(const runs& list) { mft_runs_ = list; }
    void put(uint64_t number, const record& r) { records_.insert_or_assign(number, r); }
    void write(uint64_t cluster, const bytes& data);
    void mark_used(uint64_t cluster, uint64_t count);
    // Where the boot sector says the copy of records 0-3 lies; by default the MFT itself.
    void set_mirror(uint64_t cluster) { mirror_ = cluster; }
    // A file of `content` in one run at `cluster` (or resident when
    // cluster is -1), named `name` in directory `parent`.
    void add_file(uint64_t number, uint64_t parent, const std::u16string& name, const bytes& content,
                  int64_t cluster, bool deleted = false);
    // The first cluster after the boot clusters, the bitmap and the MFT.
    uint64_t first_free_cluster() const;

    // The whole image, with records 0, 5 and 6 made unless put already.
    bytes build() const;

    geometry g;

private:
    runs mft_runs_;
    int64_t mirror_ = -1;
    std::map<uint64_t, record> records_;
    std::map<uint64_t, bytes> clusters_;
    std::vector<bool> used_;
};

} // namespace ntfs_fixture
