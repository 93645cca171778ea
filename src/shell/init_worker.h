// The start-up worker: finds the disks and volumes while the window is
// already on screen, then says so once.
#pragma once

#include <QThread>

#include <atomic>

// False until the worker has filled the volume and drive lists; stored with
// release order just before init_finished(), so a reader that loads it with
// acquire order sees both lists complete.
extern std::atomic<bool> init_done;

class init_c : public QThread {
    Q_OBJECT

signals:
    void init_finished();

protected:
    void run() override;
};

// Starts the partitioning tool with the script beside the program, hidden and
// without waiting, when a program of that name is on the PATH.
void launch_diskpart();
