#include "i18n/language_table.h"

#include <QStringView>

std::map<std::string, QString> lang_texts;
QStringList lang_names;
int lang_index = 0;

QString& lang_text(const std::string& key)
{
    return lang_texts[key];
}

namespace {

struct language_code {
    QStringView name;
    const char* code;
};

// Tested in this order; the first name equal without regard to case wins.
const language_code language_codes[] = {
    {u"Deutsch", "de"},
    {u"Français", "fr"},
    {u"Español", "es"},
    {u"简体中文", "cn"},
    {u"繁體中文", "hk"},
    {u"Italiano", "it"},
    {u"日本語", "jp"},
    {u"Português", "pt"},
    {u"Nederlands", "nl"},
    {u"العربية", "ar"},
};

} // namespace

QString lang_code()
{
    if (lang_index < 0 || lang_index >= lang_names.size())
        return QStringLiteral("en");
    const QString& name = lang_names[lang_index];
    for (const language_code& entry : language_codes) {
        if (name.compare(entry.name, Qt::CaseInsensitive) == 0)
            return QString::fromLatin1(entry.code);
    }
    return QStringLiteral("en");
}
