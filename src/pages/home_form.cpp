#include "pages/home_form.h"

#include "pages/page_style.h"

#include <QLabel>
#include <QPushButton>
#include <QWidget>

namespace {

QString home_button_style(const char* name)
{
    const QString stem = QStringLiteral("/images/home/%1%2.png").arg(QLatin1String(name));
    return image_button_style(stem.arg(1), stem.arg(2), stem.arg(3));
}

} // namespace

void Ui::HomeForm::setupUi(QWidget* form)
{
    if (form->objectName().isEmpty())
        form->setObjectName("HomeForm");
    form->resize(676, 492);
    form->setPalette(page_palette());
    form->setStyleSheet(QString());
    form->setWindowTitle("Form");

    btn_start = new QPushButton(form);
    btn_start->setObjectName("btn_start");
    btn_start->setGeometry(130, 190, 111, 41);
    btn_start->setStyleSheet(home_button_style("buttonscan"));

    btn_resume = new QPushButton(form);
    btn_resume->setObjectName("btn_resume");
    btn_resume->setGeometry(370, 190, 121, 41);
    btn_resume->setStyleSheet(home_button_style("buttonrecovery"));

    lbl_wenzi = new QLabel(form);
    lbl_wenzi->setObjectName("lbl_wenzi");
    lbl_wenzi->setGeometry(150, 300, 301, 91);
    lbl_wenzi->setStyleSheet("#lbl_wenzi {border-image: url(:/images/home/wenzi.png); }");
}
