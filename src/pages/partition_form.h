// The partition page's form: the found list and its three buttons.
#pragma once

class QListView;
class QPushButton;
class QWidget;

namespace Ui {

class PartitionForm {
public:
    QPushButton* btn_repair = nullptr;
    QListView* lv_volumes = nullptr;
    QPushButton* btn_back = nullptr;
    QPushButton* btn_stop = nullptr;

    void setupUi(QWidget* form);
};

} // namespace Ui
