#include "device_source.h"

#include "platform/device.h"
#include "platform/volumes.h"

#include <limits>

namespace ntscan {

std::unique_ptr<device_source> device_source::open(uint32_t disk, uint32_t partition)
{
    std::string volume = platform::volumes::volume_for_partition(disk, partition);
    if (volume.empty()) return nullptr;
    if (volume.back() == '\\') volume.pop_back();
    platform::device::handle* h = platform::device::open(volume, platform::device::generic_read);
    if (!h) return nullptr;
    std::unique_ptr<device_source> source(new device_source(h));
    platform::partition_information info;
    if (platform::device::partition_info(h, &info)) source->size_ = info.partition_length;
    platform::disk_geometry geometry;
    if (platform::device::drive_geometry(h, &geometry) && geometry.bytes_per_sector != 0)
        source->sector_size_ = geometry.bytes_per_sector;
    return source;
}

device_source::~device_source() { platform::device::close(handle_); }

bool device_source::read(uint64_t offset, void* buffer, size_t length)
{
    if (size_ != 0 && (offset > size_ || length > size_ - offset)) return false;
    if (!platform::device::seek(handle_, offset)) return false;
    auto* out = static_cast<uint8_t*>(buffer);
    while (length > 0) {
        uint32_t piece = uint32_t(std::min<size_t>(length, std::numeric_limits<uint32_t>::max() & ~0xFFFu));
        uint32_t got = 0;
        if (!platform::device::read(handle_, out, piece, &got) || got == 0) return false;
        out += got;
        length -= got;
    }
    return true;
}

} // namespace ntscan
