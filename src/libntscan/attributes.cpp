#include "attributes.h"

#include "little_endian.h"

namespace ntscan {

attribute_cursor::attribute_cursor(std::span<const uint8_t> record, const record_header& header)
    : used_(record.first(std::min<size_t>(header.used_size, record.size()))),
      offset_(header.first_attribute)
{
}

bool attribute_cursor::next(attribute_view& out)
{
    if (offset_ + 8 > used_.size()) return false;
    const uint8_t* a = used_.data() + offset_;
    uint32_t type = load32(a);
    if (type == attr_end) return false;
    size_t length = load32(a + 4);
    if (length < 0x18 || length > used_.size() - offset_) return false;
    std::span<const uint8_t> attr = used_.subspan(offset_, length);

    out = attribute_view{};
    out.type = type;
    out.non_resident = a[8] != 0;
    out.name_length = a[9];
    out.flags = load16(a + 0x0C);
    size_t name_offset = load16(a + 0x0A);
    if (out.name_length != 0 && name_offset + 2 * size_t(out.name_length) > length) return false;

    if (!out.non_resident) {
        size_t value_length = load32(a + 0x10);
        size_t value_offset = load16(a + 0x14);
        if (value_offset > length || value_length > length - value_offset) return false;
        out.value = attr.subspan(value_offset, value_length);
    } else {
        if (length < 0x40) return false;
        out.lowest_vcn = load64(a + 0x10);
        size_t runs_offset = load16(a + 0x20);
        out.compression_unit = a[0x22];
        out.data_size = load64(a + 0x30);
        out.initialized_size = load64(a + 0x38);
        if (runs_offset < 0x40 || runs_offset > length) return false;
        out.run_list = attr.subspan(runs_offset);
    }
    offset_ += length;
    return true;
}

std::optional<standard_times> parse_standard_information(std::span<const uint8_t> value)
{
    if (value.size() < 0x20) return std::nullopt;
    standard_times t;
    t.created = load64(value.data());
    t.modified = load64(value.data() + 0x08);
    t.accessed = load64(value.data() + 0x18);
    return t;
}

std::optional<file_name> parse_file_name(std::span<const uint8_t> value)
{
    if (value.size() < 0x42) return std::nullopt;
    file_name n;
    n.parent = load64(value.data());
    size_t units = value[0x40];
    n.space = value[0x41];
    if (units == 0 || n.space > names_win32_and_dos || 0x42 + 2 * units > value.size()) return std::nullopt;
    n.name = value.subspan(0x42, 2 * units);
    return n;
}

bool better_name(const file_name& candidate, const file_name& current)
{
    auto rank = [](uint8_t space) {
        switch (space) {
        case names_win32:
        case names_win32_and_dos: return 3;
        case names_posix: return 2;
        default: return 1;
        }
    };
    return rank(candidate.space) > rank(current.space);
}

std::vector<uint64_t> parse_attribute_list(std::span<const uint8_t> value)
{
    std::vector<uint64_t> segments;
    size_t offset = 0;
    while (offset + 0x1A <= value.size()) {
        const uint8_t* e = value.data() + offset;
        size_t length = load16(e + 4);
        if (length < 0x1A || length > value.size() - offset) break;
        segments.push_back(load64(e + 0x10));
        offset += length;
    }
    return segments;
}

int64_t unix_seconds(uint64_t filetime)
{
    constexpr int64_t seconds_1601_to_1970 = 11644473600;
    return int64_t(filetime / 10000000) - seconds_1601_to_1970;
}

} // namespace ntscan
