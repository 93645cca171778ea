// The main window's form: one grid cell that holds every page.
#pragma once

class QGridLayout;
class QWidget;

namespace Ui {

class MainForm {
public:
    QGridLayout* gridLayout = nullptr;

    void setupUi(QWidget* form);
};

} // namespace Ui
