#include "fat_walk.h"

#include <set>

namespace {

// Deep enough for any real tree; crafted ones must not exhaust the stack.
constexpr unsigned max_depth = 128;

struct walker {
    std::vector<walk_row> rows;
    std::set<uint32_t> seen;
    size_t limit;

    void walk(const std::u16string& path, uint32_t cluster, bool in_deleted_dir, unsigned depth)
    {
        if (depth > max_depth)
            return;
        fat_dir_s dir;
        if (f_opendir(&dir, u"/") != fat_ok)
            return;
        if (cluster) {
            dir.start_cluster = dir.current_cluster = cluster;
            if (f_readdir(&dir, nullptr) != fat_ok)
                return;
        }
        char16_t long_name[512];
        while (rows.size() < limit) {
            fat_info_s info;
            info.long_name = long_name;
            info.long_name_size = 512;
            if (f_readdir(&dir, &info) != fat_ok || !info.short_name[0])
                return;
            walk_row row;
            row.short_name = info.short_name;
            row.long_name = long_name;
            row.path = path + u"/" + (row.long_name.empty() ? row.short_name : row.long_name);
            row.attributes = info.attributes;
            row.cluster = info.start_cluster;
            row.size = info.size;
            row.in_deleted_dir = in_deleted_dir;
            rows.push_back(row);
            if ((row.attributes & fat_attr_directory) && row.cluster && seen.insert(row.cluster).second)
                walk(row.path, row.cluster, in_deleted_dir || (row.attributes & fat_attr_deleted),
                     depth + 1);
        }
    }
};

} // namespace

std::vector<walk_row> walk_volume(size_t limit)
{
    walker w;
    w.limit = limit;
    w.walk(u"", 0, false, 0);
    return w.rows;
}

std::vector<uint8_t> read_entry(fat_fs_s* fs, uint32_t cluster, uint32_t size, bool contiguous,
                                int* result)
{
    fat_file_s file;
    file.fs = fs;
    file.mount_id = fs->mount_id;
    file.flags = fat_file_read;
    file.size = size;
    file.start_cluster = cluster;
    std::vector<uint8_t> out;
    uint8_t buffer[4096];
    for (;;) {
        uint32_t got = 0;
        const int r = f_readdata(&file, buffer, sizeof buffer, &got, contiguous);
        out.insert(out.end(), buffer, buffer + got);
        if (result)
            *result = r;
        if (r != fat_ok || got == 0)
            return out;
    }
}
