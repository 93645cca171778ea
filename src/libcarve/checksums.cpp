#include "libcarve/checksums.h"

#include <array>

namespace libcarve {

namespace {

constexpr std::array<uint32_t, 256> reflected_table()
{
    std::array<uint32_t, 256> t{};
    for (uint32_t i = 0; i < 256; ++i) {
        uint32_t c = i;
        for (int k = 0; k < 8; ++k)
            c = c & 1 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        t[i] = c;
    }
    return t;
}

constexpr std::array<uint32_t, 256> msb_table()
{
    std::array<uint32_t, 256> t{};
    for (uint32_t i = 0; i < 256; ++i) {
        uint32_t c = i << 24;
        for (int k = 0; k < 8; ++k)
            c = c & 0x80000000u ? (c << 1) ^ 0x04C11DB7u : c << 1;
        t[i] = c;
    }
    return t;
}

constexpr std::array<uint16_t, 256> crc16_table()
{
    std::array<uint16_t, 256> t{};
    for (uint32_t i = 0; i < 256; ++i) {
        uint16_t c = uint16_t(i << 8);
        for (int k = 0; k < 8; ++k)
            c = uint16_t(c & 0x8000 ? (c << 1) ^ 0x8005 : c << 1);
        t[i] = c;
    }
    return t;
}

constexpr auto crc32_lsb = reflected_table();
constexpr auto crc32_msb_t = msb_table();
constexpr auto crc16_t = crc16_table();

} // namespace

uint32_t crc32(uint32_t crc, const uint8_t* data, size_t length)
{
    crc = ~crc;
    for (size_t i = 0; i < length; ++i)
        crc = crc32_lsb[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
    return ~crc;
}

uint32_t crc32_msb(uint32_t crc, const uint8_t* data, size_t length)
{
    for (size_t i = 0; i < length; ++i)
        crc = (crc << 8) ^ crc32_msb_t[((crc >> 24) ^ data[i]) & 0xFF];
    return crc;
}

uint8_t crc8_flac(const uint8_t* data, size_t length)
{
    uint8_t crc = 0;
    for (size_t i = 0; i < length; ++i) {
        crc ^= data[i];
        for (int k = 0; k < 8; ++k)
            crc = uint8_t(crc & 0x80 ? (crc << 1) ^ 0x07 : crc << 1);
    }
    return crc;
}

uint16_t crc16_flac(uint16_t crc, const uint8_t* data, size_t length)
{
    for (size_t i = 0; i < length; ++i)
        crc = uint16_t((crc << 8) ^ crc16_t[((crc >> 8) ^ data[i]) & 0xFF]);
    return crc;
}

} // namespace libcarve
