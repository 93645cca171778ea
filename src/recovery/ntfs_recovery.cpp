#include "recovery/ntfs_recovery.h"

#include "platform/locations.h"

#include <QDir>
#include <QFile>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <ctime>

namespace {

ntfs_entry_s to_entry(const ntscan::ntfs_entry_s& record)
{
    ntfs_entry_s entry;
    entry.id = record.id;
    entry.parent = record.parent;
    entry.size = record.size;
    entry.date2 = record.date2;
    entry.date1 = record.date1;
    entry.flags = record.flags;
    std::copy(std::begin(record.name), std::end(record.name), entry.name);
    entry.name[259] = 0;
    return entry;
}

} // namespace

ntfs_recovery_c::ntfs_recovery_c(QObject* parent) : counted_engine_c(parent) {}

ntfs_recovery_c::~ntfs_recovery_c()
{
    stop_and_wait();
    if (context_.open)
        ntscan::ntfs_scan_release(&context_);
}

void ntfs_recovery_c::reset()
{
    reset_counters();
    entries_.clear();
}

QByteArray ntfs_recovery_c::device_name(const volume_item_s& volume)
{
    char name[260] = {};
    std::snprintf(name, sizeof name, "/dev/hd%c%d", char('a' + volume.disk_number),
                  volume.partition_number);
    return QByteArray(name);
}

void ntfs_recovery_c::log_startup_failure(int result) const
{
    char where[64];
    std::snprintf(where, sizeof where, "[%s:%d] ", "ntfs_recovery", 105);
    char message[96];
    std::snprintf(message, sizeof message, "ntfs_scan_startup failed with return value (%d)", result);

    const std::string log_path = platform::ntfs_log_file();
    if (!log_path.empty()) {
        QDir().mkpath(QFileInfo(QString::fromStdString(log_path)).path());
        if (FILE* log = std::fopen(log_path.c_str(), "a")) {
            const std::time_t now = std::time(nullptr);
            std::string stamp = std::ctime(&now);
            stamp = stamp.substr(0, stamp.find_first_of("\r\n"));
            std::fprintf(log, "%s  %s%s\n", stamp.c_str(), where, message);
            std::fclose(log);
        }
    }
    std::fprintf(stderr, "ERROR: %s%s\n", where, message);
    std::fflush(stderr);
}

void ntfs_recovery_c::run()
{
    reset();
    const QByteArray name = device_name(volume_);
    if (context_.open) {
        ntscan::ntfs_scan_release(&context_);
        std::memset(static_cast<void*>(&context_), 0, sizeof context_);
    }
    const int started = ntscan::ntfs_scan_startup(name.constData(), &context_);
    if (started < 0) {
        log_startup_failure(started);
        return;
    }

    while (stop_code_ == 0) {
        bool stopped_while_paused = false;
        while (paused_) {
            QThread::msleep(100);
            if (stop_code_ != 0) {
                stopped_while_paused = true;
                break;
            }
        }
        if (stopped_while_paused)
            break;

        ntscan::ntfs_entry_s record{};
        if (!ntscan::ntfs_scan_next(&context_, &record))
            break;
        const ntfs_entry_s entry = to_entry(record);
        const int32_t done = int32_t(context_.c3 + 8 * (context_.c1 + context_.c2));
        // A library that reports no total leaves the progress at 0 until the end.
        if (context_.total != 0)
            progress_ = double(done) / double(context_.total);
        entries_read_ = entries_read_ + 1;
        if ((entry.flags & ntfs_flag_deleted) || !(entry.flags & ntfs_flag_file)) {
            files_found_ = files_found_ + 1;
            entries_.insert(entry.id, entry);
        }
    }
    link_entries(entries_);
    mark_entries(entries_);
}

int ntfs_recovery_c::extract(int64_t id, const QByteArray& destination, int32_t* free_share)
{
    return ntscan::ntfs_scan_extract(&context_, id, destination.constData(), free_share);
}

int ntfs_recovery_c::recover_file(int64_t id, QString path)
{
    const QByteArray local = path.toLocal8Bit();
    std::remove(local.constData());
    int32_t free_share = 0;
    return extract(id, local, &free_share);
}

int ntfs_recovery_c::recoverable_share(int64_t id)
{
    int32_t free_share = -1;
    return extract(id, QByteArrayLiteral("/dev/null"), &free_share) < 0 ? -1 : free_share;
}

int ntfs_recovery_c::file_path(int64_t id, std::wstring* out) const
{
    return entry_file_path(entries_, id, volume_.mount_path, out);
}
