// The attributes of a file record, and the values the scan reads from them:
// $STANDARD_INFORMATION times, $FILE_NAME names and $ATTRIBUTE_LIST entries.
#pragma once

#include "file_record.h"

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace ntscan {

enum attribute_type : uint32_t {
    attr_standard_information = 0x10,
    attr_attribute_list = 0x20,
    attr_file_name = 0x30,
    attr_data = 0x80,
    attr_end = 0xFFFFFFFF,
};

enum attribute_flag : uint16_t { attr_compressed = 0x0001, attr_encrypted = 0x4000, attr_sparse = 0x8000 };

struct attribute_view {
    uint32_t type = 0;
    uint16_t flags = 0;
    uint16_t name_length = 0;         // UTF-16 units; 0 for the unnamed stream
    bool non_resident = false;
    std::span<const uint8_t> value;   // resident only
    // Non-resident only:
    uint64_t lowest_vcn = 0;
    uint8_t compression_unit = 0;     // log2 of clusters per unit
    uint64_t data_size = 0;
    uint64_t initialized_size = 0;
    std::span<const uint8_t> run_list;
};

// Walks the attributes of an opened record in order; stops at the end
// marker or at the first attribute that does not lie wholly in the record.
class attribute_cursor {
public:
    attribute_cursor(std::span<const uint8_t> record, const record_header& header);
    bool next(attribute_view& out);

private:
    std::span<const uint8_t> used_;
    size_t offset_;
};

struct standard_times {
    uint64_t created = 0, modified = 0, accessed = 0; // FILETIME: 100 ns since 1601
};
std::optional<standard_times> parse_standard_information(std::span<const uint8_t> value);

enum name_space : uint8_t { names_posix = 0, names_win32 = 1, names_dos = 2, names_win32_and_dos = 3 };

struct file_name {
    uint64_t parent = 0; // file reference
    uint8_t space = names_posix;
    std::span<const uint8_t> name; // UTF-16LE, name_length units
};
std::optional<file_name> parse_file_name(std::span<const uint8_t> value);

// Which of two names to show: Win32 names over POSIX ones over DOS-only ones.
bool better_name(const file_name& candidate, const file_name& current);

// Of each well-formed entry of an $ATTRIBUTE_LIST value, up to the first bad
// one: the file reference of the record that holds the attribute.
std::vector<uint64_t> parse_attribute_list(std::span<const uint8_t> value);

// Seconds since 1970 UTC of a FILETIME.
int64_t unix_seconds(uint64_t filetime);

} // namespace ntscan
