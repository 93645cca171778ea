// The deep-scan engine: the carving library finds files on the volume by
// their content; each report becomes a record, grouped by its extension.
#pragma once

#include "libcarve/libcarve.h"
#include "recovery/raw_file.h"
#include "recovery/recovery_base.h"

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

class raw_recovery_c : public recovery_base_c {
    Q_OBJECT
public:
    // Extension text -> record indexes, in discovery order.
    using group_map = std::unordered_map<std::string, std::vector<int64_t>>;

    using recovery_base_c::recovery_base_c;
    ~raw_recovery_c() override;

    // The carving library's one-time set-up, done before the first scan.
    static void initialise_library();

    void set_volume(const volume_item_s& volume) override;
    double progress() const override;
    void set_progress(double progress) override;
    void set_stop(int code) override;
    int stop_code() const override;
    int paused() const override;
    void set_paused(int flag) override;
    int64_t entries_read() const override { return 0; }
    void reset() override;
    // Copies exactly `size` bytes from the record's offset, fewer only where
    // the volume ends.
    int recover_file(int64_t id, QString path) override;

    // One file reported by the library.
    void on_found(const char* extension, int64_t offset, int64_t size);

    // The device path and the records, into a scan-result file; 0 or -1.
    int save_results(const QByteArray& name) const;
    // Replaces the records and groups by a scan-result file's and returns its
    // device path; an empty text, changing nothing, when the file is refused.
    QString read_results(const QByteArray& name);

    const std::vector<raw_file_s>& found_records() const { return records; }
    const group_map& found_groups() const { return groups; }
    const QString& scanned_device() const { return device_path; }

protected:
    void run() override;

private:
    volume_item_s volume;
    libcarve::carve_control_s control;
    group_map groups;
    std::vector<raw_file_s> records;
    QString device_path;
};
