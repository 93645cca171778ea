// RIFF (wav, avi, webp): the size in the RIFF header, believed when the
// chunks inside walk to it; an AVI's extension chunks (AVIX) follow it.
#include "libcarve/carver.h"

#include <cstring>

namespace libcarve {

namespace {

const char* form_extension(const uint8_t* form)
{
    if (std::memcmp(form, "WAVE", 4) == 0)
        return "wav";
    if (std::memcmp(form, "AVI ", 4) == 0)
        return "avi";
    if (std::memcmp(form, "WEBP", 4) == 0)
        return "webp";
    return nullptr;
}

bool header(const uint8_t* p, size_t n)
{
    return n >= 12 && std::memcmp(p, "RIFF", 4) == 0 && form_extension(p + 8);
}

bool is_chunk_id(const uint8_t* id)
{
    for (int i = 0; i < 4; ++i)
        if (id[i] < 0x20 || id[i] > 0x7E)
            return false;
    return true;
}

constexpr int max_chunks = 1 << 16;

// Walks the chunks of a RIFF list from `at` to `end`; true when they fit.
bool chunks_fit(reader& r, uint64_t at, uint64_t end, const char* required)
{
    bool seen = required == nullptr;
    for (int i = 0; i < max_chunks && at + 8 <= end; ++i) {
        uint8_t id[4];
        r.bytes(at, id, 4);
        const uint64_t size = r.le32(at + 4);
        if (!r || !is_chunk_id(id))
            return false;
        seen |= required && std::memcmp(id, required, 4) == 0;
        at += 8 + size + (size & 1);
    }
    // Some writers leave out the pad byte of the last chunk.
    return seen && at >= end && at <= end + 1;
}

found_file measure(reader& r)
{
    uint8_t form[4];
    r.bytes(8, form, 4);
    const char* extension = form_extension(form);
    if (!extension)
        return {};
    const uint64_t end = 8 + uint64_t(r.le32(4));
    const char* required = std::strcmp(extension, "wav") == 0 ? "fmt " :
                           std::strcmp(extension, "avi") == 0 ? "LIST" : nullptr;
    if (!r || end < 12 + 8 || !r.has(0, end) || !chunks_fit(r, 12, end, required))
        return {};
    uint64_t size = end;
    if (std::strcmp(extension, "avi") == 0) {
        while (r.equals(size, "RIFF") && r.equals(size + 8, "AVIX")) {
            const uint64_t next = size + 8 + uint64_t(r.le32(size + 4));
            if (!r || !r.has(0, next))
                break;
            size = next;
        }
    }
    return {size, extension};
}

constexpr const char* extensions[] = {"wav", "avi", "webp"};

} // namespace

extern const carver riff_carver{"riff", "R", extensions, header, measure, nullptr, 16ULL << 30};

} // namespace libcarve
