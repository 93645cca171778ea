// Volume images for the disk tests: FAT ones made with mkfs.fat and mtools,
// with what sleuthkit and mtools say about them, and the NTFS sample.
#pragma once

#include <cstdint>
#include <string>

namespace fat_fixture {

// True when mkfs.fat, mtools and fsstat are all there.
bool tools_present();

// A fresh FAT image of `mib` MiB formatted with `mkfs_options`, holding a folder
// "sub" with one 10,000-byte file and one 100-byte file in the root. False when
// a tool failed.
bool make(const std::string& image, unsigned mib, const std::string& mkfs_options);

struct facts {
    std::string label;    // the root directory's label, else the boot sector's
    uint64_t total_bytes = 0; // clusters x cluster size
    uint64_t free_bytes = 0;
};

// What fsstat and mdir report for the FAT volume of `image`.
facts oracle(const std::string& image);

} // namespace fat_fixture

namespace ntfs_fixture {

// The NTFS sample disk, unpacked once per test binary: MBR, one partition at
// sector 128.
const std::string& sample_image();
constexpr uint64_t sample_start = 128 * 512;
uint64_t sample_length();

} // namespace ntfs_fixture
