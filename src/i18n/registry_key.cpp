#include "i18n/registry_key.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>

int registry_key::create()
{
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    if (folder.isEmpty() || !QDir().mkpath(folder))
        return -1;
    QFile file(folder + QStringLiteral("/Zorvane_Init.ini"));
    if (!file.exists() && !file.open(QIODevice::WriteOnly))
        return -1;
    file.close();
    values_ = std::make_unique<QSettings>(file.fileName(), QSettings::IniFormat);
    return 0;
}

int registry_key::query_number(const QString& name, uint32_t& value) const
{
    if (!values_)
        return -1;
    bool ok = false;
    const uint number = values_->value(name).toString().toUInt(&ok);
    if (!ok)
        return -1;
    value = number;
    return 0;
}

void registry_key::close()
{
    values_.reset();
}
