#include "shell/main_window.h"

#include "disk/drive_list.h"
#include "disk/volume_list.h"
#include "pages/drive_window.h"
#include "pages/home_window.h"
#include "pages/partition_window.h"
#include "pages/recovery_window.h"
#include "pages/volume_window.h"
#include "shell/init_worker.h"
#include "shell/warning_box.h"

#include <QGridLayout>
#include <QIcon>

namespace {

// The two boxes about a header row have no owner and the old window title.
const QString header_row_title = QStringLiteral("Quenridge");

bool started_up()
{
    return init_done.load(std::memory_order_acquire);
}

} // namespace

main_window_c::main_window_c(QWidget* parent) : QSkinWidget(parent)
{
    setupUi(this);

    home_page = new home_window_c(this);
    volume_page = new volume_window_c(this);
    volume_page->hide();
    drive_page = new drive_window_c(this);
    drive_page->hide();
    partition_page = new partition_window_c(this);
    partition_page->hide();
    recovery_page = new recovery_window_c(this);
    recovery_page->hide();

    for (int index = home; index <= recovery; ++index)
        gridLayout->addWidget(page(index), 0, 0, 1, 1);

    home_page->raise();
    current_page = home_page;

    QSizePolicy policy = sizePolicy();
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
    setWindowIcon(QIcon(QStringLiteral(":/images/top.ico")));
}

main_window_c::~main_window_c()
{
    partition_page->stop_search();
    recovery_page->abort_if_busy();
    recovery_page->current_engine().wait();
}

QWidget* main_window_c::page(int index) const
{
    switch (index) {
    case home: return home_page;
    case volume: return volume_page;
    case drive: return drive_page;
    case partition: return partition_page;
    case recovery: return recovery_page;
    default: return nullptr;
    }
}

void main_window_c::show_page(int index)
{
    QWidget* target = page(index);
    if (!target)
        return;
    current_page->hide();
    // Last among the children is drawn last, on top.
    target->raise();
    current_page = target;
    target->show();
    update();
}

void main_window_c::stop_recovery()
{
    recovery_page->abort_if_busy();
    recovery_page->reset_page();
}

bool main_window_c::scan_running() const
{
    return recovery_busy;
}

void main_window_c::on_click_home_start()
{
    if (!started_up()) {
        warning_box(this, "startup_warning");
        return;
    }
    show_page(volume);
}

void main_window_c::on_click_home_resume()
{
    if (!started_up()) {
        warning_box(this, "startup_warning");
        return;
    }
    if (recovery_page->load_results() == -1)
        return;
    show_page(recovery);
}

void main_window_c::on_click_volume_back()
{
    show_page(home);
}

// A running scan is left unless the user says No.
void main_window_c::on_click_recovery_back()
{
    if (recovery_busy && warning_box(this, "back_warning", warning_buttons::yes_no) == QMessageBox::No)
        return;
    stop_recovery();
    show_page(volume);
}

void main_window_c::on_click_volume_refresh()
{
    volume_page->refresh_volumes();
}

void main_window_c::on_click_volume_scan()
{
    const std::optional<volume_item_s> target = volume_page->current_volume();
    if (!target)
        return;
    if (target->device_name.isEmpty()) {
        warning_box(nullptr, "main_warning2", warning_buttons::ok, header_row_title);
        return;
    }
    if (recovery_page->scan_volume(*target, raw_scan_mode) != 0)
        return;
    show_page(recovery);
}

void main_window_c::on_click_drive_scan()
{
    const drive_item_s target = drive_page->current_drive();
    if (target.path.isEmpty()) {
        warning_box(nullptr, "main_warning1", warning_buttons::ok, header_row_title);
        return;
    }
    partition_page->start_search(target);
    show_page(partition);
}

void main_window_c::on_click_drive_refresh()
{
    drive_page->refresh_drives();
}

void main_window_c::on_click_drive_back()
{
    show_page(home);
}

// Back from the partition page leads to the volume page, not the drive page.
void main_window_c::on_click_partition_back()
{
    partition_page->stop_search();
    show_page(volume);
}

void main_window_c::on_init_finished()
{
    volume_page->set_volume_list(volume_list());
    drive_page->set_drive_list(drive_list());
}
