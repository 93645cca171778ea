#include "disk/drive_list.h"

QList<drive_item_s>& drive_list()
{
    static QList<drive_item_s> list;
    return list;
}

int enumerate_drives()
{
    static const int registered = qRegisterMetaType<drive_item_s>("drive_item_s");
    (void)registered;

    QList<drive_item_s>& list = drive_list();
    list.clear();
    list.append(drive_item_s{});

    for (int n = 0; n < 10; ++n) {
        const QString path = QStringLiteral("\\\\.\\PhysicalDrive%1").arg(n);
        platform::device::handle* h = platform::device::open(
            path.toStdString(), platform::device::query_only);
        if (!h)
            break;
        auto geometry = std::make_shared<platform::disk_geometry>();
        const bool queried = platform::device::drive_geometry(h, geometry.get());
        platform::device::close(h);
        if (!queried)
            break;
        drive_item_s item;
        item.path = path;
        item.size = uint64_t(geometry->bytes_per_sector) * geometry->sectors_per_track *
                    geometry->tracks_per_cylinder * uint64_t(geometry->cylinders);
        item.geometry = std::move(geometry);
        list.append(item);
    }
    return 0;
}
