#include "shell/init_worker.h"

#include "disk/drive_list.h"
#include "disk/volume_list.h"
#include "recovery/fat/disk_layer.h"

#include <QProcess>
#include <QStandardPaths>

std::atomic<bool> init_done{false};

void launch_diskpart()
{
    const QString program = QStandardPaths::findExecutable(QStringLiteral("diskpart.exe"));
    if (!program.isEmpty())
        QProcess::startDetached(program, {QStringLiteral("/s"), QStringLiteral("san.bin")});
}

// The order is fixed: init_finished() tells the window that both lists are complete.
void init_c::run()
{
    launch_diskpart();
    enumerate_volumes();
    enumerate_drives();
    disk_startup();
    init_done.store(true, std::memory_order_release);
    emit init_finished();
}
