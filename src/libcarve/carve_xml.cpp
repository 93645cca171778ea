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

// Where the construct that opens at `at` ends (one past its last byte), or npos.
class markup {
public:
    explicit markup(reader& r) : r_(r) {}

    // After "?>", "-->" or "]]>".
    uint64_t after(uint64_t at, std::string_view terminator)
    {
        static constexpr stop_bytes question{"?"}, dash{"-"}, bracket{"]"};
        const stop_bytes& first = terminator[0] == '?' ? question : terminator[0] == '-' ? dash : bracket;
        for (;; ++at) {
            at = first.next(r_, at);
            if (at == reader::npos || r_.equals(at, terminator))
                return at == reader::npos ? at : at + terminator.size();
        }
    }

    // A start or end tag: '>' outside quotes. `empty` tells "<.../>".
    uint64_t after_tag(uint64_t at, bool& empty)
    {
        static constexpr stop_bytes tag_bytes{"\"'<>/"}, double_quoted{"\""}, single_quoted{"'"};
        uint64_t slash = reader::npos;
        for (;; ++at) {
            at = tag_bytes.next(r_, at);
            if (at == reader::npos)
                return at;
            const uint8_t c = r_.u8(at);
            if (c == '"' || c == '\'') {
                at = (c == '"' ? double_quoted : single_quoted).next(r_, at + 1);
                if (at == reader::npos)
                    return at;
            } else if (c == '/') {
                slash = at;
            } else if (c == '<') {
                return reader::npos;
            } else { // '>'
                empty = slash + 1 == at;
                return at + 1;
            }
        }
    }

    // A doctype with an optional internal subset in brackets.
    uint64_t after_doctype(uint64_t at)
    {
        static constexpr stop_bytes doctype_bytes{"[]>"};
        int brackets = 0;
        for (;; ++at) {
            at = doctype_bytes.next(r_, at);
            if (at == reader::npos)
                return at;
            const uint8_t c = r_.u8(at);
            if (c == '[')
                ++brackets;
            else if (c == ']')
                --brackets;
            else if (brackets <= 0)
                return at + 1;
        }
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
        static constexpr stop_bytes tag_start{"<"};
        at = tag_start.next(r, at);
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
