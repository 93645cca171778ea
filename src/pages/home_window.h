// Page 0: the two big buttons that lead to a new scan or to saved results.
#pragma once

#include "pages/home_form.h"

#include <QWidget>

class home_window_c : public QWidget, public Ui::HomeForm {
    Q_OBJECT

public:
    // `owner` receives the buttons' clicks in on_click_home_start() and
    // on_click_home_resume(); the page is adopted by the owner's layout.
    explicit home_window_c(QWidget* owner);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    QObject* owner_;
};
