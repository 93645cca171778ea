// Real sample files of every carved type, made once per test run by
// make_samples.py, and disk images that lay them out at sector starts.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace libcarve_test {

struct sample {
    std::string name;
    std::string extension;
    std::vector<uint8_t> bytes;
};

// Every sample; empty when python3 is missing (callers skip).
const std::vector<sample>& samples();

// Random bytes, the same for the same seed.
std::vector<uint8_t> junk(size_t length, uint32_t seed);

struct placed {
    const sample* file;
    uint64_t offset;
};

// Lays `files` out at sector starts with junk or zero sectors between them;
// returns the image bytes and where each file went.
std::vector<uint8_t> layout(const std::vector<const sample*>& files, std::vector<placed>& where,
                            uint32_t seed);

} // namespace libcarve_test
