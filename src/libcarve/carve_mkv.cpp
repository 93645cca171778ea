// Matroska and WebM: the EBML header, then the segment by its size; a
// segment of unknown size (a live recording) is walked element by element.
#include "libcarve/carver.h"

#include <cstring>
#include <string>

namespace libcarve {

namespace {

bool header(const uint8_t* p, size_t n) { return n >= 8 && std::memcmp(p, "\x1A\x45\xDF\xA3", 4) == 0; }

struct element {
    uint64_t id = 0;
    uint64_t size = 0;    // UINT64_MAX: unknown
    uint64_t data_at = 0; // where its content starts
};

// An EBML variable-length number; `keep_marker` for ids.
bool vint(reader& r, uint64_t& at, uint64_t& value, bool keep_marker, int& length)
{
    const uint8_t first = r.u8(at);
    if (!r || first == 0)
        return false;
    length = 1;
    while (!(first & (0x80 >> (length - 1))))
        ++length;
    value = keep_marker ? first : first & (0xFF >> length);
    for (int i = 1; i < length; ++i)
        value = value << 8 | r.u8(at + uint64_t(i));
    at += uint64_t(length);
    return bool(r);
}

bool read_element(reader& r, uint64_t at, element& e)
{
    int id_length = 0, size_length = 0;
    if (!vint(r, at, e.id, true, id_length) || id_length > 4 || !vint(r, at, e.size, false, size_length))
        return false;
    if (e.size == (1ULL << (7 * size_length)) - 1)
        e.size = UINT64_MAX;
    e.data_at = at;
    return true;
}

constexpr uint64_t segment_id = 0x18538067, cluster_id = 0x1F43B675;

bool is_segment_child(uint64_t id)
{
    switch (id) {
    case 0x114D9B74: case 0x1549A966: case 0x1654AE6B: case cluster_id: case 0x1C53BB6B:
    case 0x1941A469: case 0x1043A770: case 0x1254C367: case 0xEC: case 0xBF:
        return true;
    default:
        return false;
    }
}

bool is_cluster_child(uint64_t id)
{
    return id == 0xE7 || id == 0xA3 || id == 0xA0 || id == 0xAB || id == 0xA7 || id == 0xEC || id == 0xBF;
}

// The end of elements walked from `at` while `is_child` accepts them.
uint64_t walk_children(reader& r, uint64_t at, bool (*is_child)(uint64_t), int depth)
{
    for (int i = 0; i < (1 << 22); ++i) {
        element e;
        if (!r.has(at, 2) || !read_element(r, at, e) || !is_child(e.id))
            return at;
        if (e.size == UINT64_MAX) {
            if (e.id != cluster_id || depth > 0)
                return at;
            at = walk_children(r, e.data_at, is_cluster_child, depth + 1);
            continue;
        }
        if (!r.has(e.data_at, e.size))
            return at;
        at = e.data_at + e.size;
    }
    return at;
}

found_file measure(reader& r)
{
    element ebml;
    if (!read_element(r, 0, ebml) || ebml.size == UINT64_MAX || ebml.size > 4096)
        return {};
    // The document type names the kind.
    std::string doc_type;
    for (uint64_t at = ebml.data_at; at < ebml.data_at + ebml.size;) {
        element child;
        if (!read_element(r, at, child) || child.size > ebml.size)
            return {};
        if (child.id == 0x4282 && child.size <= 32) {
            doc_type.resize(child.size);
            r.bytes(child.data_at, doc_type.data(), child.size);
            doc_type = doc_type.c_str();
        }
        at = child.data_at + child.size;
    }
    if (doc_type != "matroska" && doc_type != "webm")
        return {};
    element segment;
    if (!read_element(r, ebml.data_at + ebml.size, segment) || segment.id != segment_id)
        return {};
    uint64_t end;
    if (segment.size == UINT64_MAX)
        end = walk_children(r, segment.data_at, is_segment_child, 0);
    else
        end = segment.data_at + segment.size;
    if (!r || !r.has(0, end) || end <= segment.data_at)
        return {};
    return {end, doc_type == "webm" ? "webm" : "mkv"};
}

constexpr const char* extensions[] = {"mkv", "webm"};

} // namespace

extern const carver mkv_carver{"mkv", "\x1A", extensions, header, measure, nullptr, 64ULL << 30};

} // namespace libcarve
