#include "disk/volume_list.h"

#include "platform/device.h"
#include "platform/volumes.h"

#include <algorithm>
#include <string>
#include <vector>

namespace {

namespace volumes = platform::volumes;

struct working_volume_s {
    volume_item_s item;
    std::vector<std::string> mount_paths;
    unsigned drive_type = 0;
};

bool well_formed_volume_name(const std::string& name)
{
    return name.size() > 5 && name.starts_with("\\\\?\\") && name.ends_with('\\');
}

// Drive type, label, file system and sizes, each step only if the one before succeeded.
void read_volume_information(working_volume_s& v)
{
    const std::string& path = v.mount_paths.front();
    v.drive_type = volumes::drive_type(path);
    std::string label, file_system;
    if (!volumes::volume_information(path, label, file_system))
        return;
    v.item.label = QString::fromStdString(label);
    v.item.file_system = QString::fromStdString(file_system);
    uint64_t total = 0, free = 0;
    if (!volumes::disk_free_space(path, total, free))
        return;
    v.item.total_bytes = total;
    v.item.free_bytes = free;
}

void locate(working_volume_s& v)
{
    const bool local = v.drive_type == volumes::drive_fixed ||
                       v.drive_type == volumes::drive_removable;
    if (!local ||
        query_volume_location(v.item.volume_name, v.item.partition_number,
                              v.item.disk_number) != 0) {
        v.item.partition_number = -1;
        v.item.disk_number = -1;
    }
}

bool kept(const working_volume_s& v)
{
    switch (v.drive_type) {
    case volumes::drive_cdrom:
    case volumes::drive_remote:
        return false;
    case volumes::drive_fixed:
        return volumes::is_user_an_admin();
    default:
        return true;
    }
}

QString sort_key(const working_volume_s& v)
{
    return v.mount_paths.empty() ? QString() : QString::fromStdString(v.mount_paths.front());
}

} // namespace

QList<volume_item_s>& volume_list()
{
    static QList<volume_item_s> list;
    return list;
}

void enumerate_volumes()
{
    static const int registered = qRegisterMetaType<volume_item_s>("volume_item_s");
    (void)registered;

    QList<volume_item_s>& list = volume_list();
    list.clear();
    std::vector<std::string> names;
    if (!volumes::find_volumes(names))
        return;

    std::vector<working_volume_s> working;
    for (const std::string& name : names) {
        if (!well_formed_volume_name(name))
            continue;
        std::string device_name;
        if (!volumes::query_dos_device(name.substr(4, name.size() - 5), device_name))
            continue;
        working_volume_s v;
        v.item.device_name = QString::fromStdString(device_name);
        v.item.volume_name = QString::fromStdString(name);
        volumes::path_names(name, v.mount_paths);
        v.item.mount_path = v.mount_paths.empty() ? v.item.device_name
                                                  : QString::fromStdString(v.mount_paths.front());
        if (!v.mount_paths.empty() && !v.mount_paths.front().empty())
            read_volume_information(v);
        locate(v);
        if (kept(v))
            working.push_back(std::move(v));
    }

    std::stable_sort(working.begin(), working.end(),
                     [](const working_volume_s& a, const working_volume_s& b) {
                         return sort_key(a) < sort_key(b);
                     });

    list.append(volume_item_s{});
    for (const working_volume_s& v : working)
        if (v.item.partition_number != -1 && v.item.disk_number != -1)
            list.append(v.item);
}

int query_volume_location(const QString& path, int32_t& partition_number, int32_t& disk_number)
{
    QString device_path = path;
    if (device_path.endsWith(u'\\') || device_path.endsWith(u'/'))
        device_path.chop(1);
    namespace device = platform::device;
    device::handle* h = device::open(device_path.toStdString(), device::generic_read,
                                     device::no_buffering);
    if (!h)
        return -1;
    platform::partition_information partition;
    if (!device::partition_info(h, &partition)) {
        device::close(h);
        return -1;
    }
    partition_number = int32_t(partition.partition_number);
    platform::disk_extent extent;
    const bool located = device::volume_disk_extents(h, &extent);
    device::close(h);
    if (!located)
        return -1;
    disk_number = int32_t(extent.disk_number);
    return 0;
}
