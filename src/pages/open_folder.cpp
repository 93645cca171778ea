#include "pages/open_folder.h"

#include <QDesktopServices>
#include <QUrl>

namespace {

folder_opener& current_opener()
{
    static folder_opener opener;
    return opener;
}

} // namespace

void open_folder(const QString& path)
{
    if (current_opener())
        current_opener()(path);
    else
        QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

void set_folder_opener(folder_opener opener)
{
    current_opener() = std::move(opener);
}
