// The drive page's form: the disk list and three buttons.
#pragma once

class QListView;
class QPushButton;
class QWidget;

namespace Ui {

class DriveForm {
public:
    QListView* lv_drives = nullptr;
    QPushButton* btn_back = nullptr;
    QPushButton* btn_refresh = nullptr;
    QPushButton* btn_scan = nullptr;

    void setupUi(QWidget* form);
};

} // namespace Ui
