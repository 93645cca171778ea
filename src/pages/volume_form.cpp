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
    btn_back = new QPushButton("Back", form);
    btn_back->setObjectName("btn_back");
    btn_back->setGeometry(60, 370, 75, 23);
    style_text_button(btn_back, white);

    btn_refresh = new QPushButton("Refresh", form);
    btn_refresh->setObjectName("btn_refresh");
    btn_refresh->setGeometry(240, 370, 75, 23);
    style_text_button(btn_refresh, QColor(253, 253, 253));

    btn_scan = new QPushButton("Scan", form);
    btn_scan->setObjectName("btn_scan");
    btn_scan->setGeometry(410, 370, 75, 23);
    style_text_button(btn_scan, white);

    lv_volumes = new QListView(form);
    lv_volumes->setObjectName("lv_volumes");
    lv_volumes->setGeometry(30, 20, 511, 311);
    lv_volumes->setStyleSheet(list_view_style);
}
