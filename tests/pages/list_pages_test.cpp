// The drive and volume pages: their current rows, their refresh, and the
// clicks they pass to the main window.
#include "page_owner.h"
#include "qt_printers.h"
#include "pages/drive_window.h"
#include "pages/home_window.h"
#include "pages/partition_window.h"
#include "pages/volume_window.h"
#include "i18n/language_table.h"
#include "shell/warning_box.h"
#include "test_support.h"

#include <QListView>
#include <QPushButton>
#include <QMouseEvent>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>
#include <iostream>
#include <memory>

namespace {

QList<drive_item_s> header_and_disks(int disks)
{
    QList<drive_item_s> list{drive_item_s{}};
    for (int i = 0; i < disks; ++i)
        list.append({QStringLiteral("\\\\.\\PhysicalDrive%1").arg(i), 1u << 20,
                     std::make_shared<platform::disk_geometry>()});
    return list;
}

QList<volume_item_s> header_and_volumes()
{
    return {volume_item_s{},
            {"\\Device\\HarddiskVolume1", "\\\\?\\Volume{1}\\", "DATA", "FAT32", "D:\\", 100, 50},
            {"\\Device\\HarddiskVolume2", "\\\\?\\Volume{2}\\", "", "NTFS", "E:\\", 100, 10}};
}

// Answers every warning box and remembers the texts it was shown.
struct box_recorder {
    QStringList texts;
    box_recorder()
    {
        set_warning_answerer([this](QMessageBox& box) {
            texts << box.text();
            return int(QMessageBox::Ok);
        });
    }
    ~box_recorder() { set_warning_answerer({}); }
};

QPoint centre_of_row(QListView& view, int row)
{
    return view.visualRect(view.model()->index(row, 0)).center();
}

// Press, release, double click, release: what a person's double click
// delivers to the widget.
void double_click(QWidget* widget, QPoint at)
{
    const QPointF global = widget->mapToGlobal(QPointF(at));
    for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease, QEvent::MouseButtonDblClick,
                              QEvent::MouseButtonRelease}) {
        const bool down = type != QEvent::MouseButtonRelease;
        QMouseEvent event(type, QPointF(at), global, Qt::LeftButton, down ? Qt::LeftButton : Qt::NoButton,
                          Qt::NoModifier);
        QCoreApplication::sendEvent(widget, &event);
    }
}

} // namespace

TEST(PageButtons, ReachTheMainWindowSlots)
{
    using make_page = std::function<std::unique_ptr<QWidget>(QWidget*)>;
    struct case_s {
        make_page make;
        const char* button;
        const char* call;
    };
    const make_page home = [](QWidget* o) { return std::make_unique<home_window_c>(o); };
    const make_page drive = [](QWidget* o) { return std::make_unique<drive_window_c>(o); };
    const make_page volume = [](QWidget* o) { return std::make_unique<volume_window_c>(o); };
    const make_page partition = [](QWidget* o) { return std::make_unique<partition_window_c>(o); };
    const case_s cases[] = {
        {home, "btn_start", "home_start"},         {home, "btn_resume", "home_resume"},
        {drive, "btn_back", "drive_back"},         {drive, "btn_refresh", "drive_refresh"},
        {drive, "btn_scan", "drive_scan"},         {volume, "btn_back", "volume_back"},
        {volume, "btn_refresh", "volume_refresh"}, {volume, "btn_scan", "volume_scan"},
        {partition, "btn_back", "partition_back"},
    };
    for (const auto& c : cases) {
        page_owner owner;
        auto page = c.make(&owner);
        page->resize(794, 496);
        page->show();
        auto* button = page->findChild<QPushButton*>(c.button);
        ASSERT_NE(button, nullptr) << c.button;
        QTest::mouseClick(button, Qt::LeftButton);
        EXPECT_EQ(owner.calls, QStringList{c.call}) << c.button;
    }
}

