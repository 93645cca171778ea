// One carved type: the same few hooks for every format.
#pragma once

#include "libcarve/reader.h"

#include <cstdint>
#include <span>
#include <string_view>

namespace libcarve {

// What a walk found: the file's size (0: not a file of this type) and the
// extension to report, which may depend on the content (docx inside zip).
struct found_file {
    uint64_t size = 0;
    const char* extension = nullptr;
};

struct carver {
    const char* name;                // configuration name of the type
    std::string_view first_bytes;    // every byte a header can start with
    std::span<const char* const> extensions; // every extension it reports
    // Quick test of a sector's first bytes (`length` of them available).
    bool (*header)(const uint8_t* bytes, size_t length);
    // Size from the header or a walk of the structure; size 0 rejects.
    found_file (*measure)(reader& r);
    // Final check over the measured file: trim, rename or reject (size 0).
    // Null when the walk already proved the structure.
    found_file (*validate)(reader& r, found_file file);
    uint64_t max_size;               // built-in bound of one file
};

// Every carver, in the order their headers are tried.
std::span<const carver* const> all_carvers();

// Measures and validates one candidate: the hooks in order.
found_file carve_one(const carver& c, reader& r);

} // namespace libcarve
