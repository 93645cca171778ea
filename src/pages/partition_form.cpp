#include "pages/partition_form.h"

#include "pages/page_style.h"

#include <QListView>
#include <QPushButton>
#include <QWidget>

void Ui::PartitionForm::setupUi(QWidget* form)
{
    if (form->objectName().isEmpty())
        form->setObjectName("PartitionForm");
    form->resize(583, 438);
    form->setPalette(page_palette());
    form->setWindowTitle("Form");

    const QColor white(255, 255, 255);
    btn_repair = new QPushButton("Repair", form);
    btn_repair->setObjectName("btn_repair");
    btn_repair->setGeometry(420, 380, 75, 23);
    style_text_button(btn_repair, white);

    lv_volumes = new QListView(form);
    lv_volumes->setObjectName("lv_volumes");
    lv_volumes->setGeometry(40, 110, 511, 231);
    lv_volumes->setStyleSheet(list_view_style);

    btn_back = new QPushButton("Back", form);
    btn_back->setObjectName("btn_back");
    btn_back->setGeometry(70, 380, 75, 23);
    style_text_button(btn_back, white);

    btn_stop = new QPushButton("Stop", form);
    btn_stop->setObjectName("btn_stop");
    btn_stop->setGeometry(460, 50, 75, 23);
    style_text_button(btn_stop, white);
}
