#include "pages/volume_form.h"

#include "pages/page_style.h"

#include <QListView>
#include <QPushButton>
#include <QWidget>

void Ui::VolumeForm::setupUi(QWidget* form)
{
    if (form->objectName().isEmpty())
        form->setObjectName("VolumeForm");
    form->resize(579, 420);
    form->setPalette(page_palette());
    form->setWindowTitle("Quenridge");

    const QColor white(255, 255, 255);
    btn_back = make_text_button(form, "btn_back", "Back", QRect(60, 370, 75, 23), white);

    btn_refresh = make_text_button(form, "btn_refresh", "Refresh", QRect(240, 370, 75, 23), QColor(253, 253, 253));

    btn_scan = make_text_button(form, "btn_scan", "Scan", QRect(410, 370, 75, 23), white);

    lv_volumes = new QListView(form);
    lv_volumes->setObjectName("lv_volumes");
    lv_volumes->setGeometry(30, 20, 511, 311);
    lv_volumes->setStyleSheet(list_view_style);
}
