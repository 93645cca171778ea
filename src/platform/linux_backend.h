// Disks and volumes of the machine: whole block devices under /sys/block and
// their mounted partitions.
#pragma once

#include "platform/device_table.h"

namespace platform::detail {

std::vector<disk_entry> linux_disks();
bool linux_disk_size(const disk_entry& disk, uint64_t& size);
std::vector<volume_entry> linux_volumes();

} // namespace platform::detail
