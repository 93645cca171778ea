#include "recovery/fat_recovery.h"

#include "platform/debug_log.h"
#include "platform/device.h"
#include "recovery/fat/fat_volume.h"

#include <QFile>

#include <cstdio>
#include <ctime>
#include <vector>

namespace {

// The driver's one file-system object: there is one FAT engine in the program.
fat_fs_s& driver_fs()
{
    static fat_fs_s fs;
    return fs;
}

// Partition number, start sector and disk of the volume the path names.
bool locate_volume(QString path, volume_slot_s& slot)
{
    if (path.endsWith(u'\\') || path.endsWith(u'/'))
        path.chop(1);
    platform::device::handle* h = platform::device::open(
        path.toStdString(), platform::device::generic_read, platform::device::no_buffering);
    if (!h)
        return false;
    platform::partition_information partition;
    platform::disk_extent extent;
    const bool located = platform::device::partition_info(h, &partition) &&
                         platform::device::volume_disk_extents(h, &extent);
    platform::device::close(h);
    if (!located)
        return false;
    slot.disk = uint8_t(extent.disk_number);
    slot.partition = uint8_t(partition.partition_number);
    slot.start_sector = uint32_t(partition.starting_offset / 512);
    return true;
}

template <size_t N>
void copy_name(char16_t (&to)[N], const char16_t* from)
{
    size_t i = 0;
    for (; i + 1 < N && from[i]; ++i)
        to[i] = from[i];
    to[i] = 0;
}

} // namespace

// A directory being read, with what its entries inherit.
struct fat_recovery_c::open_directory {
    fat_dir_s dir;
    uint32_t cluster = 0;       // the parent cluster of its entries
    uint8_t in_deleted_dir = 0;
};

fat_recovery_c::fat_recovery_c(QObject* parent) : counted_engine_c(parent) {}

fat_recovery_c::~fat_recovery_c()
{
    stop_and_wait();
}

void fat_recovery_c::reset()
{
    reset_counters();
    entries_.clear();
}

int64_t fat_recovery_c::fat_time(uint16_t date, uint16_t time)
{
    std::tm calendar{};
    calendar.tm_year = (date >> 9) + 80;
    calendar.tm_mon = ((date >> 5) & 15) - 1;
    calendar.tm_mday = date & 31;
    calendar.tm_hour = time >> 11;
    calendar.tm_min = (time >> 5) & 63;
    calendar.tm_sec = (time & 31) * 2;
    calendar.tm_isdst = 0;
    const std::time_t seconds = std::mktime(&calendar);
    return seconds == std::time_t(-1) ? 0 : int64_t(seconds);
}

void fat_recovery_c::run()
{
    reset();
    volume_slot_s slot;
    if (locate_volume(volume_.volume_name, slot))
        fat_volume_table()[0] = slot;
    f_attach(0, &driver_fs());
    platform::debug_log("Start Fat Scan.\n");
    walk_volume();

    fat_entry_s root;
    root.attributes = fat_attribute_directory;
    entries_.insert(0, root);
    link_entries(entries_);
    mark_entries(entries_);
}

bool fat_recovery_c::open_root(open_directory& top)
{
    if (f_opendir(&top.dir, u"/") != fat_ok) {
        platform::debug_log("f_opendir failed 1.\n");
        return false;
    }
    return true;
}

bool fat_recovery_c::open_subdirectory(open_directory& frame)
{
    if (f_opendir(&frame.dir, u"/") != fat_ok) {
        platform::debug_log("f_opendir failed 2.\n");
        return false;
    }
    frame.dir.start_cluster = frame.cluster;
    frame.dir.current_cluster = frame.cluster;
    return f_readdir(&frame.dir, nullptr) == fat_ok;
}

bool fat_recovery_c::wait_while_paused()
{
    while (paused_) {
        if (stop_code_ != 0)
            return false;
        QThread::msleep(100);
    }
    return true;
}

int fat_recovery_c::next_entry(open_directory& frame, fat_info_s& info)
{
    const double p = double(entries_read_) / 2000.0;
    progress_ = p <= 1.0 ? p : 0.99;
    entries_read_ = entries_read_ + 1;
    platform::debug_log("file count:%d\n", int(entries_read_));
    if (f_readdir(&frame.dir, &info) != fat_ok) {
        platform::debug_log("f_readdir failed 1.\n");
        return 0;
    }
    return info.short_name[0] != 0;
}

