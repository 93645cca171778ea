// DISK on the command line: a disk number or its \\.\PhysicalDriveN path.
#pragma once

#include "disk/drive_list.h"

#include <QString>

// The drive-list entry the argument names (the list is enumerated first), or
// null with `error` set.
const drive_item_s* find_disk(const QString& argument, QString& error);
