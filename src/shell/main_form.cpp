#include "shell/main_form.h"

#include <QGridLayout>
#include <QWidget>

// The window's slots are wired by the pages, by name; none follows the
// on_<object>_<signal> pattern, so there is nothing to connect by name here.
void Ui::MainForm::setupUi(QWidget* form)
{
    if (form->objectName().isEmpty())
        form->setObjectName(QStringLiteral("MainForm"));
    form->resize(800, 600);
    form->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    form->setMinimumSize(800, 600);
    form->setMouseTracking(true);
    gridLayout = new QGridLayout(form);
    gridLayout->setObjectName(QStringLiteral("gridLayout"));
    gridLayout->setSpacing(0);
    gridLayout->setContentsMargins(0, 0, 0, 0);
    form->setWindowTitle(QStringLiteral("Quenridge"));
}
