#include "pages/recovery_form.h"

#include "pages/page_style.h"

#include <QLabel>
#include <QPushButton>
#include <QTreeView>
#include <QWidget>

namespace {

const char* const narrow_button_style =
    "QPushButton{ border-image: url(:/images/partition_search/btn_start_1.png); }\n"
    "QPushButton:hover{ border-image: url(:/images/partition_search/btn_start_2.png);}\n"
    "QPushButton:pressed{  border-image: url(:/images/partition_search/btn_start_3.png);}";

QPushButton* make_button(QWidget* form, const char* name, const QRect& geometry,
                         bool narrow, const char* text)
{
    QPushButton* button = make_text_button(form, name, text, geometry, Qt::white);
    if (narrow)
        button->setStyleSheet(narrow_button_style);
    return button;
}

} // namespace

namespace Ui {

void RecoveryForm::setupUi(QWidget* form)
{
    if (form->objectName().isEmpty())
        form->setObjectName("RecoveryForm");
    form->resize(583, 438);
    form->setPalette(page_palette());

    btn_recovery = make_button(form, "btn_recovery", {420, 380, 75, 23}, false, "Recovery");
    btn_back = make_button(form, "btn_back", {70, 380, 75, 23}, false, "Back");
    btn_stop = make_button(form, "btn_stop", {260, 50, 75, 23}, true, "Stop");
    btn_pause = make_button(form, "btn_pause", {170, 50, 75, 23}, true, "pause");
    btn_filter = make_button(form, "btn_filter", {480, 50, 75, 23}, true, "Filter");

    tv_dirtree = new QTreeView(form);
    tv_dirtree->setObjectName("tv_dirtree");
    tv_dirtree->setGeometry(10, 100, 171, 251);
    tv_dirtree->setStyleSheet("QTreeView  {\n    border-style: none;\n    border: 1px solid #8bb8fe;\n }\n");

    lbl_anime = new QLabel(form);
    lbl_anime->setObjectName("lbl_anime");
    lbl_anime->setGeometry(10, 40, 81, 31);

    form->setWindowTitle("Form");
}

} // namespace Ui
