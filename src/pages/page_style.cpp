#include "pages/page_style.h"

#include <QBrush>
#include <QFont>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>

QPalette page_palette()
{
    const QColor white(255, 255, 255);
    const QColor black(0, 0, 0);
    const QColor grey(127, 127, 127);
    QPalette palette;
    for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        for (auto role : {QPalette::Window, QPalette::Base, QPalette::Button, QPalette::Light,
                          QPalette::Midlight, QPalette::BrightText, QPalette::AlternateBase})
            palette.setColor(group, role, white);
        for (auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText,
                          QPalette::ToolTipText, QPalette::Shadow})
            palette.setColor(group, role, black);
        palette.setColor(group, QPalette::Dark, grey);
        palette.setColor(group, QPalette::Mid, QColor(170, 170, 170));
        palette.setColor(group, QPalette::ToolTipBase, QColor(255, 255, 220));
    }
    for (auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        palette.setColor(QPalette::Disabled, role, grey);
    return palette;
}

void style_text_button(QPushButton* button, const QColor& text)
{
    QPalette palette = button->palette();
    palette.setColor(QPalette::Active, QPalette::ButtonText, text);
    palette.setColor(QPalette::Inactive, QPalette::ButtonText, text);
    palette.setColor(QPalette::Disabled, QPalette::ButtonText, QColor(127, 127, 127));
    button->setPalette(palette);

    QFont font(QStringLiteral("Arial"), 11);
    font.setBold(true);
    button->setFont(font);
    button->setStyleSheet(QStringLiteral(
        "QPushButton{ border-image: url(:/images/partition_search/btn_wai_1.png); }\n"
        "QPushButton:hover{ border-image: url(:/images/partition_search/btn_wai_2.png);}\n"
        "QPushButton:pressed{  border-image: url(:/images/partition_search/btn_wai_3.png);}"));
}

const char* const list_view_style =
    "QListView  {\n    border-style: none;\n    border: 1px solid #8bb8fe;\n }\n";

QString image_button_style(const QString& normal, const QString& hover, const QString& pressed)
{
    return QString::asprintf("QPushButton{ border-image: url(:%s); }"
                             "QPushButton:hover{ border-image: url(:%s);}"
                             "QPushButton:pressed{  border-image: url(:%s);}",
                             normal.toLocal8Bit().constData(), hover.toLocal8Bit().constData(),
                             pressed.toLocal8Bit().constData());
}

void paint_top_band(QPainter& painter, int width)
{
    const QPixmap band(QStringLiteral(":/images/background/bai.png"));
    painter.fillRect(QRect(0, 0, width, band.height()), QBrush(band));
}

QPushButton* make_text_button(QWidget* form, const char* name, const char* text,
                              const QRect& geometry, const QColor& text_colour)
{
    auto* button = new QPushButton(QString::fromUtf8(text), form);
    button->setObjectName(name);
    button->setGeometry(geometry);
    style_text_button(button, text_colour);
    return button;
}
