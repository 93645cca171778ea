#include "cli/volume_argument.h"

bool find_volume(const QString& argument, volume_item_s& volume, QString& error)
{
    enumerate_volumes();
    const QList<volume_item_s>& volumes = volume_list();
    bool is_number = false;
    const int row = argument.toInt(&is_number);
    if (is_number) {
        if (row >= 1 && row < volumes.size()) {
            volume = volumes[row];
            return true;
        }
        error = QStringLiteral("no volume %1 (see zorvane-cli volumes)").arg(row);
        return false;
    }
    QString name = argument;
    if (name.startsWith(QLatin1String("\\\\?\\")) && !name.endsWith(u'\\'))
        name += u'\\';
    for (qsizetype i = 1; i < volumes.size(); ++i) {
        if (volumes[i].mount_path == argument || volumes[i].volume_name == name) {
            volume = volumes[i];
            return true;
        }
    }
    error = QStringLiteral("no volume '%1' (see zorvane-cli volumes)").arg(argument);
    return false;
}
