// The scan proper: every base record of the MFT in order, read in large
// sequential chunks, turned into the entries the caller lists.
#pragma once

#include "ntfs_volume.h"
#include "ntscan.h"

#include <cstdint>
#include <span>
#include <unordered_map>
#include <vector>

namespace ntscan {

// Fills `entry` from a file's records; false when the file has no name,
// unless it is a deleted file with data: that one is named "orphan-<record>"
// and placed in the root, so that its content is not lost with its name.
// `parent_reference` receives the file reference of the name's directory.
bool describe_file(std::span<const opened_record> records, ntfs_entry_s& entry, uint64_t& parent_reference);

// What a name needs of the record it names as its directory.
struct parent_state {
    uint16_t sequence = 0;
    bool usable = false; // an opened base record
    bool in_use = false;
};
parent_state parent_state_of(const std::optional<record_header>& header);

// Whether that record is still the directory a name refers to with sequence
// number `sequence`: the same number, or one ahead once freed.
bool parent_matches(const parent_state& parent, uint16_t sequence);

class mft_scan {
public:
    explicit mft_scan(const ntfs_volume& volume) : volume_(volume) {}
    // The next base record with a name; false at the end.
    bool next(ntfs_entry_s& entry);
    // Records examined so far.
    uint64_t position() const { return next_; }
    // The extension records met so far, by the record number of their base.
    std::span<const uint64_t> extensions_of(uint64_t base) const;

private:
    bool fill_chunk();
    // Keeps `entry.parent` only while that record is still the directory the
    // name was written in; a name whose folder has since become another file
    // goes to the root rather than under a stranger.
    void check_parent(uint64_t reference, ntfs_entry_s& entry);
    parent_state parent_of(uint64_t number);
    // Record `number` opened in the chunk, or nothing when it is unusable.
    std::optional<opened_record> open_in_chunk(uint64_t number);

    const ntfs_volume& volume_;
    uint64_t next_ = 0;
    uint64_t chunk_first_ = 0;
    uint64_t chunk_count_ = 0;
    bool chunk_failed_ = false;
    std::vector<uint8_t> chunk_;
    std::vector<uint8_t> single_;
    // The records examined so far, by number.
    std::vector<parent_state> examined_;
    std::unordered_map<uint64_t, std::vector<uint64_t>> extensions_;
};

} // namespace ntscan
