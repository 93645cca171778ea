#include "recovery/fat/code_page.h"
#include "recovery/fat/fat_internal.h"

#include <cstring>
#include <memory>
#include <new>

namespace {

// Flag byte after the 11 bytes of a parsed 8.3 name.
enum : uint8_t {
    name_lossy = 0x01, // the 8.3 form does not stand for the segment
    name_last = 0x02,  // no segment follows
};

constexpr unsigned max_segment = 255;

bool is_separator(char16_t c)
{
    return c == u'/' || c == u'\\';
}

bool is_forbidden(char16_t c)
{
    return c == u'"' || c == u'*' || c == u':' || c == u'<' || c == u'>' || c == u'?' ||
           c == u'|' || c == 0x7F;
}

bool needs_replacing(char16_t c)
{
    return c == u'+' || c == u',' || c == u';' || c == u'=' || c == u'[' || c == u']';
}

// The 8.3 form of a segment: upper case, GBK bytes, the basis name of a
// long name without a numeric tail.
void make_short_name(const char16_t* segment, unsigned length, uint8_t* sfn)
{
    std::memset(sfn, ' ', 11);
    uint8_t flags = 0;
    unsigned first = 0;
    while (first < length && (segment[first] == u' ' || segment[first] == u'.'))
        ++first;
    if (first)
        flags |= name_lossy;
    unsigned dot = length;
    for (unsigned k = first; k < length; ++k)
        if (segment[k] == u'.')
            dot = k;

    unsigned i = 0;
    unsigned limit = 8;
    for (unsigned k = first; k < length; ++k) {
        if (k == dot) {
            i = 8;
            limit = 11;
            continue;
        }
        char16_t w = segment[k];
        if (w == u' ' || w == u'.') {
            flags |= name_lossy;
            continue;
        }
        if (i >= limit) {
            flags |= name_lossy;
            if (limit == 11 || dot == length)
                break;
            k = dot - 1; // the rest of the name part does not fit
            continue;
        }
        if (w >= 0x80) {
            const uint16_t code = unicode_to_gbk(upper_case(w));
            if (code > 0xFF) {
                if (i + 2 > limit) {
                    flags |= name_lossy;
                    i = limit;
                    continue;
                }
                sfn[i++] = uint8_t(code >> 8);
                sfn[i++] = uint8_t(code);
                continue;
            }
            if (!code)
                flags |= name_lossy;
            w = code ? code : u'_';
        } else if (needs_replacing(w)) {
            w = u'_';
            flags |= name_lossy;
        } else if (w >= u'a' && w <= u'z') {
            w = char16_t(w - (u'a' - u'A'));
        }
        sfn[i++] = uint8_t(w);
    }
    if (sfn[0] == deleted_mark)
        sfn[0] = 0x05;
    sfn[11] = flags;
}

// Takes the next segment of `*path` into `segment` and its 8.3 form into
// `sfn`; `*path` moves past it and the separators after it.
int parse_segment(const char16_t** path, char16_t* segment, uint8_t* sfn)
{
    const char16_t* p = *path;
    while (is_separator(*p))
        ++p;
    unsigned length = 0;
    for (; p[length] >= 0x20 && !is_separator(p[length]); ++length) {
        if (length >= max_segment || is_forbidden(p[length]))
            return fat_invalid_name;
        segment[length] = p[length];
    }
    const char16_t* rest = p + length;
    while (is_separator(*rest))
        ++rest;
    *path = rest;
    while (length && (segment[length - 1] == u' ' || segment[length - 1] == u'.'))
        --length;
    if (!length)
        return fat_invalid_name;
    segment[length] = 0;
    make_short_name(segment, length, sfn);
    if (*rest < 0x20)
        sfn[11] |= name_last;
    return fat_ok;
}

bool same_long_name(const char16_t* a, const char16_t* b)
{
    for (; *a && *b; ++a, ++b)
        if (upper_case(*a) != upper_case(*b))
            return false;
    return *a == *b;
}

// Positions `dir` on the entry of its directory that `segment` names.
int find_entry(fat_dir_s* dir, const char16_t* segment)
{
    int result = dir_rewind(dir);
    if (result)
        return result;
    do {
        result = dir_read_entry(dir);
        if (result)
            return result;
        if (!(dir->short_name[11] & name_lossy) && std::memcmp(dir->entry, dir->short_name, 11) == 0)
            return fat_ok;
        if (dir->long_name_index != no_long_name && same_long_name(dir->long_name, segment))
            return fat_ok;
        result = dir_advance(dir);
    } while (!result);
    return result;
}

// Leaves dir->start_cluster at the directory holding the last segment and
// `dir` on that segment's entry; `named` is false when the path is the root.
int follow_path(fat_dir_s* dir, const char16_t* path, bool& named)
{
    if (is_separator(*path))
        ++path;
    dir->start_cluster = 0;
    named = *path >= 0x20;
    if (!named)
        return dir_rewind(dir);
    char16_t segment[max_segment + 1];
    for (;;) {
        int result = parse_segment(&path, segment, dir->short_name);
        if (result)
            return result;
        result = find_entry(dir, segment);
        if (result)
            return result;
        if (dir->short_name[11] & name_last)
            return fat_ok;
        if (!(dir->entry[11] & fat_attr_directory))
            return fat_no_path;
        dir->start_cluster = entry_cluster(dir->fs, dir->entry);
    }
}

} // namespace

int f_opendir(fat_dir_s* dir, const char16_t* path)
{
    if (!path)
        path = u"";
    fat_fs_s* fs = nullptr;
    int result = mount_volume(&path, &fs);
    dir->fs = fs;
    if (result == fat_ok) {
        std::unique_ptr<char16_t[]> long_name(new (std::nothrow) char16_t[long_name_capacity]);
        if (!long_name) {
            dir->fs = nullptr;
            return fat_no_memory;
        }
        uint8_t short_name[12];
        dir->short_name = short_name;
        dir->long_name = long_name.get();
        bool named = false;
        result = follow_path(dir, path, named);
        if (result == fat_ok && named) {
            if (dir->entry[11] & fat_attr_directory)
                dir->start_cluster = entry_cluster(fs, dir->entry);
            else
                result = fat_no_path;
        }
        if (result == fat_ok) {
            dir->mount_id = fs->mount_id;
            result = dir_rewind(dir);
        }
        if (result == fat_no_entry)
            result = fat_no_path;
        dir->short_name = nullptr;
        dir->long_name = nullptr;
    }
    if (result)
        dir->fs = nullptr;
    return result;
}
