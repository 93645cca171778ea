// Whether a destination folder lies on the volume being recovered from, where
// writing could overwrite the files still to be recovered.
#pragma once

#include "disk/volume_list.h"

#include <QString>

// True when `folder` is on the volume's own device, or at or under one of the
// volume's mount paths.
bool folder_on_volume(const QString& folder, const volume_item_s& volume);
