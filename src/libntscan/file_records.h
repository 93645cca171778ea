// What the scan and the extraction read from the records of one file: its
// base record and the extension records its attribute list names.
#pragma once

#include "attributes.h"
#include "data_layout.h"
#include "file_record.h"

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace ntscan {

struct opened_record {
    uint64_t number = 0;
    std::span<const uint8_t> bytes; // fixups applied
    record_header header;
};

struct file_summary {
    std::optional<file_name> name; // the one to show
    standard_times times;
    uint64_t size = 0;             // of the unnamed $DATA
};

// The base record comes first in `records`.
file_summary summarize(std::span<const opened_record> records);

// The unnamed $DATA: its resident value, or where its clusters lie.
struct file_data {
    bool resident = false;
    std::span<const uint8_t> value;
    data_layout layout;
};
// Nothing when the file has no unnamed $DATA. A non-resident stream maps as
// far as its extents join up from VCN 0 without a gap or a bad run list.
std::optional<file_data> find_data(std::span<const opened_record> records, uint64_t total_clusters);

// The $ATTRIBUTE_LIST attribute of a base record, if it has one.
std::optional<attribute_view> find_attribute_list(const opened_record& base);

// Whether `extension`, named by an attribute list entry with file reference
// `reference`, still belongs to `base`. Freeing a record raises its sequence
// number by one, so a deleted file's records may be one ahead.
bool extension_belongs(const opened_record& base, uint64_t reference, const opened_record& extension);
// The same for an extension record met in the MFT rather than in the list:
// only its base reference can be checked.
bool extension_owned_by(const opened_record& base, const opened_record& extension);

} // namespace ntscan