// Depth first, entry by entry, as a recursive walk would go; the open
// directories live on an explicit stack so that a crafted chain of nested
// directories cannot exhaust the thread's stack.
void fat_recovery_c::walk_volume()
{
    static char16_t long_name[512];
    std::vector<open_directory> stack(1);
    if (!open_root(stack.back()))
        return;
    while (!stack.empty()) {
        open_directory& frame = stack.back();
        if (stop_code_ != 0 || !wait_while_paused()) {
            stack.pop_back();
            continue;
        }
        fat_info_s info;
        info.long_name = long_name;
        info.long_name_size = 512;
        long_name[0] = 0;
        if (!next_entry(frame, info)) {
            stack.pop_back();
            continue;
        }
        const bool listed = (info.attributes & (fat_attribute_directory | fat_attribute_deleted)) != 0;
        if (info.start_cluster == 0 || info.short_name[0] == u'.' || !listed)
            continue;

        fat_entry_s entry;
        entry.in_deleted_dir = frame.in_deleted_dir;
        entry.start_cluster = info.start_cluster;
        entry.size = info.size;
        entry.attributes = info.attributes;
        if (frame.in_deleted_dir)
            entry.attributes |= fat_attribute_deleted;
        entry.parent_cluster = frame.cluster;
        entry.modified = fat_time(info.write_date, info.write_time);
        entry.created = fat_time(info.creation_date, info.creation_time);
        copy_name(entry.name, long_name[0] ? long_name : info.short_name);
        if (entry.attributes & fat_attribute_deleted)
            entry.name[0] = u'#';

        if (store(entry) && (entry.attributes & fat_attribute_directory)) {
            open_directory child;
            child.cluster = entry.start_cluster;
            child.in_deleted_dir = frame.in_deleted_dir
                                       ? frame.in_deleted_dir
                                       : uint8_t((entry.attributes & fat_attribute_deleted) ? 1 : 0);
            if (open_subdirectory(child))
                stack.push_back(child);
        }
    }
}

bool fat_recovery_c::store(const fat_entry_s& n)
{
    const auto found = entries_.find(n.start_cluster);
    if (found == entries_.end()) {
        entries_.insert(n.start_cluster, n);
        files_found_ = files_found_ + 1;
        return true;
    }
    fat_entry_s& e = *found;
    const bool n_directory = n.attributes & fat_attribute_directory;
    const bool n_deleted = n.attributes & fat_attribute_deleted;
    const bool e_live_directory = (e.attributes & fat_attribute_directory) &&
                                  !(e.attributes & fat_attribute_deleted);
    if (!e.in_deleted_dir && n.in_deleted_dir)
        return false;
    if (!n_directory && n_deleted) {
        if (n.created > e.created)
            e = n;
    } else if (n_directory && n_deleted) {
        if (!e_live_directory && n.created > e.created)
            e = n;
    } else if (n_directory) {
        e = n;
    }
    return false;
}

int fat_recovery_c::recover_file(int64_t id, QString path)
{
    const auto found = entries_.constFind(uint32_t(id));
    if (found == entries_.cend())
        return -1;
    fat_fs_s& fs = driver_fs();
    fat_file_s file;
    file.fs = &fs;
    file.mount_id = fs.mount_id;
    file.flags = fat_file_read;
    file.size = found->size;
    file.start_cluster = found->start_cluster;
    FILE* out = std::fopen(QFile::encodeName(path).constData(), "wb");
    if (!out)
        return -1;
    const int contiguous = (found->attributes & fat_attribute_deleted) ? 1 : 0;
    uint8_t buffer[4096];
    bool written = true;
    for (;;) {
        uint32_t got = 0;
        f_readdata(&file, buffer, sizeof buffer, &got, contiguous);
        if (got == 0)
            break;
        if (std::fwrite(buffer, 1, got, out) != got) {
            written = false; // a full destination is a failure, not a short file
            break;
        }
    }
    return std::fclose(out) == 0 && written ? 0 : -1;
}

int fat_recovery_c::file_path(int64_t id, std::wstring* out) const
{
    return entry_file_path(entries_, uint32_t(id), volume_.mount_path, out);
}
