#include "pages/partition_window.h"

#include "i18n/language_table.h"
#include "pages/model_swap.h"
#include "pages/page_style.h"
#include "pages/partition_delegate.h"
#include "pages/partition_model.h"
#include "shell/warning_box.h"

#include <QListView>
#include <QPainter>
#include <QPushButton>

partition_window_c::partition_window_c(QWidget* owner) : QWidget(nullptr), owner_(owner)
{
    setupUi(this);

    show_found();
    lv_volumes->setItemDelegate(new partition_delegate_c(lv_volumes));
    lv_volumes->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);

    const std::pair<QPushButton*, const char*> buttons[] = {
        {btn_back, "btn_back"}, {btn_stop, "btn_stop"}, {btn_repair, "btn_repair"}};
    for (const auto& [button, key] : buttons) {
        button->resize(100, 30);
        button->setText(lang_text(key));
    }

    connect(&worker_, &partition_repair_c::partition_found, this, &partition_window_c::on_partition_found);
    connect(&worker_, &QThread::finished, this, &partition_window_c::on_thread_finished);
    connect(btn_stop, &QPushButton::clicked, this, &partition_window_c::on_stop_clicked);
    connect(&timer_, &QTimer::timeout, this, &partition_window_c::on_timer);
    connect(btn_back, SIGNAL(clicked()), owner_, SLOT(on_click_partition_back()));
    connect(btn_repair, &QPushButton::clicked, this, &partition_window_c::on_repair_clicked);

    timer_.start(400);
    progress_bar_.setup(QStringLiteral(":/images/partition_search/loding_on.png"), QColor(226, 240, 253));
}

partition_window_c::~partition_window_c()
{
    // The worker must not outlive the page that receives its signals.
    worker_.stop();
}

int partition_window_c::start_search(const drive_item_s& drive)
{
    if (worker_.isRunning())
        stop_worker();
    worker_.set_drive(drive);
    btn_stop->setText(lang_text("btn_stop"));
    start_worker();
    return 0;
}

void partition_window_c::stop_search()
{
    if (worker_.isRunning()) {
        stop_worker();
        btn_stop->setText(lang_text("btn_start"));
    }
}

void partition_window_c::on_partition_found()
{
    show_found();
}

void partition_window_c::on_thread_finished()
{
    ++runs_finished_;
    if (runs_finished_ == runs_started_ && !stopped_by_page_)
        btn_stop->setText(QStringLiteral("Start"));
}

void partition_window_c::on_timer()
{
    progress_bar_.set_value(worker_.progress());
}

void partition_window_c::on_stop_clicked()
{
    if (worker_.isRunning()) {
        stop_worker();
        btn_stop->setText(lang_text("btn_start"));
    } else {
        btn_stop->setText(lang_text("btn_stop"));
        start_worker();
    }
}

void partition_window_c::on_repair_clicked()
{
    if (worker_.isRunning())
        return;
    if (warning_box(this, "partition_query", warning_buttons::yes_no) != QMessageBox::Yes)
        return;
    if (worker_.repair() == 0) {
        warning_box(this, "partition_finished");
        return;
    }
    // A failed write is said as such, never as "finished".
    warning_box(this, "partition_failed");
}

void partition_window_c::show_found()
{
    swap_model(*lv_volumes, new partition_model_c(worker_.found(), this));
}

void partition_window_c::start_worker()
{
    stopped_by_page_ = false;
    ++runs_started_;
    worker_.start();
}

void partition_window_c::stop_worker()
{
    stopped_by_page_ = true;
    worker_.stop();
}

void partition_window_c::resizeEvent(QResizeEvent*)
{
    const int w = width();
    const int h = height();
    btn_back->move(200, h - 54);
    btn_repair->move(w - 300, h - 54);
    btn_stop->move(w - 168, 42);
    lv_volumes->setGeometry(25, 120, w - 50, h - 180);
}

void partition_window_c::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const int w = width();
    paint_top_band(painter, w);
    painter.drawPixmap(45, 30, QPixmap(QStringLiteral(":/images/partition_search/icon_found1.png")));
    painter.setPen(QColor(139, 184, 241));
    painter.drawRect(25, 12, w - 50, 92);
    progress_bar_.draw(painter, QRect(120, 50, 450, 12));
    if (worker_.isRunning()) {
        painter.setPen(Qt::black);
        painter.setFont(QFont(QStringLiteral("Verdana"), 10));
        painter.drawText(QPoint(120, 40), lang_text("partition_text1"));
    }
}
