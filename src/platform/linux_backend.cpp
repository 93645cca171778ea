#include "platform/linux_backend.h"

#include "platform/volume_naming.h"
#include "platform/volumes.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

namespace fs = std::filesystem;

namespace platform::detail {

namespace {

std::string read_line(const fs::path& path)
{
    std::ifstream in(path);
    std::string line;
    std::getline(in, line);
    return line;
}

uint64_t read_number(const fs::path& path)
{
    try {
        return std::stoull(read_line(path));
    } catch (...) {
        return 0;
    }
}

bool starts_with(const std::string& text, const char* prefix)
{
    return text.rfind(prefix, 0) == 0;
}

// Whole disks only: partitions, ram disks and unbacked loop devices are left out.
bool is_listed_disk(const std::string& name, const fs::path& dir)
{
    if (starts_with(name, "loop"))
        return fs::exists(dir / "loop" / "backing_file");
    if (starts_with(name, "mmcblk"))
        return name.find("boot") == std::string::npos && name.find("rpmb") == std::string::npos;
    return starts_with(name, "sd") || starts_with(name, "nvme") || starts_with(name, "vd");
}

// /proc/self/mountinfo: mount points by "major:minor", in the order mounted.
std::map<std::string, std::vector<std::string>> mount_points()
{
    std::map<std::string, std::vector<std::string>> points;
    std::ifstream in("/proc/self/mountinfo");
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        std::string id, parent, device, root, point;
        if (!(fields >> id >> parent >> device >> root >> point))
            continue;
        std::string unescaped;
        for (size_t i = 0; i < point.size(); ++i) {
            if (point[i] == '\\' && i + 3 < point.size()) {
                unescaped += char(std::stoi(point.substr(i + 1, 3), nullptr, 8));
                i += 3;
            } else {
                unescaped += point[i];
            }
        }
        auto& list = points[device];
        if (std::find(list.begin(), list.end(), unescaped) == list.end())
            list.push_back(unescaped);
    }
    return points;
}

} // namespace

std::vector<disk_entry> linux_disks()
{
    std::vector<std::string> names;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator("/sys/block", ec)) {
        const std::string name = entry.path().filename().string();
        if (is_listed_disk(name, entry.path()))
            names.push_back(name);
    }
    std::sort(names.begin(), names.end());
    std::vector<disk_entry> disks;
    for (const std::string& name : names) {
        disk_entry disk;
        disk.backing = "/dev/" + name;
        disk.sysfs_dir = "/sys/block/" + name;
        const uint64_t logical = read_number(disk.sysfs_dir + "/queue/logical_block_size");
        disk.sector_size = logical ? uint32_t(logical) : 512;
        disk.removable = read_number(disk.sysfs_dir + "/removable") != 0;
        disks.push_back(std::move(disk));
    }
    return disks;
}

bool linux_disk_size(const disk_entry& disk, uint64_t& size)
{
    if (disk.sysfs_dir.empty() || !fs::exists(disk.sysfs_dir + "/size"))
        return false;
    size = read_number(disk.sysfs_dir + "/size") * 512; // sysfs counts 512-byte units
    return true;
}

std::vector<volume_entry> linux_volumes()
{
    std::vector<volume_entry> result;
    const auto mounts = mount_points();
    const std::vector<disk_entry> disks = linux_disks();
    for (uint32_t n = 0; n < disks.size(); ++n) {
        std::vector<fs::path> parts;
        std::error_code ec;
        for (const auto& entry : fs::directory_iterator(disks[n].sysfs_dir, ec))
            if (fs::exists(entry.path() / "partition"))
                parts.push_back(entry.path());
        std::sort(parts.begin(), parts.end());
        for (const fs::path& part : parts) {
            volume_entry v;
            const std::string node = "/dev/" + part.filename().string();
            v.partition_number = uint32_t(read_number(part / "partition"));
            v.start = read_number(part / "start") * 512;
            v.length = read_number(part / "size") * 512;
            v.disk_number = n;
            v.volume_name = volume_guid_path(node, v.start);
            v.device_name = volume_device_name(unsigned(result.size() + 1));
            const auto mounted = mounts.find(read_line(part / "dev"));
            if (mounted != mounts.end())
                v.mount_paths = mounted->second;
            v.drive_type = disks[n].removable ? volumes::drive_removable : volumes::drive_fixed;
            result.push_back(std::move(v));
        }
    }
    return result;
}

} // namespace platform::detail
