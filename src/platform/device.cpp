#include "platform/device.h"

#include "platform/device_table.h"
#include "platform/handle.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform::device {

namespace {

using detail::disk_entry;
using detail::volume_entry;

constexpr const char* disk_prefix = "\\\\.\\PhysicalDrive";
constexpr const char* volume_prefix = "\\\\?\\Volume{";

bool starts_with(const std::string& text, const char* prefix)
{
    return text.rfind(prefix, 0) == 0;
}

// The disk number of "\\.\PhysicalDriveN", or -1.
int disk_number_of(const std::string& path)
{
    if (!starts_with(path, disk_prefix))
        return -1;
    const std::string digits = path.substr(std::string(disk_prefix).size());
    if (digits.empty() || digits.size() > 3 || digits.find_first_not_of("0123456789") != std::string::npos)
        return -1;
    return std::atoi(digits.c_str());
}

const volume_entry* find_volume(const std::vector<volume_entry>& volumes, std::string path)
{
    if (!path.empty() && path.back() != '\\')
        path += '\\';
    for (const volume_entry& v : volumes)
        if (v.volume_name == path)
            return &v;
    return nullptr;
}

int open_flags(unsigned desired_access)
{
    const bool writing = desired_access & generic_write;
    return (writing ? O_RDWR : O_RDONLY) | O_CLOEXEC;
}

// Opens the descriptors of a disk or volume backing; false if it cannot be read.
bool open_backing(handle& h, unsigned flags)
{
    if (h.access == query_only)
        return true;
    h.fd = ::open(h.backing.c_str(), open_flags(h.access));
    if (h.fd < 0)
        return false;
    if (flags & no_buffering)
        h.direct_fd = ::open(h.backing.c_str(), open_flags(h.access) | O_DIRECT);
    return true;
}

handle* open_disk(int number, unsigned desired_access, unsigned flags)
{
    const std::vector<disk_entry> disks = detail::current_disks();
    if (number < 0 || size_t(number) >= disks.size())
        return nullptr;
    const disk_entry& disk = disks[size_t(number)];
    uint64_t size = 0;
    if (!detail::disk_size(disk, size))
        return nullptr;
    auto* h = new handle;
    h->kind = handle::disk;
    h->access = desired_access;
    h->backing = disk.backing;
    h->length = size;
    h->sector_size = disk.sector_size;
    h->disk_number = uint32_t(number);
    h->removable = disk.removable;
    h->sysfs_dir = disk.sysfs_dir;
    if (!open_backing(*h, flags)) {
        delete h;
        return nullptr;
    }
    return h;
}

handle* open_volume(const std::string& path, unsigned desired_access, unsigned flags)
{
    const std::vector<volume_entry> volumes = detail::current_volumes();
    const volume_entry* v = find_volume(volumes, path);
    if (!v)
        return nullptr;
    const std::vector<disk_entry> disks = detail::current_disks();
    const disk_entry& disk = disks[v->disk_number];
    auto* h = new handle;
    h->kind = handle::volume;
    h->access = desired_access;
    h->backing = disk.backing;
    h->base = v->start;
    h->length = v->length;
    h->sector_size = disk.sector_size;
    h->disk_number = v->disk_number;
    h->partition_number = v->partition_number;
    h->removable = disk.removable;
    h->sysfs_dir = disk.sysfs_dir;
    if (!open_backing(*h, flags)) {
        delete h;
        return nullptr;
    }
    return h;
}

handle* open_file(const std::string& path, unsigned desired_access, unsigned creation)
{
    int mode = open_flags(desired_access);
    if (creation == create_always)
        mode = (desired_access & generic_read ? O_RDWR : O_WRONLY) | O_CREAT | O_TRUNC | O_CLOEXEC;
    const int fd = ::open(path.c_str(), mode, 0644);
    if (fd < 0)
        return nullptr;
    struct stat st;
    if (::fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
        ::close(fd);
        return nullptr;
    }
    auto* h = new handle;
    h->kind = handle::file;
    h->access = desired_access;
    h->fd = fd;
    h->backing = path;
    return h;
}

bool aligned(const void* buffer, uint64_t offset, uint32_t length, uint32_t alignment)
{
    return reinterpret_cast<uintptr_t>(buffer) % alignment == 0 && offset % alignment == 0 &&
           length % alignment == 0;
}

// How many bytes from the current position lie inside the handle's window.
uint32_t clamp_to_window(const handle& h, uint32_t length)
{
    if (h.kind == handle::file)
        return length;
    if (h.position >= h.length)
        return 0;
    const uint64_t left = h.length - h.position;
    return left < length ? uint32_t(left) : length;
}

ssize_t transfer(int fd, bool writing, void* buffer, size_t length, uint64_t offset)
{
    return writing ? ::pwrite(fd, buffer, length, off_t(offset))
                   : ::pread(fd, buffer, length, off_t(offset));
}

// Whole transfer at the backing offset; the unbuffered descriptor is used when
// the request meets its alignment, the buffered one otherwise or if it refuses.
bool transfer_all(handle& h, bool writing, void* buffer, uint32_t length, uint32_t* done)
{
    const uint64_t offset = h.base + h.position;
    uint32_t total = 0;
    bool direct = h.direct_fd >= 0 && aligned(buffer, offset, length, h.sector_size);
    while (total < length) {
        const int fd = direct ? h.direct_fd : h.fd;
        const ssize_t n = transfer(fd, writing, static_cast<char*>(buffer) + total,
                                   length - total, offset + total);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && direct && errno == EINVAL) {
            direct = false;
            continue;
        }
        if (n < 0)
            return false;
        if (n == 0)
            break;
        total += uint32_t(n);
        if (direct && total % h.sector_size != 0)
            direct = false;
    }
    if (writing && h.kind != handle::file && ::fdatasync(h.fd) != 0)
        return false;
    h.position += total;
    *done = total;
    return true;
}

} // namespace

