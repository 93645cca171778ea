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
    btn_back = new QPushButton("Back", form);
    btn_back->setObjectName("btn_back");
    btn_back->setGeometry(70, 370, 75, 23);
    style_text_button(btn_back, white);

    btn_refresh = new QPushButton("Refresh", form);
    btn_refresh->setObjectName("btn_refresh");
    btn_refresh->setGeometry(250, 370, 75, 23);
    style_text_button(btn_refresh, QColor(253, 253, 253));

    btn_scan = new QPushButton("Scan", form);
    btn_scan->setObjectName("btn_scan");
    btn_scan->setGeometry(420, 370, 75, 23);
    style_text_button(btn_scan, white);
}
