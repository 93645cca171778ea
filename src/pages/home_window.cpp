#include "pages/home_window.h"

#include "i18n/lang_image.h"
#include "i18n/language_table.h"
#include "pages/page_style.h"

#include <QLabel>
#include <QPainter>
#include <QPushButton>

home_window_c::home_window_c(QWidget* owner) : QWidget(nullptr), owner_(owner)
{
    setupUi(this);

    lbl_wenzi->setGeometry(55, 262, 692, 188);
    btn_start->setGeometry(40, 105, 330, 106);
    btn_resume->setGeometry(425, 105, 323, 106);

    btn_start->setStyleSheet(image_button_style(lang_image::start_scan(1), lang_image::start_scan(2),
                                                lang_image::start_scan(3)));
    btn_resume->setStyleSheet(image_button_style(lang_image::resume_recovery(1), lang_image::resume_recovery(2),
                                                 lang_image::resume_recovery(3)));

    connect(btn_start, SIGNAL(clicked()), owner_, SLOT(on_click_home_start()));
    connect(btn_resume, SIGNAL(clicked()), owner_, SLOT(on_click_home_resume()));

    lbl_wenzi->hide();
}

void home_window_c::resizeEvent(QResizeEvent*)
{
    // The buttons' bottom edges stay at 45 % of the page height.
    const int h = height();
    for (QPushButton* button : {btn_start, btn_resume})
        button->move(button->x(), int(h - (0.55 * h + button->height())));
    lbl_wenzi->move(lbl_wenzi->x(), h - lbl_wenzi->height() - 60);
}

void home_window_c::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const int h = height();
    paint_top_band(painter, width());
    painter.drawPixmap(55, h - 240, QPixmap(QStringLiteral(":/images/home/wenzi.png")));
    painter.setFont(QFont(QStringLiteral("arial"), 8));
    painter.setPen(QColor(91, 135, 201));
    painter.drawText(QPoint(70, h - 190), lang_text("home_text1"));
    painter.drawText(QPoint(70, h - 140), lang_text("home_text2"));
    painter.drawText(QPoint(70, h - 90), lang_text("home_text3"));
}
