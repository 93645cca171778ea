#include "file_record.h"

#include "little_endian.h"

#include <cstring>

namespace ntscan {

namespace {

constexpr size_t stride = 512;

bool apply_fixups(std::span<uint8_t> record)
{
    uint8_t* r = record.data();
    size_t array_offset = load16(r + 0x04);
    size_t count = load16(r + 0x06);
    if (count != record.size() / stride + 1 || array_offset < 0x28 || array_offset % 2 != 0 ||
        array_offset + 2 * count > stride - 2)
        return false;
    const uint8_t* usn = r + array_offset;
    for (size_t i = 1; i < count; ++i)
        if (std::memcmp(r + i * stride - 2, usn, 2) != 0) return false;
    for (size_t i = 1; i < count; ++i) std::memcpy(r + i * stride - 2, usn + 2 * i, 2);
    return true;
}

} // namespace

std::optional<record_header> open_record(std::span<uint8_t> record)
{
    if (record.size() < stride || record.size() % stride != 0) return std::nullopt;
    const uint8_t* r = record.data();
    if (std::memcmp(r, "FILE", 4) != 0 || !apply_fixups(record)) return std::nullopt;

    record_header h;
    h.sequence = load16(r + 0x10);
    h.first_attribute = load16(r + 0x14);
    h.flags = load16(r + 0x16);
    h.used_size = load32(r + 0x18);
    h.base_record = load64(r + 0x20);
    if (h.used_size > record.size()) h.used_size = uint32_t(record.size());
    if (h.first_attribute < 0x28 || h.first_attribute >= h.used_size)
        return std::nullopt;
    return h;
}

} // namespace ntscan
