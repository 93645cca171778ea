#include "cli/disk_argument.h"

const drive_item_s* find_disk(const QString& argument, QString& error)
{
    bool is_number = false;
    const int number = argument.toInt(&is_number);
    const QString path = is_number ? QStringLiteral("\\\\.\\PhysicalDrive%1").arg(number) : argument;
    if (!path.startsWith(QLatin1String("\\\\.\\PhysicalDrive"))) {
        error = QStringLiteral("'%1' is not a disk number or a \\\\.\\PhysicalDriveN path").arg(argument);
        return nullptr;
    }
    enumerate_drives();
    for (const drive_item_s& item : drive_list())
        if (item.geometry && item.path.compare(path, Qt::CaseInsensitive) == 0)
            return &item;
    error = QStringLiteral("no disk %1").arg(path);
    return nullptr;
}
