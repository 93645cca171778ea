// Follows a raw deflate stream to its end without keeping its output: every
// code is decoded and every distance checked against what came before.
#pragma once

#include "libcarve/reader.h"

#include <cstdint>

namespace libcarve {

struct deflate_end {
    bool ok = false;
    uint64_t end = 0;    // offset one past the stream's last byte
    uint64_t output = 0; // bytes the stream inflates to
};

deflate_end walk_deflate(reader& r, uint64_t at);

} // namespace libcarve
