#include "cli/commands.h"
#include "cli/output.h"
#include "disk/drive_list.h"
#include "disk/format_size.h"

#include <QJsonArray>
#include <QJsonObject>

int command_disks(const arguments& args)
{
    enumerate_drives();
    const QList<drive_item_s>& drives = drive_list();
    QJsonArray list;
    std::vector<QStringList> rows = {{"#", "path", "size", "bytes/sector", "cylinders", "heads",
                                      "sectors/track", "backing"}};
    for (qsizetype row = 1; row < drives.size(); ++row) {
        const drive_item_s& d = drives[row];
        const QString backing = QString::fromStdString(platform::device::backing_path(d.path.toStdString()));
        list.append(QJsonObject{
            {"number", int(row - 1)},
            {"path", d.path},
            {"size", qint64(d.size)},
            {"bytes_per_sector", qint64(d.geometry->bytes_per_sector)},
            {"cylinders", qint64(d.geometry->cylinders)},
            {"tracks_per_cylinder", qint64(d.geometry->tracks_per_cylinder)},
            {"sectors_per_track", qint64(d.geometry->sectors_per_track)},
            {"backing", backing},
        });
        rows.push_back({QString::number(row - 1), d.path, format_size(d.size),
                        QString::number(d.geometry->bytes_per_sector),
                        QString::number(d.geometry->cylinders),
                        QString::number(d.geometry->tracks_per_cylinder),
                        QString::number(d.geometry->sectors_per_track), backing});
    }
    if (args.has("--json"))
        print_json(QJsonDocument(list));
    else if (drives.size() <= 1)
        print_line(QStringLiteral("no disks"));
    else
        print_table(rows);
    return exit_ok;
}
