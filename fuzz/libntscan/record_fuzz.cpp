// One file record of arbitrary bytes: header, fixups, attribute walk, the
// entry it makes, its $DATA layout and its attribute list.
#include "libntscan/file_records.h"
#include "libntscan/mft_scan.h"

#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const size_t record_size = size > 1024 ? 4096 : 1024;
    std::vector<uint8_t> record(record_size);
    std::copy(data, data + std::min(size, record_size), record.begin());
    auto header = ntscan::open_record(record);
    if (!header) return 0;
    ntscan::opened_record r{7, record, *header};
    ntscan::ntfs_entry_s entry{};
    uint64_t parent = 0;
    if (ntscan::describe_file(std::span(&r, 1), entry, parent)) ntscan::parent_matches(ntscan::parent_state_of(header), uint16_t(parent >> 48));
    ntscan::find_data(std::span(&r, 1), 1u << 20);
    if (auto list = ntscan::find_attribute_list(r)) ntscan::parse_attribute_list(list->value);
    return 0;
}
