// The process-wide list of physical disks; entry 0 is the header entry.
#pragma once

#include "platform/device.h"

#include <QList>
#include <QMetaType>
#include <QString>

#include <cstdint>
#include <memory>

struct drive_item_s {
    QString path;       // "\\.\PhysicalDriveN"; empty in the header entry
    uint64_t size = 0;  // geometry product, bytes
    std::shared_ptr<const platform::disk_geometry> geometry; // null in the header entry
};
Q_DECLARE_METATYPE(drive_item_s)

QList<drive_item_s>& drive_list();

// Rebuilds the drive list: header entry, then disks 0..9 until the first that
// cannot be opened or queried. Returns 0.
int enumerate_drives();
