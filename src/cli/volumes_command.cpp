#include "cli/commands.h"
#include "cli/output.h"
#include "disk/format_size.h"
#include "disk/volume_list.h"

#include <QJsonArray>
#include <QJsonObject>

int command_volumes(const arguments& args)
{
    enumerate_volumes();
    const QList<volume_item_s>& volumes = volume_list();
    QJsonArray list;
    std::vector<QStringList> rows = {{"#", "mount path", "label", "file system", "size", "free", "disk",
                                      "partition", "volume name"}};
    for (qsizetype row = 1; row < volumes.size(); ++row) {
        const volume_item_s& v = volumes[row];
        list.append(QJsonObject{
            {"device_name", v.device_name},
            {"volume_name", v.volume_name},
            {"label", v.label},
            {"file_system", v.file_system},
            {"mount_path", v.mount_path},
            {"total_bytes", qint64(v.total_bytes)},
            {"free_bytes", qint64(v.free_bytes)},
            {"partition_number", v.partition_number},
            {"disk_number", v.disk_number},
        });
        rows.push_back({QString::number(row), v.mount_path, v.label, v.file_system,
                        format_size(v.total_bytes), format_size(v.free_bytes),
                        QString::number(v.disk_number), QString::number(v.partition_number),
                        v.volume_name});
    }
    if (args.has("--json"))
        print_json(QJsonDocument(list));
    else if (volumes.size() <= 1)
        print_line(QStringLiteral("no volumes"));
    else
        print_table(rows);
    return exit_ok;
}
