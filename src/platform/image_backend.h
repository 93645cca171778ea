// Disks and volumes from the disk image files named by ZORVANE_DISKS.
#pragma once

#include "platform/device_table.h"

namespace platform::detail {

std::vector<disk_entry> image_disks();
bool image_disk_size(const disk_entry& disk, uint64_t& size);
std::vector<volume_entry> image_volumes();

} // namespace platform::detail
