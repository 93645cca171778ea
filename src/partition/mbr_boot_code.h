// The boot code that the repair puts in bytes 0 to 439 of sector 0.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

constexpr size_t mbr_boot_code_bytes = 440;

// mbr_boot_code.asm, assembled.
extern const std::array<uint8_t, mbr_boot_code_bytes> mbr_boot_code;
