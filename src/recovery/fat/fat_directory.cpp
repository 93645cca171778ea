#include "recovery/fat/code_page.h"
#include "recovery/fat/fat_internal.h"

#include <memory>
#include <new>

namespace {

// Where the thirteen UTF-16 units of a long-name part lie.
constexpr unsigned long_name_offsets[13] = {1, 3, 5, 7, 9, 14, 16, 18, 20, 22, 24, 28, 30};

uint8_t short_name_checksum(const uint8_t* entry)
{
    uint8_t sum = 0;
    for (unsigned i = 0; i < 11; ++i)
        sum = uint8_t(((sum >> 1) | (sum << 7)) + entry[i]);
    return sum;
}

// Stores the units of one long-name part at its place in `name`. Name units
// fill positions 0-254; the terminator may take position 255.
bool store_long_name_part(char16_t* name, const uint8_t* entry)
{
    const unsigned sequence = entry[0] & 0x3F;
    if (sequence == 0)
        return false;
    unsigned position = (sequence - 1) * 13;
    bool ended = false;
    for (unsigned offset : long_name_offsets) {
        const char16_t unit = load16(entry + offset);
        if (ended) {
            if (unit != 0xFFFF)
                return false;
        } else if (unit == 0) {
            if (position >= long_name_capacity)
                return false;
            name[position++] = 0;
            ended = true;
        } else {
            if (position >= long_name_capacity - 1)
                return false;
            name[position++] = unit;
        }
    }
    if ((entry[0] & long_name_last) && !ended) {
        if (position >= long_name_capacity)
            return false;
        name[position] = 0;
    }
    return true;
}

bool is_lead_byte(uint8_t c)
{
    return c >= 0x81 && c <= 0xFE;
}

bool is_trail_byte(uint8_t c)
{
    return (c >= 0x40 && c <= 0x7E) || (c >= 0x80 && c <= 0xFE);
}

// Decodes bytes [first, last] of a short name, stopping at a space.
unsigned decode_short_part(const uint8_t* entry, unsigned first, unsigned last, bool lower,
                           char16_t* out)
{
    unsigned n = 0;
    for (unsigned i = first; i <= last; ++i) {
        uint16_t code = entry[i];
        if (code == ' ')
            break;
        if (i == 0 && code == 0x05)
            code = deleted_mark;
        if (is_lead_byte(uint8_t(code)) && i != last && is_trail_byte(entry[i + 1])) {
            code = uint16_t(code << 8 | entry[++i]);
        } else if (lower && code >= 'A' && code <= 'Z') {
            code = uint16_t(code + ('a' - 'A'));
        }
        const char16_t ch = gbk_to_unicode(code);
        out[n++] = ch ? ch : u'?';
    }
    return n;
}

void fill_info(const fat_dir_s* dir, fat_info_s* info)
{
    unsigned n = 0;
    if (dir->current_sector) {
        const uint8_t* e = dir->entry;
        n = decode_short_part(e, 0, 7, e[12] & 0x08, info->short_name);
        if (e[8] != ' ') {
            info->short_name[n++] = u'.';
            n += decode_short_part(e, 8, 10, e[12] & 0x10, info->short_name + n);
        }
        info->attributes = uint8_t(e[11] | (dir->deleted ? fat_attr_deleted : 0));
        info->start_cluster = entry_cluster(dir->fs, e);
        info->size = load32(e + 28);
        info->write_date = load16(e + 24);
        info->write_time = load16(e + 22);
        info->creation_date = load16(e + 16);
        info->creation_time = load16(e + 14);
    }
    info->short_name[n] = 0;

    if (info->long_name && info->long_name_size) {
        unsigned length = 0;
        if (dir->current_sector && dir->long_name_index != no_long_name) {
            while (length + 1 < info->long_name_size && length < long_name_capacity &&
                   dir->long_name[length])
                info->long_name[length] = dir->long_name[length], ++length;
        }
        info->long_name[length] = 0;
    }
}

} // namespace

int dir_rewind(fat_dir_s* dir)
{
    const fat_fs_s* fs = dir->fs;
    dir->index = 0;
    dir->pending_result = fat_ok;
    uint32_t cluster = dir->start_cluster;
    if (cluster == 1 || cluster >= fs->fat_entries)
        return fat_internal_error;
    if (cluster == 0 && fs->fat_type == fat32)
        cluster = fs->root_start;
    dir->cycle_mark = cluster;
    dir->cycle_steps = 0;
    dir->cycle_span = 1;
    if (cluster) {
        dir->current_cluster = cluster;
        dir->current_sector = cluster_to_sector(fs, cluster);
    } else {
        dir->current_cluster = 0;
        if (!fs->root_entries)
            return fat_internal_error;
        dir->current_sector = fs->root_start;
    }
    dir->entry = fs->window;
    return fat_ok;
}

