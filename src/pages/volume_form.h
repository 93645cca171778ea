// The volume page's form: three buttons and the volume list.
#pragma once

class QListView;
class QPushButton;
class QWidget;

namespace Ui {

class VolumeForm {
public:
    QPushButton* btn_back = nullptr;
    QPushButton* btn_refresh = nullptr;
    QPushButton* btn_scan = nullptr;
    QListView* lv_volumes = nullptr;

    void setupUi(QWidget* form);
};

} // namespace Ui
