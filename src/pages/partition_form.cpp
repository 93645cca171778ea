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
    btn_repair = make_text_button(form, "btn_repair", "Repair", QRect(420, 380, 75, 23), white);

    lv_volumes = new QListView(form);
    lv_volumes->setObjectName("lv_volumes");
    lv_volumes->setGeometry(40, 110, 511, 231);
    lv_volumes->setStyleSheet(list_view_style);

    btn_back = make_text_button(form, "btn_back", "Back", QRect(70, 380, 75, 23), white);

    btn_stop = make_text_button(form, "btn_stop", "Stop", QRect(460, 50, 75, 23), white);
}
