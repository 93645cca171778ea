// PDF: the last "%%EOF" of the file. Incremental updates and linearized
// files carry several; one that is followed by more objects is not the end.
// The end's startxref must point at a cross-reference table or stream.
#include "libcarve/carver.h"

#include <cctype>
#include <cstring>

namespace libcarve {

namespace {

bool header(const uint8_t* p, size_t n)
{
    return n >= 8 && std::memcmp(p, "%PDF-", 5) == 0 && std::isdigit(p[5]);
}

bool is_space(uint8_t c) { return c == ' ' || c == '\r' || c == '\n' || c == '\t' || c == '\f' || c == 0; }

// Skips white space from `at`; returns the first other offset (or the limit).
uint64_t skip_space(reader& r, uint64_t at, uint64_t most)
{
    const uint64_t stop = at + most;
    while (at < stop && r.has(at, 1) && is_space(r.u8(at)))
        ++at;
    return at;
}

// "12 0 obj" at `at`.
bool object_at(reader& r, uint64_t at)
{
    char text[32] = {};
    const size_t n = size_t(std::min<uint64_t>(sizeof text - 1, r.limit() - std::min(at, r.limit())));
    const bool saved = r.ok();
    r.bytes(at, text, n);
    if (!saved || !r) {
        return false;
    }
    size_t i = 0;
    auto digits = [&] {
        const size_t from = i;
        while (i < n && std::isdigit(uint8_t(text[i])))
            ++i;
        return i > from;
    };
    auto spaces = [&] {
        const size_t from = i;
        while (i < n && is_space(uint8_t(text[i])))
            ++i;
        return i > from;
    };
    return digits() && spaces() && digits() && spaces() && std::strncmp(text + i, "obj", 3) == 0;
}

// More of the same file follows: an update's objects or its xref.
bool continues(reader& r, uint64_t at)
{
    const uint64_t next = skip_space(r, at, 64);
    return r.has(next, 4) && (r.equals(next, "xref") || object_at(r, next) ||
                              (r.equals(next, "%") && !r.equals(next, "%PDF")));
}

// The startxref before an end marker points at "xref" or an object.
bool startxref_holds(reader& r, uint64_t eof)
{
    const uint64_t from = eof > 64 ? eof - 64 : 0;
    const uint64_t keyword = r.find(from, "startxref", eof);
    if (keyword == reader::npos)
        return false;
    uint64_t at = skip_space(r, keyword + 9, 16);
    uint64_t value = 0;
    int digits = 0;
    while (at < eof && digits < 20 && std::isdigit(r.u8(at))) {
        value = value * 10 + (r.u8(at) - '0');
        ++at;
        ++digits;
    }
    if (!r || digits == 0 || value >= eof)
        return false;
    return r.equals(value, "xref") || object_at(r, value);
}

found_file measure(reader& r)
{
    uint64_t from = 8;
    for (;;) {
        const uint64_t eof = r.find(from, "%%EOF");
        if (eof == reader::npos)
            return {};
        uint64_t end = eof + 5;
        if (r.equals(end, "\r\n"))
            end += 2;
        else if (r.equals(end, "\n") || r.equals(end, "\r"))
            end += 1;
        if (!continues(r, end))
            return startxref_holds(r, eof) ? found_file{end, "pdf"} : found_file{};
        from = eof + 5;
    }
}

constexpr const char* extensions[] = {"pdf"};

} // namespace

extern const carver pdf_carver{"pdf", "%", extensions, header, measure, nullptr, 512ULL << 20};

} // namespace libcarve
