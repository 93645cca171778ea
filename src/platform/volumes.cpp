#include "platform/volumes.h"

#include "platform/device_table.h"
#include "platform/fs_probe.h"

#include <sys/statvfs.h>
#include <unistd.h>

namespace platform::volumes {

namespace {

using detail::volume_entry;

bool find_by_mount_path(const std::string& mount_path, volume_entry& out)
{
    for (volume_entry& v : detail::current_volumes()) {
        for (const std::string& p : v.mount_paths) {
            if (p == mount_path) {
                out = std::move(v);
                return true;
            }
        }
    }
    return false;
}

bool probe(const volume_entry& v, detail::fs_info& info)
{
    const auto disks = detail::current_disks();
    if (v.disk_number >= disks.size())
        return false;
    const detail::byte_reader disk = detail::disk_reader(disks[v.disk_number]);
    const uint64_t start = v.start, length = v.length;
    const detail::byte_reader inside = [disk, start, length](uint64_t offset, void* buffer,
                                                              size_t size) {
        return offset <= length && size <= length - offset && disk(start + offset, buffer, size);
    };
    return detail::probe_file_system(inside, length, info);
}

} // namespace

bool find_volumes(std::vector<std::string>& names)
{
    names.clear();
    for (const volume_entry& v : detail::current_volumes())
        names.push_back(v.volume_name);
    return !names.empty();
}

bool query_dos_device(const std::string& dos_name, std::string& device_name)
{
    for (const volume_entry& v : detail::current_volumes()) {
        // volume_name is "\\?\" + dos_name + "\".
        if (v.volume_name.size() == dos_name.size() + 5 &&
            v.volume_name.compare(4, dos_name.size(), dos_name) == 0) {
            device_name = v.device_name;
            return true;
        }
    }
    return false;
}

bool path_names(const std::string& volume_name, std::vector<std::string>& paths)
{
    for (const volume_entry& v : detail::current_volumes()) {
        if (v.volume_name == volume_name) {
            paths = v.mount_paths;
            return true;
        }
    }
    return false;
}

unsigned drive_type(const std::string& mount_path)
{
    volume_entry v;
    return find_by_mount_path(mount_path, v) ? v.drive_type : unsigned(drive_no_root_dir);
}

bool volume_information(const std::string& mount_path, std::string& label,
                        std::string& file_system)
{
    volume_entry v;
    detail::fs_info info;
    if (!find_by_mount_path(mount_path, v) || !probe(v, info))
        return false;
    label = info.label;
    file_system = info.file_system;
    return true;
}

bool disk_free_space(const std::string& mount_path, uint64_t& total_bytes, uint64_t& free_bytes)
{
    volume_entry v;
    if (!find_by_mount_path(mount_path, v))
        return false;
    if (!detail::image_backend()) {
        struct statvfs st;
        if (::statvfs(mount_path.c_str(), &st) != 0)
            return false;
        total_bytes = uint64_t(st.f_blocks) * st.f_frsize;
        free_bytes = uint64_t(st.f_bfree) * st.f_frsize;
        return true;
    }
    detail::fs_info info;
    if (!probe(v, info))
        return false;
    total_bytes = info.total_bytes;
    free_bytes = info.free_bytes;
    return true;
}

std::string volume_for_partition(uint32_t disk, uint32_t partition)
{
    for (const volume_entry& v : detail::current_volumes())
        if (v.disk_number == disk && v.partition_number == partition)
            return v.volume_name;
    return {};
}

bool is_user_an_admin()
{
    return ::geteuid() == 0;
}

} // namespace platform::volumes
