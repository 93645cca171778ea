#include "i18n/settings.h"

#include "i18n/language_file.h"
#include "i18n/registry_key.h"

#include <iterator>

QSettings* settings = nullptr;
QString recovery_folder;
QString language;

int load_settings()
{
    delete settings;
    settings = new QSettings(QStringLiteral("Zorvane.ini"), QSettings::IniFormat);
    recovery_folder = settings->value(QStringLiteral("recovery_folder")).toString();
    language = settings->value(QStringLiteral("language")).toString();
    if (language.isEmpty()) {
        if (std::optional<QString> name = registry_language()) {
            language = *name;
            settings->setValue(QStringLiteral("language"), language);
            settings->sync();
        } else {
            language = QStringLiteral("English");
        }
    }
    load_language(QStringLiteral("English"), false);
    load_language(language, true);
    return 0;
}

int save_settings()
{
    settings->setValue(QStringLiteral("recovery_folder"), recovery_folder);
    settings->setValue(QStringLiteral("language"), language);
    settings->sync();
    return 0;
}

std::optional<QString> registry_language()
{
    // By the number the value holds, from 1.
    static const char16_t* const names[] = {
        u"English", u"Deutsch", u"Español", u"Français", u"Italiano",
        u"日本語", u"简体中文", u"繁體中文", u"Nederlands", u"Português",
    };
    registry_key key;
    if (key.create() != 0)
        return std::nullopt;
    uint32_t number = 0; // stays 0, no language, when the value cannot be read
    key.query_number(QStringLiteral("language"), number);
    key.close();
    if (number < 1 || number > std::size(names))
        return std::nullopt;
    return QString::fromUtf16(names[number - 1]);
}
