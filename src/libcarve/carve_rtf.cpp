// RTF: groups in braces, escapes and binary runs honoured, until the outer
// group closes.
#include "libcarve/carver.h"
#include "libcarve/text_walk.h"

#include <cctype>
#include <cstring>

namespace libcarve {

namespace {

bool header(const uint8_t* p, size_t n) { return n >= 6 && std::memcmp(p, "{\\rtf", 5) == 0; }

found_file measure(reader& r)
{
    static constexpr stop_bytes group_bytes{"\\{}"};
    int64_t depth = 0;
    for (uint64_t at = 0;;) {
        at = group_bytes.next(r, at);
        if (at == reader::npos)
            return {};
        const uint8_t c = r.u8(at);
        if (c == '\\') {
            // "\bin<n> " is followed by n raw bytes.
            if (r.equals(at + 1, "bin")) {
                uint64_t n = 0;
                uint64_t d = at + 4;
                while (d < at + 24 && std::isdigit(r.u8(d)))
                    n = n * 10 + (r.u8(d++) - '0');
                if (r.u8(d) == ' ')
                    ++d;
                at = d + n;
                continue;
            }
            at += 2;
            continue;
        }
        if (c == '{') {
            ++depth;
        } else if (--depth == 0) {
            const uint64_t end = after_line_end(r, at + 1);
            return r ? found_file{end, "rtf"} : found_file{};
        }
        ++at;
    }
}

constexpr const char* extensions[] = {"rtf"};

} // namespace

extern const carver rtf_carver{"rtf", "{", extensions, header, measure, nullptr, 256ULL << 20};

} // namespace libcarve
