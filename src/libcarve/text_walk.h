// Walking text formats: bytes that may appear in a text file, the bytes a
// walk stops at, and the line end that closes a file.
#pragma once

#include "libcarve/reader.h"

#include <array>
#include <cstdint>
#include <string_view>

namespace libcarve {

// Control bytes other than tab, line feed, form feed and carriage return end
// a text file: what follows is not text.
constexpr bool is_text_byte(uint8_t c) { return c >= 0x20 || c == '\t' || c == '\n' || c == '\r' || c == '\f'; }

// The bytes a walk wants to look at; every other text byte is stepped over.
class stop_bytes {
public:
    constexpr explicit stop_bytes(std::string_view stops)
    {
        for (int c = 0; c < 256; ++c)
            kind_[c] = is_text_byte(uint8_t(c)) ? plain : not_text;
        for (const char c : stops)
            kind_[uint8_t(c)] = stop;
    }

    // The first stop byte at or after `at`, or npos when a byte that is not
    // text or the limit comes first.
    uint64_t next(reader& r, uint64_t at) const
    {
        for (;;) {
            size_t got = 0;
            const uint8_t* p = r.window(at, 1 << 16, got);
            if (!p)
                return reader::npos;
            for (size_t i = 0; i < got; ++i)
                if (const uint8_t k = kind_[p[i]])
                    return k == stop ? at + i : reader::npos;
            at += got;
        }
    }

private:
    static constexpr uint8_t plain = 0, stop = 1, not_text = 2;
    std::array<uint8_t, 256> kind_{};
};

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

} // namespace libcarve
