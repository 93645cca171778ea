// The recovery page's form: five buttons, the folder tree and the animation label.
#pragma once

class QLabel;
class QPushButton;
class QTreeView;
class QWidget;

namespace Ui {

class RecoveryForm {
public:
    QPushButton* btn_recovery = nullptr;
    QPushButton* btn_back = nullptr;
    QPushButton* btn_stop = nullptr;
    QPushButton* btn_pause = nullptr;
    // The save-result button; nothing is filtered.
    QPushButton* btn_filter = nullptr;
    QTreeView* tv_dirtree = nullptr;
    QLabel* lbl_anime = nullptr;

    void setupUi(QWidget* form);
};

} // namespace Ui