TEST(DrivePage, FirstDiskIsCurrentAfterTheListArrives)
{
    page_owner owner;
    drive_window_c page(&owner);
    EXPECT_TRUE(page.current_drive().path.isEmpty()) << "no list yet";

    QList<drive_item_s> list = header_and_disks(3);
    page.set_drive_list(list);
    EXPECT_EQ(page.lv_drives->currentIndex().row(), 1);
    EXPECT_EQ(page.current_drive().path, "\\\\.\\PhysicalDrive0");

    page.lv_drives->setCurrentIndex(page.lv_drives->model()->index(0, 0));
    EXPECT_TRUE(page.current_drive().path.isEmpty()) << "the header entry";

    QList<drive_item_s> only_header = header_and_disks(0);
    page.set_drive_list(only_header);
    EXPECT_EQ(page.lv_drives->model()->rowCount(), 1);
    EXPECT_TRUE(page.current_drive().path.isEmpty());
}

TEST(DrivePage, RefreshShowsTheRebuiltListWithoutCurrentRow)
{
    test_support::scratch_dir dir;
    test_support::make_sparse_file(dir.file("a.img"), 8 << 20);
    test_support::make_sparse_file(dir.file("b.img"), 16 << 20);
    test_support::use_disks({dir.file("a.img"), dir.file("b.img")});

    page_owner owner;
    drive_window_c page(&owner);
    QList<drive_item_s> stale = header_and_disks(5);
    page.set_drive_list(stale);
    page.refresh_drives();
    ASSERT_EQ(page.lv_drives->model()->rowCount(), 3);
    EXPECT_FALSE(page.lv_drives->currentIndex().isValid());
    EXPECT_EQ(page.lv_drives->model()->index(2, 0).data().value<drive_item_s>().path, "\\\\.\\PhysicalDrive1");
    EXPECT_TRUE(page.current_drive().path.isEmpty());
}

TEST(VolumePage, ScanWithoutCurrentRowTellsTheUserAndGivesNothing)
{
    box_recorder boxes;
    page_owner owner;
    volume_window_c page(&owner);
    QList<volume_item_s> list = header_and_volumes();
    page.set_volume_list(list);
    EXPECT_FALSE(page.lv_volumes->currentIndex().isValid());

    EXPECT_FALSE(page.current_volume().has_value());
    EXPECT_EQ(boxes.texts, QStringList{lang_text("scan_nosel_warning")});

    page.lv_volumes->setCurrentIndex(page.lv_volumes->model()->index(2, 0));
    const auto volume = page.current_volume();
    ASSERT_TRUE(volume.has_value());
    EXPECT_EQ(volume->mount_path, "E:\\");
    EXPECT_EQ(boxes.texts.size(), 1);
}

TEST(VolumePage, RefreshShowsTheVolumesOfTheDisksNow)
{
    if (!test_support::have_program("mkfs.fat"))
        GTEST_SKIP() << "needs dosfstools";
    test_support::scratch_dir dir;
    const std::string image = dir.file("stick.img");
    test_support::make_sparse_file(image, 64 << 20);
    ASSERT_EQ(test_support::run("mkfs.fat -F 32 -n STICK '" + image + "' >/dev/null"), 0);
    test_support::use_disks({image});

    page_owner owner;
    volume_window_c page(&owner);
    QList<volume_item_s> stale = header_and_volumes();
    page.set_volume_list(stale);
    page.refresh_volumes();
    const auto* model = page.lv_volumes->model();
    ASSERT_EQ(model->rowCount(), 2);
    const auto volume = model->index(1, 0).data().value<volume_item_s>();
    EXPECT_EQ(volume.file_system, "FAT32");
    EXPECT_EQ(volume.label, "STICK");
    EXPECT_FALSE(page.lv_volumes->currentIndex().isValid());
}

TEST(VolumePage, DoubleClickAsksTheMainWindowToScanThatRow)
{
    page_owner owner;
    volume_window_c page(&owner);
    QList<volume_item_s> list = header_and_volumes();
    page.set_volume_list(list);
    page.resize(794, 496);
    page.show();
    for (int row : {2, 0}) {
        owner.calls.clear();
        QWidget* viewport = page.lv_volumes->viewport();
        double_click(viewport, centre_of_row(*page.lv_volumes, row));
        EXPECT_EQ(owner.calls, QStringList{"volume_scan"}) << row;
        EXPECT_EQ(page.lv_volumes->currentIndex().row(), row);
    }
}
