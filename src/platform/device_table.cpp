#include "platform/device_table.h"

#include "platform/image_backend.h"
#include "platform/linux_backend.h"

#include <cstdlib>
#include <fcntl.h>
#include <unistd.h>

namespace platform::detail {

bool image_backend()
{
    return std::getenv("ZORVANE_DISKS") != nullptr;
}

std::vector<disk_entry> current_disks()
{
    return image_backend() ? image_disks() : linux_disks();
}

bool disk_size(const disk_entry& disk, uint64_t& size)
{
    return image_backend() ? image_disk_size(disk, size) : linux_disk_size(disk, size);
}

std::vector<volume_entry> current_volumes()
{
    return image_backend() ? image_volumes() : linux_volumes();
}

byte_reader disk_reader(const disk_entry& disk)
{
    return [path = disk.backing](uint64_t offset, void* buffer, size_t length) {
        const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0)
            return false;
        size_t done = 0;
        while (done < length) {
            const ssize_t n = ::pread(fd, static_cast<char*>(buffer) + done, length - done,
                                      off_t(offset + done));
            if (n <= 0)
                break;
            done += size_t(n);
        }
        ::close(fd);
        return done == length;
    };
}

} // namespace platform::detail
