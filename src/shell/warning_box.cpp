#include "shell/warning_box.h"

#include "i18n/language_table.h"

#include <QPixmap>

namespace {

warning_answerer& answerer()
{
    static warning_answerer hook;
    return hook;
}

} // namespace

int warning_box(QWidget* parent, const char* key, warning_buttons buttons, const QString& title)
{
    QMessageBox box(parent);
    box.setIcon(QMessageBox::Warning);
    box.setIconPixmap(QPixmap(QStringLiteral(":/images/top.ico")));
    box.setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint);
    box.setWindowTitle(title);
    box.setText(lang_text(key));
    box.setStandardButtons(buttons == warning_buttons::yes_no ? QMessageBox::Yes | QMessageBox::No
                                                             : QMessageBox::Ok);
    if (answerer())
        return answerer()(box);
    return box.exec();
}

void set_warning_answerer(warning_answerer hook)
{
    answerer() = std::move(hook);
}
