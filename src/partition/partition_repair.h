// The partition search worker: finds lost NTFS and FAT32 partitions on a disk
// by their boot sectors, and writes them into a new sector 0 on request.
#pragma once

#include "disk/drive_list.h"
#include "partition/partition_item.h"

#include <QList>
#include <QMutex>
#include <QThread>

#include <atomic>
#include <optional>

class partition_repair_c : public QThread {
    Q_OBJECT

public:
    explicit partition_repair_c(QObject* parent = nullptr);
    ~partition_repair_c() override;

    // The disk the next run scans and the repair writes; a copy, so that a
    // rebuilt drive list cannot pull it away. Refused (-1) while running.
    int set_drive(const drive_item_s& drive);

    // The search itself; run() calls it with the drive set. Returns -1 when
    // the disk cannot be opened, else 0.
    int scan(const drive_item_s& drive);

    // Writes sector 0 of the drive from the found list, after saving its old
    // content to the backup folder. Returns 0 when all 512 bytes were written,
    // -1 when nothing or not all was (also while running or without a drive).
    int repair();

    // Ends a running scan before its next read and waits for the thread to end.
    // Every partition found so far stays in the list.
    void stop();

    // Safe to call from any thread while the worker appends: a copy of the
    // found list, in the order found (ascending start sector).
    QList<partition_item_s> found() const;
    qsizetype found_count() const;
    // Share of the disk passed, 0.0 to 1.0.
    double progress() const { return progress_.load(std::memory_order_relaxed); }

signals:
    void partition_found();

protected:
    void run() override;

private:
    void clear_found();
    void append_found(const partition_item_s& partition);

    std::optional<drive_item_s> drive_;
    // Held only to append or to copy the list; copies share the elements
    // until the next append, so a reader never waits on a disk read.
    mutable QMutex found_mutex_;
    QList<partition_item_s> found_;
    std::atomic<double> progress_{0.0};
    std::atomic<bool> stop_requested_{false};
};
