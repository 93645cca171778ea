#include "pages/volume_window.h"

#include "i18n/language_table.h"
#include "pages/model_swap.h"
#include "pages/page_style.h"
#include "pages/volume_delegate.h"
#include "pages/volume_model.h"
#include "recovery/fat/disk_layer.h"
#include "shell/warning_box.h"

#include <QListView>
#include <QPainter>
#include <QPushButton>

volume_window_c::volume_window_c(QWidget* owner) : QWidget(nullptr), owner_(owner)
{
    setupUi(this);
    lv_volumes->setItemDelegate(new volume_delegate_c(lv_volumes));
    lv_volumes->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);

    const std::pair<QPushButton*, const char*> buttons[] = {
        {btn_back, "btn_back"}, {btn_refresh, "btn_refresh"}, {btn_scan, "btn_scan"}};
    for (const auto& [button, key] : buttons) {
        button->resize(100, 30);
        button->setText(lang_text(key));
    }

    connect(btn_scan, SIGNAL(clicked()), owner_, SLOT(on_click_volume_scan()));
    connect(this, SIGNAL(start_scan()), owner_, SLOT(on_click_volume_scan()));
    connect(btn_back, SIGNAL(clicked()), owner_, SLOT(on_click_volume_back()));
    connect(btn_refresh, SIGNAL(clicked()), owner_, SLOT(on_click_volume_refresh()));
    connect(lv_volumes, &QListView::doubleClicked, this, &volume_window_c::on_double_clicked);
}

void volume_window_c::on_double_clicked(const QModelIndex&)
{
    emit start_scan();
}

void volume_window_c::set_volume_list(QList<volume_item_s>& list)
{
    show_list(list);
}

void volume_window_c::refresh_volumes()
{
    enumerate_volumes();
    disk_rescan();
    show_list(volume_list());
}

std::optional<volume_item_s> volume_window_c::current_volume()
{
    const QModelIndex current = lv_volumes->currentIndex();
    if (!current.isValid()) {
        warning_box(this, "scan_nosel_warning");
        return std::nullopt;
    }
    return current.data().value<volume_item_s>();
}

void volume_window_c::show_list(QList<volume_item_s>& list)
{
    swap_model(*lv_volumes, new volume_model_c(list, this));
}

void volume_window_c::resizeEvent(QResizeEvent*)
{
    const int w = width();
    const int h = height();
    btn_back->move(175, h - 54);
    btn_refresh->move(w / 2 - 50, h - 54);
    btn_scan->move(w - 275, h - 54);
    lv_volumes->setGeometry(25, 45, w - 50, h - 140);
}

void volume_window_c::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    paint_top_band(painter, width());
    painter.setFont(QFont(QStringLiteral("Arial"), 12));
    painter.drawText(QPoint(23, 30), lang_text("volume_select"));
}
