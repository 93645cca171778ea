// The interface of every file-recovery engine: a worker thread whose run()
// performs one whole scan, polled by the recovery page through these operations.
#pragma once

#include "disk/volume_list.h"

#include <QString>
#include <QThread>

#include <cstdint>
#include <string>

// What stop_code() means once the thread has finished.
enum recovery_stop : int {
    stop_none = 0,     // the scan may go on, or ran to its end
    stop_nothing = 1,  // never stored: nothing to do
    stop_abandon = 2,  // the page was left: results are discarded
    stop_by_user = 3,  // the Stop button: results so far are shown
};

class recovery_base_c : public QThread {
    Q_OBJECT
public:
    using QThread::QThread;

    virtual void set_volume(const volume_item_s& volume) = 0;
    virtual double progress() const = 0;
    virtual void set_progress(double progress) = 0;
    virtual void set_stop(int code) = 0;
    virtual int stop_code() const;
    virtual int paused() const = 0;
    virtual void set_paused(int flag) = 0;
    virtual int64_t entries_read() const = 0;
    // Progress, flags and counters to 0; results emptied; the volume kept.
    virtual void reset() = 0;
    // Writes entry `id` to `path`, creating or truncating it; 0 on success.
    virtual int recover_file(int64_t id, QString path) = 0;
    // Appends where entry `id` lives on the mounted volume; 0, or -1.
    virtual int file_path(int64_t id, std::wstring* out) const;
    virtual int64_t files_found() const;

protected:
    // A thread may not be destroyed while it runs: each engine's destructor
    // calls this first, so a scan still going at exit ends at its next check.
    void stop_and_wait();
};
