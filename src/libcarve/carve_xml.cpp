// XML: the prolog, then the root element followed tag by tag (comments,
// CDATA, processing instructions and quoted attribute values stepped over)
// until it closes.
#include "libcarve/carver.h"
#include "libcarve/text_walk.h"

#include <cstring>
#include <string>

namespace libcarve {

namespace {

bool header(const uint8_t* p, size_t n)
{
    const size_t at = n >= 3 && p[0] == 0xEF && p[1] == 0xBB && p[2] == 0xBF ? 3 : 0;
    return n >= at + 6 && std::memcmp(p + at, "<?xml", 5) == 0 &&
           (p[at + 5] == ' ' || p[at + 5] == '\t' || p[at + 5] == '\r' || p[at + 5] == '\n');
}

// Where the construct that opens at `at` ends (one past its last byte).
class markup {
public:
    explicit markup(reader& r) : r_(r) {}

    uint64_t after(uint64_t at, std::string_view terminator)
    {
        const uint64_t hit = walk_text(r_, at, [&, matched = size_t(0)](uint64_t, uint8_t c) mutable {
            matched = c == uint8_t(terminator[matched]) ? matched + 1
                      : c == uint8_t(terminator[0])     ? 1
                                                        : 0;
            return matched == terminator.size() ? 1 : 0;
        });
        return hit == reader::npos ? hit : hit + 1;
    }

    // A start or end tag: '>' outside quotes. `empty` tells "<.../>".
    uint64_t after_tag(uint64_t at, bool& empty)
    {
        char quote = 0;
        uint8_t previous = 0;
        const uint64_t hit = walk_text(r_, at, [&](uint64_t, uint8_t c) {
            if (quote) {
                if (c == uint8_t(quote))
                    quote = 0;
            } else if (c == '"' || c == '\'') {
                quote = char(c);
            } else if (c == '<') {
                return -1;
            } else if (c == '>') {
                return 1;
            } else {
                previous = c;
            }
            return 0;
        });
        empty = previous == '/';
        return hit == reader::npos ? hit : hit + 1;
    }

    // A doctype with an optional internal subset in brackets.
    uint64_t after_doctype(uint64_t at)
    {
        int brackets = 0;
        const uint64_t hit = walk_text(r_, at, [&](uint64_t, uint8_t c) {
            if (c == '[')
                ++brackets;
            else if (c == ']')
                --brackets;
            return c == '>' && brackets <= 0 ? 1 : 0;
        });
        return hit == reader::npos ? hit : hit + 1;
    }

private:
    reader& r_;
};

constexpr int max_depth = 4096;

const char* extension_of(const std::string& root)
{
    if (root == "svg")
        return "svg";
    if (root == "html")
        return "html";
    return "xml";
}

found_file measure(reader& r)
{
    markup m(r);
    uint64_t at = 0;
    int depth = 0;
    std::string root;
    for (;;) {
        // Character data up to the next tag.
        at = walk_text(r, at, [](uint64_t, uint8_t c) { return c == '<' ? 1 : 0; });
        if (at == reader::npos)
            return {};
        if (r.equals(at, "<?")) {
            at = m.after(at + 2, "?>");
        } else if (r.equals(at, "<!--")) {
            at = m.after(at + 4, "-->");
        } else if (r.equals(at, "<![CDATA[")) {
            at = m.after(at + 9, "]]>");
        } else if (r.equals(at, "<!")) {
            at = m.after_doctype(at + 2);
        } else {
            const bool closing = r.equals(at, "</");
            if (depth == 0 && root.empty() && !closing) {
                for (uint64_t i = at + 1; i < at + 64 && r.has(i, 1); ++i) {
                    const uint8_t c = r.u8(i);
                    if (c == ' ' || c == '>' || c == '/' || c == '\t' || c == '\r' || c == '\n')
                        break;
                    root.push_back(char(c));
                }
            }
            bool empty = false;
            at = m.after_tag(at + 1, empty);
            if (at == reader::npos)
                return {};
            if (closing)
                --depth;
            else if (!empty)
                ++depth;
            if (depth < 0 || depth > max_depth)
                return {};
            if (depth == 0 && !root.empty())
                return {after_line_end(r, at), extension_of(root)};
        }
        if (at == reader::npos)
            return {};
    }
}

constexpr const char* extensions[] = {"xml", "svg", "html"};

} // namespace

extern const carver xml_carver{"xml", "<\xEF", extensions, header, measure, nullptr, 64ULL << 20};

} // namespace libcarve
