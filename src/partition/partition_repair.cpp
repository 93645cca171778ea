#include "partition/partition_repair.h"

#include <QMutexLocker>

partition_repair_c::partition_repair_c(QObject* parent) : QThread(parent)
{
    static const int registered = qRegisterMetaType<partition_item_s>("partition_item_s");
    (void)registered;
}

partition_repair_c::~partition_repair_c()
{
    stop();
}

int partition_repair_c::set_drive(const drive_item_s& drive)
{
    if (isRunning())
        return -1;
    drive_ = drive;
    return 0;
}

void partition_repair_c::run()
{
    clear_found();
    progress_.store(0.0, std::memory_order_relaxed);
    if (drive_)
        scan(*drive_);
}

void partition_repair_c::stop()
{
    // Both this and start() run on the owner's thread, so clearing the flag
    // after the wait cannot swallow the stop of a later run.
    stop_requested_.store(true);
    wait();
    stop_requested_.store(false);
}

QList<partition_item_s> partition_repair_c::found() const
{
    QMutexLocker lock(&found_mutex_);
    return found_;
}

qsizetype partition_repair_c::found_count() const
{
    QMutexLocker lock(&found_mutex_);
    return found_.size();
}

void partition_repair_c::clear_found()
{
    QMutexLocker lock(&found_mutex_);
    found_.clear();
}

void partition_repair_c::append_found(const partition_item_s& partition)
{
    {
        QMutexLocker lock(&found_mutex_);
        found_.append(partition);
    }
    emit partition_found();
}
