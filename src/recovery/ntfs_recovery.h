// The NTFS engine: asks the NTFS scanning library for every file record of a
// volume and keeps the directories and the deleted entries by record number.
#pragma once

#include "libntscan/ntscan.h"
#include "recovery/entry_tree.h"
#include "recovery/ntfs_entry.h"
#include "recovery/counted_engine.h"

class ntfs_recovery_c : public counted_engine_c {
    Q_OBJECT
public:
    explicit ntfs_recovery_c(QObject* parent = nullptr);
    ~ntfs_recovery_c() override;

    void reset() override;
    int recover_file(int64_t id, QString path) override;
    int file_path(int64_t id, std::wstring* out) const override;

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
    entry_hash<ntfs_entry_s> entries_;
};
