// What the FAT and NTFS engines keep alike: the volume, the progress, the
// pause flag, the stop code and the two counters, read by the page while the
// scan thread writes them.
#pragma once

#include "recovery/recovery_base.h"

class counted_engine_c : public recovery_base_c {
    Q_OBJECT
public:
    using recovery_base_c::recovery_base_c;

    void set_volume(const volume_item_s& volume) override { volume_ = volume; }
    double progress() const override { return progress_; }
    void set_progress(double progress) override { progress_ = progress; }
    void set_stop(int code) override { stop_code_ = code; }
    int stop_code() const override { return stop_code_; }
    int paused() const override { return paused_; }
    void set_paused(int flag) override { paused_ = flag; }
    int64_t entries_read() const override { return entries_read_; }
    int64_t files_found() const override { return files_found_; }

protected:
    // Progress 0.0, the flags and both counters 0.
    void reset_counters()
    {
        progress_ = 0.0;
        paused_ = 0;
        stop_code_ = 0;
        entries_read_ = 0;
        files_found_ = 0;
    }

    volume_item_s volume_;
    volatile double progress_ = 0.0;
    volatile int paused_ = 0;
    volatile int stop_code_ = 0;
    volatile int64_t entries_read_ = 0;
    volatile int64_t files_found_ = 0;
};
