// Little-endian loads from byte buffers; callers check the bounds.
#pragma once

#include <cstdint>
#include <cstring>

namespace ntscan {

inline uint16_t load16(const uint8_t* p) { return uint16_t(p[0] | p[1] << 8); }
inline uint32_t load32(const uint8_t* p) { uint32_t v; std::memcpy(&v, p, 4); return v; }
inline uint64_t load64(const uint8_t* p) { uint64_t v; std::memcpy(&v, p, 8); return v; }

} // namespace ntscan
