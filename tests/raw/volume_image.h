// A small disk image with one MBR partition, seen through the image backend,
// whose bytes are a known pattern so that any copied range can be checked.
#pragma once

#include "disk/volume_list.h"

#include <cstdint>
#include <string>
#include <vector>

namespace raw_test {

constexpr uint64_t partition_start = 64 * 512;
constexpr uint64_t partition_length = 2048 * 512;
constexpr uint64_t image_length = 4096 * 512;

// The pattern byte at a byte offset of the image.
uint8_t pattern_at(uint64_t image_offset);
std::vector<uint8_t> pattern(uint64_t image_offset, size_t length);

// Writes the image, makes it \\.\PhysicalDrive0 and returns its volume.
volume_item_s make_volume_image(const std::string& path);

} // namespace raw_test
