// The null engine: the recovery page's current engine before any scan, so that
// its timer, painting and buttons may call any operation at any time.
#pragma once

#include "recovery/recovery_base.h"

class recovery_stop_c : public recovery_base_c {
    Q_OBJECT
public:
    using recovery_base_c::recovery_base_c;

    void set_volume(const volume_item_s&) override {}
    double progress() const override { return 0.0; }
    void set_progress(double) override {}
    void set_stop(int) override {}
    int stop_code() const override { return stop_nothing; }
    int paused() const override { return 0; }
    void set_paused(int) override {}
    int64_t entries_read() const override { return 0; }
    void reset() override {}
    int recover_file(int64_t, QString) override { return 0; }
    int file_path(int64_t, std::wstring*) const override { return 0; }
    int64_t files_found() const override { return 0; }

protected:
    void run() override {} // never started
};
