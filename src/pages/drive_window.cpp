#include "pages/drive_window.h"

#include "i18n/language_table.h"
#include "pages/drive_delegate.h"
#include "pages/drive_model.h"
#include "pages/model_swap.h"
#include "pages/page_style.h"

#include <QListView>
#include <QPainter>
#include <QPushButton>

drive_window_c::drive_window_c(QWidget* owner) : QWidget(nullptr), owner_(owner)
{
    setupUi(this);
    lv_drives->setItemDelegate(new drive_delegate_c(lv_drives));
    lv_drives->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);

    const std::pair<QPushButton*, const char*> buttons[] = {
        {btn_back, "btn_back"}, {btn_refresh, "btn_refresh"}, {btn_scan, "btn_scan"}};
    for (const auto& [button, key] : buttons) {
        button->resize(100, 30);
        button->setText(lang_text(key));
    }

    connect(btn_refresh, SIGNAL(clicked()), owner_, SLOT(on_click_drive_refresh()));
    connect(btn_back, SIGNAL(clicked()), owner_, SLOT(on_click_drive_back()));
    connect(btn_scan, SIGNAL(clicked()), owner_, SLOT(on_click_drive_scan()));
}

void drive_window_c::set_drive_list(QList<drive_item_s>& list)
{
    show_list(list);
    lv_drives->setCurrentIndex(model_->index(1));
}

void drive_window_c::refresh_drives()
{
    enumerate_drives();
    show_list(drive_list());
}

drive_item_s drive_window_c::current_drive() const
{
    const QModelIndex current = lv_drives->currentIndex();
    if (!current.isValid())
        return {};
    return current.data().value<drive_item_s>();
}

void drive_window_c::show_list(QList<drive_item_s>& list)
{
    model_ = new drive_model_c(list, this);
    swap_model(*lv_drives, model_);
}

void drive_window_c::resizeEvent(QResizeEvent*)
{
    const int w = width();
    const int h = height();
    btn_back->move(175, h - 54);
    btn_refresh->move(w / 2 - 50, h - 54);
    btn_scan->move(w - 275, h - 54);
    lv_drives->setGeometry(25, 45, w - 50, h - 140);
}

void drive_window_c::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    paint_top_band(painter, width());
    painter.setFont(QFont(QStringLiteral("Arial"), 12));
    painter.drawText(QPoint(23, 30), lang_text("volume_select"));
}
