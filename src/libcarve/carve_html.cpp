// HTML: text from the doctype or the html tag up to the closing html tag.
#include "libcarve/carver.h"
#include "libcarve/text_walk.h"

#include <string_view>

namespace libcarve {

namespace {

char ascii_lower(uint8_t c) { return char(c >= 'A' && c <= 'Z' ? c + 32 : c); }

bool starts_with_nocase(const uint8_t* p, size_t n, std::string_view word)
{
    if (n < word.size())
        return false;
    for (size_t i = 0; i < word.size(); ++i)
        if (ascii_lower(p[i]) != word[i])
            return false;
    return true;
}

// Offset of the markup after an optional byte-order mark.
size_t markup_start(const uint8_t* p, size_t n)
{
    return n >= 3 && p[0] == 0xEF && p[1] == 0xBB && p[2] == 0xBF ? 3 : 0;
}

bool header(const uint8_t* p, size_t n)
{
    const size_t at = markup_start(p, n);
    return starts_with_nocase(p + at, n - at, "<!doctype html") ||
           starts_with_nocase(p + at, n - at, "<html");
}

found_file measure(reader& r)
{
    static constexpr stop_bytes tag_start{"<"};
    static constexpr std::string_view close = "</html>";
    for (uint64_t at = 0;; ++at) {
        at = tag_start.next(r, at);
        if (at == reader::npos)
            return {};
        uint8_t tag[close.size()];
        if (r.has(at, sizeof tag) && r.bytes(at, tag, sizeof tag) && starts_with_nocase(tag, sizeof tag, close))
            return {after_line_end(r, at + sizeof tag), "html"};
    }
}

constexpr const char* extensions[] = {"html"};

} // namespace

extern const carver html_carver{"html", "<\xEF", extensions, header, measure, nullptr, 64ULL << 20};

} // namespace libcarve
