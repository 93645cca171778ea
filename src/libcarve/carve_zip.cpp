// ZIP and the formats built on it: the local entries walked to the central
// directory (a deflate stream followed when the sizes come after the data),
// then the end record whose directory lies, by its own offsets, exactly
// there. The member names (or the "mimetype" member) tell docx, xlsx, pptx,
// odt, ods, odp, epub, jar and apk from a plain zip.
#include "libcarve/carver.h"
#include "libcarve/deflate_walk.h"

#include <cstring>
#include <string>

namespace libcarve {

namespace {

bool header(const uint8_t* p, size_t n)
{
    if (n < 30 || std::memcmp(p, "PK\3\4", 4) != 0)
        return false;
    const unsigned version = p[4];
    const unsigned method = p[8] | p[9] << 8;
    const unsigned name_length = p[26] | p[27] << 8;
    return version <= 90 && name_length > 0 && name_length <= 1024 &&
           (method == 0 || method == 8 || method == 9 || method == 12 || method == 14 ||
            method == 93 || method == 95 || method == 98 || method == 99);
}

struct directory {
    uint64_t at = 0;    // first central directory header
    uint64_t size = 0;
    uint64_t entries = 0;
};

// The central directory an end record at `eocd` describes, when it lies
// just before the end record (or its zip64 record).
bool directory_of(reader& r, uint64_t eocd, directory& d)
{
    d.entries = r.le16(eocd + 10);
    d.size = r.le32(eocd + 12);
    d.at = r.le32(eocd + 16);
    uint64_t directory_end = eocd;
    if (!r || r.le16(eocd + 4) != 0 || r.le16(eocd + 6) != 0)
        return false;
    if (d.at == 0xFFFFFFFF || d.size == 0xFFFFFFFF || d.entries == 0xFFFF) {
        const uint64_t locator = eocd - 20;
        if (eocd < 20 || !r.equals(locator, "PK\6\7"))
            return false;
        const uint64_t record = r.le64(locator + 8);
        if (!r.equals(record, "PK\6\6"))
            return false;
        d.entries = r.le64(record + 32);
        d.size = r.le64(record + 40);
        d.at = r.le64(record + 48);
        directory_end = record;
    }
    return r && d.at <= directory_end && d.size == directory_end - d.at &&
           (d.entries == 0 ? d.size == 0 : r.equals(d.at, "PK\1\2"));
}

bool starts_with(const std::string& s, const char* prefix)
{
    return s.compare(0, std::strlen(prefix), prefix) == 0;
}

// The content of a stored "mimetype" member, which open document and epub
// files place first.
std::string mimetype(reader& r)
{
    if (r.le16(8) != 0 || r.le16(26) != 8 || !r.equals(30, "mimetype"))
        return {};
    const uint32_t size = r.le32(18);
    if (size == 0 || size > 128)
        return {};
    std::string text(size, '\0');
    const uint64_t at = 30 + 8 + uint64_t(r.le16(28));
    return r.bytes(at, text.data(), size) ? text : std::string();
}

const char* kind_of(reader& r, const directory& d)
{
    const std::string mime = mimetype(r);
    if (mime == "application/vnd.oasis.opendocument.text")
        return "odt";
    if (mime == "application/vnd.oasis.opendocument.spreadsheet")
        return "ods";
    if (mime == "application/vnd.oasis.opendocument.presentation")
        return "odp";
    if (mime == "application/epub+zip")
        return "epub";
    bool content_types = false, word = false, excel = false, powerpoint = false;
    bool manifest = false, android = false, dex = false;
    uint64_t at = d.at;
    for (uint64_t i = 0; i < d.entries && i < 100000 && r.equals(at, "PK\1\2"); ++i) {
        const uint16_t name_length = r.le16(at + 28);
        std::string name(std::min<uint16_t>(name_length, 256), '\0');
        r.bytes(at + 46, name.data(), name.size());
        if (!r)
            break;
        content_types |= name == "[Content_Types].xml";
        word |= starts_with(name, "word/");
        excel |= starts_with(name, "xl/");
        powerpoint |= starts_with(name, "ppt/");
        manifest |= name == "META-INF/MANIFEST.MF";
        android |= name == "AndroidManifest.xml";
        dex |= name == "classes.dex";
        at += 46 + uint64_t(name_length) + r.le16(at + 30) + r.le16(at + 32);
    }
    if (content_types && word)
        return "docx";
    if (content_types && excel)
        return "xlsx";
    if (content_types && powerpoint)
        return "pptx";
    if (android && dex)
        return "apk";
    if (manifest)
        return "jar";
    return "zip";
}

constexpr int max_entries = 1 << 20;

// The compressed size a zip64 extra field gives, or 0xFFFFFFFF when none.
uint64_t zip64_compressed(reader& r, uint64_t at, uint64_t length)
{
    for (uint64_t p = at; p + 4 <= at + length;) {
        const uint16_t id = r.le16(p), size = r.le16(p + 2);
        if (id == 1 && size >= 16)
            return r.le64(p + 4 + 8);
        p += 4 + uint64_t(size);
    }
    return 0xFFFFFFFF;
}

// Steps over the local entries from the start: the offset of what follows
// them (the central directory), `unknown` when an entry's size can only be
// found by searching, or npos when an entry is broken.
constexpr uint64_t unknown = reader::npos - 1;

uint64_t after_local_entries(reader& r)
{
    uint64_t at = 0;
    for (int i = 0; i < max_entries; ++i) {
        if (!r.equals(at, "PK\3\4"))
            return r.equals(at, "PK\1\2") || r.equals(at, "PK\5\6") || r.equals(at, "PK\6\6") ? at
                                                                                            : reader::npos;
        const uint16_t flags = r.le16(at + 6), method = r.le16(at + 8);
        uint64_t compressed = r.le32(at + 18);
        const uint64_t name = r.le16(at + 26), extra = r.le16(at + 28);
        const uint64_t data = at + 30 + name + extra;
        if (!r)
            return reader::npos;
        if (compressed == 0xFFFFFFFF)
            compressed = zip64_compressed(r, at + 30 + name, extra);
        if (!(flags & 0x08)) {
            at = data + compressed;
            continue;
        }
        // The sizes follow the data: a deflate stream tells its own end.
        if (method != 8 || (flags & 0x01))
            return unknown;
        const deflate_end stream = walk_deflate(r, data);
        if (!stream.ok)
            return reader::npos;
        at = stream.end;
        if (r.equals(at, "PK\7\x08"))
            at += 4;
        at += r.le32(at + 4) == stream.end - data ? 12 : 20; // 32-bit or zip64 sizes
    }
    return reader::npos;
}

found_file measure(reader& r)
{
    const uint64_t directory_at = after_local_entries(r);
    if (directory_at == reader::npos)
        return {};
    for (uint64_t from = directory_at == unknown ? 30 : directory_at;;) {
        const uint64_t eocd = r.find(from, "PK\5\6");
        if (eocd == reader::npos)
            return {};
        directory d;
        const uint16_t comment = r.le16(eocd + 20);
        if (directory_of(r, eocd, d) && (directory_at == unknown || d.at == directory_at) &&
            r.has(eocd, 22ULL + comment))
            return {eocd + 22 + comment, kind_of(r, d)};
        from = eocd + 1;
    }
}

constexpr const char* extensions[] = {"zip", "docx", "xlsx", "pptx", "odt", "ods",
                                      "odp", "epub", "jar", "apk"};

} // namespace

extern const carver zip_carver{"zip", "P", extensions, header, measure, nullptr, 4ULL << 30};

} // namespace libcarve
