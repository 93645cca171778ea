// Walking text formats: bytes that may appear in a text file, and the line
// end that closes one.
#pragma once

#include "libcarve/reader.h"

#include <cstdint>

namespace libcarve {

// Control bytes other than tab, line feed, form feed and carriage return end
// a text file: what follows is not text.
inline bool is_text_byte(uint8_t c) { return c >= 0x20 || c == '\t' || c == '\n' || c == '\r' || c == '\f'; }

// The end of the one line end ("\r\n", "\n" or "\r") that may follow `at`:
// text files end with one, and what lies beyond is slack.
inline uint64_t after_line_end(reader& r, uint64_t at)
{
    if (r.has(at, 2) && r.equals(at, "\r\n"))
        return at + 2;
    if (r.has(at, 1) && (r.equals(at, "\n") || r.equals(at, "\r")))
        return at + 1;
    return at;
}

// Calls `step(offset, byte)` for every byte from `at` while it returns 0;
// returns the offset where `step` returned 1, or npos when a byte is not
// text, `step` returned -1 or the limit came first.
template <typename Step>
uint64_t walk_text(reader& r, uint64_t at, Step step)
{
    for (;;) {
        size_t got = 0;
        const uint8_t* p = r.window(at, 1 << 16, got);
        if (!p)
            return reader::npos;
        for (size_t i = 0; i < got; ++i) {
            if (!is_text_byte(p[i]))
                return reader::npos;
            const int verdict = step(at + i, p[i]);
            if (verdict > 0)
                return at + i;
            if (verdict < 0)
                return reader::npos;
        }
        at += got;
    }
}

} // namespace libcarve
