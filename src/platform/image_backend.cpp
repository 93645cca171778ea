#include "platform/image_backend.h"

#include "platform/partition_table.h"
#include "platform/volume_naming.h"
#include "platform/volumes.h"

#include <cstdlib>
#include <filesystem>
#include <sys/stat.h>

namespace platform::detail {

namespace {

// "path" or "path@4096": the image and its logical sector size.
disk_entry parse_entry(const std::string& text)
{
    disk_entry disk;
    disk.backing = text;
    const size_t at = text.rfind('@');
    if (at != std::string::npos) {
        const std::string size = text.substr(at + 1);
        char* end = nullptr;
        const unsigned long value = std::strtoul(size.c_str(), &end, 10);
        if (!size.empty() && *end == '\0' && value >= 512 && value <= 65536 &&
            (value & (value - 1)) == 0) {
            disk.backing = text.substr(0, at);
            disk.sector_size = uint32_t(value);
        }
    }
    if (!disk.backing.empty()) {
        std::error_code ec;
        const auto absolute = std::filesystem::absolute(disk.backing, ec);
        if (!ec)
            disk.backing = absolute.lexically_normal().string();
    }
    return disk;
}

} // namespace

std::vector<disk_entry> image_disks()
{
    std::vector<disk_entry> disks;
    const char* list = std::getenv("ZORVANE_DISKS");
    if (!list || !*list)
        return disks;
    std::string text = list;
    size_t from = 0;
    while (true) {
        const size_t colon = text.find(':', from);
        disks.push_back(parse_entry(text.substr(from, colon - from)));
        if (colon == std::string::npos)
            break;
        from = colon + 1;
    }
    return disks;
}

bool image_disk_size(const disk_entry& disk, uint64_t& size)
{
    struct stat st;
    if (disk.backing.empty() || ::stat(disk.backing.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
        return false;
    size = uint64_t(st.st_size);
    return true;
}

std::vector<volume_entry> image_volumes()
{
    std::vector<volume_entry> result;
    const std::vector<disk_entry> disks = image_disks();
    for (uint32_t n = 0; n < disks.size(); ++n) {
        uint64_t size = 0;
        if (!image_disk_size(disks[n], size))
            continue;
        for (const partition_entry& p :
             read_partition_table(disk_reader(disks[n]), size, disks[n].sector_size)) {
            volume_entry v;
            v.volume_name = volume_guid_path(disks[n].backing, p.start);
            v.device_name = volume_device_name(unsigned(result.size() + 1));
            v.mount_paths = {disks[n].backing + '#' + std::to_string(p.number)};
            v.drive_type = volumes::drive_removable;
            v.disk_number = n;
            v.partition_number = p.number;
            v.start = p.start;
            v.length = p.length;
            result.push_back(std::move(v));
        }
    }
    return result;
}

} // namespace platform::detail
