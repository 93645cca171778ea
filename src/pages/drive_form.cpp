#include "pages/drive_form.h"

#include "pages/page_style.h"

#include <QListView>
#include <QPushButton>
#include <QWidget>

void Ui::DriveForm::setupUi(QWidget* form)
{
    if (form->objectName().isEmpty())
        form->setObjectName("DriveForm");
    form->resize(616, 409);
    form->setPalette(page_palette());
    form->setWindowTitle("Form");

    lv_drives = new QListView(form);
    lv_drives->setObjectName("lv_drives");
    lv_drives->setGeometry(40, 20, 511, 311);
    lv_drives->setStyleSheet(list_view_style);

    const QColor white(255, 255, 255);
    btn_back = make_text_button(form, "btn_back", "Back", QRect(70, 370, 75, 23), white);

    btn_refresh = make_text_button(form, "btn_refresh", "Refresh", QRect(250, 370, 75, 23), QColor(253, 253, 253));

    btn_scan = make_text_button(form, "btn_scan", "Scan", QRect(420, 370, 75, 23), white);
}
