// The NTFS engine: asks the NTFS scanning library for every file record of a
// volume and keeps the directories and the deleted entries by record number.
#pragma once

#include "libntscan/ntscan.h"
#include "recovery/entry_tree.h"
#include "recovery/ntfs_entry.h"
#include "recovery/recovery_base.h"

class ntfs_recovery_c : public recovery_base_c {
    Q_OBJECT
public:
    explicit ntfs_recovery_c(QObject* parent = nullptr);
    ~ntfs_recovery_c() override;

    void set_volume(const volume_item_s& volume) override;
    double progress() const override { return progress_; }
    void set_progress(double progress) override { progress_ = progress; }
    void set_stop(int code) override { stop_code_ = code; }
    int stop_code() const override { return stop_code_; }
    int paused() const override { return paused_; }
    void set_paused(int flag) override { paused_ = flag; }
    int64_t entries_read() const override { return entries_read_; }
    void reset() override;
    int recover_file(int64_t id, QString path) override;
    int file_path(int64_t id, std::wstring* out) const override;
    int64_t files_found() const override { return files_found_; }

    // The share (0-100) of a deleted file's clusters that the volume marks
    // free, a measure of how much of it can still be had; -1 when unknown.
    int recoverable_share(int64_t id);

    const entry_hash<ntfs_entry_s>& entries() const { return entries_; }

    // "/dev/hd%c%d": disk letter from 'a', then the partition number.
    static QByteArray device_name(const volume_item_s& volume);

protected:
    void run() override;

private:
    void log_startup_failure(int result) const;
    int extract(int64_t id, const QByteArray& destination, int32_t* free_share);

    ntscan::ntfs_scan_context_s context_{};
    volume_item_s volume_;
    volatile double progress_ = 0.0;
    volatile int paused_ = 0;
    volatile int stop_code_ = 0;
    volatile int64_t entries_read_ = 0;
    volatile int64_t files_found_ = 0;
    entry_hash<ntfs_entry_s> entries_;
};
