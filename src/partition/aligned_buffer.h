// A zeroed buffer aligned for unbuffered transfers.
#pragma once

#include "platform/device.h"

#include <cstdlib>
#include <cstring>
#include <memory>

struct aligned_free {
    void operator()(uint8_t* p) const { std::free(p); }
};
using aligned_buffer = std::unique_ptr<uint8_t[], aligned_free>;

// Null when the memory is not there. `bytes` is a multiple of the alignment.
inline aligned_buffer make_aligned_buffer(size_t bytes)
{
    auto* p = static_cast<uint8_t*>(std::aligned_alloc(platform::transfer_alignment, bytes));
    if (p)
        std::memset(p, 0, bytes);
    return aligned_buffer(p);
}
