#include "partition/mbr_backup.h"

#include "partition/boot_sector_tests.h"
#include "platform/locations.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QRegularExpression>

#include <unistd.h>

namespace {

// "\\.\PhysicalDrive0" -> "PhysicalDrive0".
QString disk_name(const QString& disk_path)
{
    QString name = disk_path.section(QLatin1Char('\\'), -1);
    name.replace(QRegularExpression(QStringLiteral("[^A-Za-z0-9_.-]")), QStringLiteral("_"));
    return name.isEmpty() ? QStringLiteral("disk") : name;
}

bool write_new_file(const QString& path, const uint8_t* sector)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly))
        return false;
    const bool written = file.write(reinterpret_cast<const char*>(sector), sector_bytes) ==
                             sector_bytes &&
                         file.flush() && ::fsync(file.handle()) == 0;
    file.close();
    if (!written)
        file.remove();
    return written;
}

} // namespace

QString mbr_backup_folder()
{
    return QString::fromStdString(platform::mbr_backup_folder());
}

int save_mbr_backup(const QString& disk_path, const uint8_t* sector)
{
    const QString folder = mbr_backup_folder();
    if (folder.isEmpty() || !QDir().mkpath(folder))
        return -1;
    const QString stem = folder + QLatin1Char('/') + disk_name(disk_path) + QLatin1Char('-') +
                         QDateTime::currentDateTimeUtc().toString(
                             QStringLiteral("yyyyMMdd'T'HHmmss.zzz'Z'"));
    // Two repairs within the same millisecond still keep both copies.
    for (int n = 0; n < 100; ++n) {
        const QString path = stem + (n ? QStringLiteral("-%1").arg(n) : QString()) +
                             QStringLiteral(".mbr");
        if (QFile::exists(path))
            continue;
        return write_new_file(path, sector) ? 0 : -1;
    }
    return -1;
}
