// The home page's form: the two buttons and the hidden picture label.
#pragma once

class QLabel;
class QPushButton;
class QWidget;

namespace Ui {

class HomeForm {
public:
    QPushButton* btn_start = nullptr;
    QPushButton* btn_resume = nullptr;
    QLabel* lbl_wenzi = nullptr;

    void setupUi(QWidget* form);
};

} // namespace Ui