handle* open(const std::string& path, unsigned desired_access, unsigned flags, unsigned creation)
{
    const int number = disk_number_of(path);
    if (number >= 0)
        return creation == open_existing ? open_disk(number, desired_access, flags) : nullptr;
    if (starts_with(path, volume_prefix))
        return creation == open_existing ? open_volume(path, desired_access, flags) : nullptr;
    if (starts_with(path, "\\\\"))
        return nullptr;
    return open_file(path, desired_access, creation);
}

void close(handle* h)
{
    if (!h)
        return;
    if (h->fd >= 0)
        ::close(h->fd);
    if (h->direct_fd >= 0)
        ::close(h->direct_fd);
    delete h;
}

bool seek(handle* h, uint64_t offset, uint64_t* new_position)
{
    if (!h || h->access == query_only || int64_t(offset) < 0)
        return false;
    h->position = offset;
    if (new_position)
        *new_position = offset;
    return true;
}

bool read(handle* h, void* buffer, uint32_t length, uint32_t* bytes_read)
{
    *bytes_read = 0;
    if (!h || !(h->access & generic_read) || !buffer)
        return false;
    return transfer_all(*h, false, buffer, clamp_to_window(*h, length), bytes_read);
}

bool write(handle* h, const void* buffer, uint32_t length, uint32_t* bytes_written)
{
    *bytes_written = 0;
    if (!h || !(h->access & generic_write) || !buffer)
        return false;
    const uint32_t inside = clamp_to_window(*h, length);
    if (inside < length)
        return false; // no write beyond the end of a disk or volume
    return transfer_all(*h, true, const_cast<void*>(buffer), length, bytes_written);
}

bool drive_geometry(handle* h, disk_geometry* out)
{
    if (!h || h->kind == handle::file || !check_verify(h))
        return false;
    uint64_t size = 0;
    if (h->kind == handle::disk) {
        size = h->length;
    } else {
        const auto disks = detail::current_disks();
        if (h->disk_number >= disks.size() || !detail::disk_size(disks[h->disk_number], size))
            return false;
    }
    const uint64_t bytes = h->sector_size;
    const bool small = size < 255ULL * 63 * bytes;
    out->bytes_per_sector = h->sector_size;
    out->tracks_per_cylinder = small ? 64 : 255;
    out->sectors_per_track = small ? 32 : 63;
    out->cylinders = int64_t(size / (uint64_t(out->tracks_per_cylinder) * out->sectors_per_track * bytes));
    out->media_type = h->removable ? removable_media : fixed_media;
    return true;
}

bool partition_info(handle* h, partition_information* out)
{
    if (!h || h->kind != handle::volume)
        return false;
    out->starting_offset = h->base;
    out->partition_length = h->length;
    out->partition_number = h->partition_number;
    return true;
}

bool volume_disk_extents(handle* h, disk_extent* out)
{
    if (!h || h->kind != handle::volume)
        return false;
    out->disk_number = h->disk_number;
    out->starting_offset = h->base;
    out->extent_length = h->length;
    return true;
}

bool check_verify(handle* h)
{
    if (!h || h->kind == handle::file)
        return false;
    if (detail::image_backend()) {
        struct stat st;
        return ::stat(h->backing.c_str(), &st) == 0 && S_ISREG(st.st_mode);
    }
    uint64_t size = 0;
    detail::disk_entry disk;
    disk.sysfs_dir = h->sysfs_dir;
    return detail::disk_size(disk, size) && size > 0;
}

bool is_writable(handle* h)
{
    if (!h || h->kind == handle::file)
        return false;
    return ::access(h->backing.c_str(), W_OK) == 0;
}

std::string backing_path(const std::string& path)
{
    const int number = disk_number_of(path);
    if (number >= 0) {
        const auto disks = detail::current_disks();
        return size_t(number) < disks.size() ? disks[size_t(number)].backing : std::string();
    }
    if (starts_with(path, volume_prefix)) {
        const auto volumes = detail::current_volumes();
        const volume_entry* v = find_volume(volumes, path);
        return v ? detail::current_disks()[v->disk_number].backing : std::string();
    }
    return {};
}

} // namespace platform::device
