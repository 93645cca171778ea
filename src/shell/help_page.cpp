#include "shell/help_page.h"

#include <QCoreApplication>
#include <QDesktopServices>

namespace {

url_opener& opener()
{
    static url_opener hook;
    return hook;
}

} // namespace

QUrl help_page_url()
{
    return QUrl::fromLocalFile(QCoreApplication::applicationDirPath() + QStringLiteral("/help/index.html"));
}

void open_url(const QUrl& url)
{
    if (opener())
        opener()(url);
    else
        QDesktopServices::openUrl(url);
}

void set_url_opener(url_opener hook)
{
    opener() = std::move(hook);
}