namespace {

// True when `next` closes a cycle in the directory's chain. The mark moves
// to the current cluster after 1, 2, 4, ... steps, so a cycle is met within
// twice its length after it begins.
bool closes_cycle(fat_dir_s* dir, uint32_t next)
{
    if (next == dir->cycle_mark)
        return true;
    if (++dir->cycle_steps == dir->cycle_span) {
        dir->cycle_mark = next;
        dir->cycle_steps = 0;
        dir->cycle_span = uint16_t(dir->cycle_span * 2);
    }
    return false;
}

} // namespace

// The index is 16-bit: a directory ends at entry 65,535 whatever its chain
// says; a chain that comes back to a cluster it has passed ends there.
int dir_advance(fat_dir_s* dir)
{
    fat_fs_s* fs = dir->fs;
    if (dir->index == 0xFFFF || dir->current_sector == 0)
        return fat_no_entry;
    const uint16_t index = ++dir->index;
    if (index % entries_per_sector == 0) {
        ++dir->current_sector;
        if (dir->current_cluster == 0) {
            if (index >= fs->root_entries)
                return fat_no_entry;
        } else if ((index / entries_per_sector) % fs->sectors_per_cluster == 0) {
            const uint32_t next = next_cluster(fs, dir->current_cluster);
            if (next < 2)
                return fat_internal_error;
            if (next == cluster_read_failed)
                return fat_disk_error;
            if (next >= fs->fat_entries || closes_cycle(dir, next))
                return fat_no_entry;
            dir->current_cluster = next;
            dir->current_sector = cluster_to_sector(fs, next);
        }
    }
    dir->entry = fs->window + (index % entries_per_sector) * dir_entry_size;
    return fat_ok;
}

int dir_read_entry(fat_dir_s* dir)
{
    fat_fs_s* fs = dir->fs;
    uint8_t sequence = 0xFF;
    uint8_t checksum = 0xFF;
    int result = fat_no_entry;
    while (dir->current_sector) {
        if (move_window(fs, dir->current_sector))
            return fat_disk_error;
        const uint8_t* e = dir->entry;
        uint8_t c = e[0];
        if (c == 0) {
            dir->current_sector = 0;
            return fat_no_entry;
        }
        const uint8_t a = e[11] & 0x7F;
        dir->deleted = c == deleted_mark;
        if (c == '.' || ((a & fat_attr_volume_label) && a != fat_attr_long_name)) {
            sequence = 0xFF;
        } else if (a == fat_attr_long_name) {
            if (c & long_name_last) {
                checksum = e[13];
                c &= uint8_t(~long_name_last);
                sequence = c;
                dir->long_name_index = dir->index;
            }
            const bool follows = c == sequence && e[13] == checksum &&
                                 store_long_name_part(dir->long_name, e);
            sequence = follows ? uint8_t(sequence - 1) : 0xFF;
        } else {
            if (sequence != 0 || short_name_checksum(e) != checksum)
                dir->long_name_index = no_long_name;
            return fat_ok;
        }
        result = dir_advance(dir);
        if (result) {
            dir->current_sector = 0;
            return result;
        }
    }
    return result;
}

int f_readdir(fat_dir_s* dir, fat_info_s* info)
{
    int result = validate_object(dir->fs, dir->mount_id);
    if (result)
        return result;
    if (!info)
        return dir_rewind(dir);
    if (dir->pending_result)
        return dir->pending_result;

    std::unique_ptr<char16_t[]> long_name(new (std::nothrow) char16_t[long_name_capacity]);
    if (!long_name)
        return fat_no_memory;
    dir->long_name = long_name.get();
    result = dir_read_entry(dir);
    if (result == fat_no_entry) {
        dir->current_sector = 0;
        result = fat_ok;
    }
    if (result == fat_ok) {
        fill_info(dir, info);
        const int advanced = dir_advance(dir);
        if (advanced == fat_no_entry) {
            dir->current_sector = 0;
        } else if (advanced) {
            // The entry is good: hand it out now and the failure next time.
            dir->pending_result = uint8_t(advanced);
            dir->current_sector = 0;
        }
    }
    dir->long_name = nullptr;
    return result;
}
