// File records of the MFT: the "FILE" header and the update-sequence fixups
// that guard each 512-byte stride against torn writes.
#pragma once

#include <cstdint>
#include <optional>
#include <span>

namespace ntscan {

enum record_flag : uint16_t { record_in_use = 0x0001, record_directory = 0x0002 };

struct record_header {
    uint16_t sequence = 0;
    uint16_t flags = 0;
    uint32_t first_attribute = 0; // offset of the first attribute
    uint32_t used_size = 0;       // bytes of the record in use, within the record
    uint64_t base_record = 0;     // file reference of the base record; 0 for a base record
};

// Record number and sequence number of a 64-bit file reference.
inline uint64_t reference_record(uint64_t ref) { return ref & 0x0000FFFFFFFFFFFFull; }
inline uint16_t reference_sequence(uint64_t ref) { return uint16_t(ref >> 48); }

// Checks the header of a record and applies its fixups in place. Nothing
// when the record is not a "FILE" record, is torn (a stride's last two bytes
// differ from the update sequence number) or has offsets outside itself.
std::optional<record_header> open_record(std::span<uint8_t> record);

} // namespace ntscan
