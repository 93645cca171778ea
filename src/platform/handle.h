// What a device handle holds: the backing file descriptors and the window of
// the backing that the opened name covers.
#pragma once

#include "platform/device.h"

#include <cstdint>
#include <string>

namespace platform::device {

class handle {
public:
    enum kind_t { disk, volume, file };

    kind_t kind = file;
    unsigned access = query_only;
    int fd = -1;        // buffered descriptor; -1 for query-only opens
    int direct_fd = -1; // O_DIRECT descriptor when the backing allows it
    uint64_t base = 0;  // where the window starts on the backing
    uint64_t length = 0; // window size; ordinary files are unbounded
    uint64_t position = 0;
    std::string backing;
    uint32_t sector_size = 512;
    uint32_t disk_number = 0;
    uint32_t partition_number = 0;
    bool removable = true;
    std::string sysfs_dir;
};

} // namespace platform::device
