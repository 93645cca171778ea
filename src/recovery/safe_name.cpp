#include "recovery/safe_name.h"

namespace {

constexpr qsizetype max_name_bytes = 255;
// An extension longer than this is shortened with the rest of the name.
constexpr qsizetype max_kept_extension = 16;

qsizetype utf8_bytes(QStringView text)
{
    return text.toUtf8().size();
}

// Drops whole characters from the end of `stem` until stem + extension fit.
QString shorten(QString stem, const QString& extension)
{
    const qsizetype room = max_name_bytes - utf8_bytes(extension);
    while (!stem.isEmpty() && utf8_bytes(stem) > room) {
        stem.chop(1);
        if (!stem.isEmpty() && stem.back().isHighSurrogate())
            stem.chop(1);
    }
    return stem + extension;
}

} // namespace

QString safe_file_name(const QString& name)
{
    if (name.isEmpty() || name == u"." || name == u"..")
        return QString(qMax<qsizetype>(name.size(), 1), u'_');
    QString safe = name;
    for (QChar& c : safe)
        if (c == u'/' || c == u'\\' || c.category() == QChar::Other_Control)
            c = u'_';
    if (utf8_bytes(safe) <= max_name_bytes)
        return safe;
    const qsizetype dot = safe.lastIndexOf(u'.');
    const bool keep_extension = dot > 0 && safe.size() - dot <= max_kept_extension;
    return keep_extension ? shorten(safe.left(dot), safe.mid(dot)) : shorten(safe, QString());
}

QString destination_path(const QDir& folder, const QString& name)
{
    return folder.filePath(safe_file_name(name));
}
