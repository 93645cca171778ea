// The checksums that carved formats carry, so a walk can prove a structure.
#pragma once

#include <cstddef>
#include <cstdint>

namespace libcarve {

// CRC-32 as zip, gzip, png, xz and 7z use it (reflected 0xEDB88320).
uint32_t crc32(uint32_t crc, const uint8_t* data, size_t length);
inline uint32_t crc32(const uint8_t* data, size_t length) { return crc32(0, data, length); }

// CRC-32 of Ogg pages and bzip2 blocks (0x04C11DB7, not reflected, no final xor).
uint32_t crc32_msb(uint32_t crc, const uint8_t* data, size_t length);

// FLAC frame checksums: CRC-8 (0x07) of headers, CRC-16 (0x8005) of frames.
uint8_t crc8_flac(const uint8_t* data, size_t length);
uint16_t crc16_flac(uint16_t crc, const uint8_t* data, size_t length);

} // namespace libcarve
