#include "i18n/lang_image.h"

#include "i18n/language_table.h"

#include <QFileInfo>

namespace lang_image {
namespace {

// "/images/multilang/<code>/"; a language whose folder is not among the
// resources shows the English buttons rather than none.
QString folder()
{
    const QString code_folder = QStringLiteral("/images/multilang/") + lang_code();
    if (QFileInfo(QLatin1Char(':') + code_folder).isDir())
        return code_folder + QLatin1Char('/');
    return QStringLiteral("/images/multilang/en/");
}

} // namespace

QString top_button(int number, int state)
{
    return QLatin1Char(':') + folder() + QStringLiteral("btn_top") + QString::number(number)
        + QString::number(state) + QStringLiteral(".png");
}

QString start_scan(int state)
{
    return folder() + QStringLiteral("btn_start_scan") + QString::number(state) + QStringLiteral(".png");
}

QString resume_recovery(int state)
{
    return folder() + QStringLiteral("btn_resume_recovery") + QString::number(state)
        + QStringLiteral(".png");
}

} // namespace lang_image
