#include "pages/recovery_destination.h"

#include "platform/device.h"
#include "platform/volumes.h"

#include <QDir>
#include <QFileInfo>

#include <sys/stat.h>

#include <string>
#include <vector>

namespace {

QString canonical(const QString& path)
{
    const QFileInfo info(path);
    const QString resolved = info.canonicalFilePath();
    return resolved.isEmpty() ? QDir::cleanPath(info.absoluteFilePath()) : resolved;
}

bool at_or_under(const QString& folder, const QString& mount_path)
{
    if (!QFileInfo(mount_path).isDir())
        return false; // an image volume's mount path names it, it is no folder
    const QString top = canonical(mount_path);
    if (folder == top)
        return true;
    return folder.startsWith(top.endsWith(u'/') ? top : top + u'/');
}

bool same_device(const QString& folder, const std::string& device_path)
{
    struct stat device {}, place {};
    if (device_path.empty() || stat(device_path.c_str(), &device) != 0 || !S_ISBLK(device.st_mode))
        return false;
    return stat(QFile::encodeName(folder).constData(), &place) == 0 && place.st_dev == device.st_rdev;
}

} // namespace

bool folder_on_volume(const QString& folder, const volume_item_s& volume)
{
    const QString place = canonical(folder);
    std::vector<std::string> mount_paths;
    platform::volumes::path_names(volume.volume_name.toStdString(), mount_paths);
    mount_paths.push_back(volume.mount_path.toStdString());
    for (const std::string& mount_path : mount_paths)
        if (!mount_path.empty() && at_or_under(place, QString::fromStdString(mount_path)))
            return true;
    QString device_name = volume.volume_name;
    if (device_name.endsWith(u'\\'))
        device_name.chop(1);
    return same_device(place, platform::device::backing_path(device_name.toStdString()));
}
