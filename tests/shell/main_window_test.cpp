#include "shell_fixture.h"

#include "disk/drive_list.h"
#include "disk/volume_list.h"
#include "pages/drive_window.h"
#include "pages/home_window.h"
#include "pages/partition_window.h"
#include "pages/recovery_window.h"
#include "pages/volume_window.h"
#include "shell/file_dialogs.h"
#include "shell/init_worker.h"
#include "shell/main_window.h"

#include "test_support.h"

#include <gtest/gtest.h>

#include <QGridLayout>
#include <QListView>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include <filesystem>
#include <functional>
#include <memory>

using namespace shell_test;
using page = main_window_c::page_index;

namespace {

// Disk 0: an MBR disk with one FAT32 volume. Disk 1: a large empty disk whose
// partition search runs long enough to be left while it runs.
class main_window_test : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        if (!test_support::have_program("mkfs.fat") || !test_support::have_program("sfdisk"))
            return;
        folder = std::make_unique<test_support::scratch_dir>();
        std::filesystem::current_path(folder->path());
        qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(folder->path().string()));
        const std::string fat_disk = folder->file("fat.img");
        const std::string empty_disk = folder->file("empty.img");
        test_support::make_sparse_file(fat_disk, 64ull << 20);
        test_support::make_sparse_file(empty_disk, 1ull << 40);
        const bool made = test_support::run("printf 'label: dos\\n2048,,c\\n' | sfdisk -q " + fat_disk) == 0
                          && test_support::run("mkfs.fat -F 32 --offset 2048 " + fat_disk + " >/dev/null") == 0;
        if (made)
            test_support::use_disks({fat_disk, empty_disk});
        else
            folder.reset();
    }
    static void TearDownTestSuite() { folder.reset(); }

    void SetUp() override
    {
        if (!folder)
            GTEST_SKIP() << "needs mkfs.fat and sfdisk";
        init_done = false;
        recovery_busy = false;
        window = std::make_unique<main_window_c>();
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        set_file_dialog_answerer([](const file_dialog_request&) { return QString(); });
    }
    void TearDown() override
    {
        recovery_busy = false;
        set_file_dialog_answerer({});
        window.reset();
    }

    void start_up()
    {
        init_c worker;
        QObject::connect(&worker, &init_c::init_finished, window.get(), &main_window_c::on_init_finished);
        worker.start(QThread::InheritPriority);
        ASSERT_TRUE(worker.wait(20000));
        ASSERT_TRUE(wait_until([&] { return volumes()->lv_volumes->model() != nullptr
                                            && volumes()->lv_volumes->model()->rowCount() == 2; }));
    }

    home_window_c* home() const { return static_cast<home_window_c*>(window->page(page::home)); }
    volume_window_c* volumes() const { return static_cast<volume_window_c*>(window->page(page::volume)); }
    drive_window_c* drives() const { return static_cast<drive_window_c*>(window->page(page::drive)); }
    partition_window_c* partitions() const
    {
        return static_cast<partition_window_c*>(window->page(page::partition));
    }
    recovery_window_c* recovery() const { return static_cast<recovery_window_c*>(window->page(page::recovery)); }

    QWidget* shown() const { return window->shown_page(); }
    void press(QPushButton* button) const { QTest::mouseClick(button, Qt::LeftButton); }
    void press_title_button(int number) const
    {
        QTest::mouseClick(window.get(), Qt::LeftButton, {}, QPoint(10 + 103 * (number - 1) + 40, 60));
    }
    void make_current(QListView* list, int row) const
    {
        list->setCurrentIndex(list->model()->index(row, 0));
    }

    static std::unique_ptr<test_support::scratch_dir> folder;
    std::unique_ptr<main_window_c> window;
};

std::unique_ptr<test_support::scratch_dir> main_window_test::folder;

TEST_F(main_window_test, pages_share_one_cell_inside_the_skin)
{
    EXPECT_EQ(window->objectName(), QStringLiteral("MainForm"));
    EXPECT_EQ(window->minimumSize(), QSize(800, 600));
    EXPECT_EQ(window->size(), QSize(800, 600));
    EXPECT_EQ(window->gridLayout->spacing(), 0);
    for (int index = page::home; index <= page::recovery; ++index) {
        int row = -1, column = -1, rows = 0, columns = 0;
        window->gridLayout->getItemPosition(window->gridLayout->indexOf(window->page(index)), &row, &column,
                                            &rows, &columns);
        EXPECT_EQ(std::tuple(row, column, rows, columns), std::tuple(0, 0, 1, 1)) << index;
        EXPECT_EQ(window->page(index)->isVisible(), index == page::home) << index;
    }
    EXPECT_EQ(home()->geometry(), QRect(3, 100, 794, 496));
}

TEST_F(main_window_test, home_cannot_be_left_before_start_up)
{
    const std::function<void()> ways_out[] = {
        [&] { press(home()->btn_start); },  [&] { press(home()->btn_resume); },
        [&] { press_title_button(1); },     [&] { press_title_button(2); },
        [&] { press_title_button(3); },
    };
    for (const auto& way_out : ways_out) {
        box_recorder boxes;
        way_out();
        EXPECT_EQ(boxes.keys(), std::vector<std::string>{"startup_warning"});
        ASSERT_EQ(boxes.boxes.size(), 1u);
        EXPECT_EQ(boxes.boxes[0].owner, window.get());
        EXPECT_EQ(boxes.boxes[0].title, QStringLiteral("Zorvane"));
        EXPECT_EQ(shown(), home());
        EXPECT_TRUE(home()->isVisible());
    }
}

// The worker may be done before the loop runs: the lists still reach the
// pages, once, when it does.
TEST_F(main_window_test, start_up_hands_both_lists_to_their_pages_once)
{
    init_c worker;
    int finished = 0;
    QObject::connect(&worker, &init_c::init_finished, window.get(), &main_window_c::on_init_finished);
    QObject::connect(&worker, &init_c::init_finished, window.get(), [&] { ++finished; });
    worker.start(QThread::InheritPriority);
    ASSERT_TRUE(worker.wait(20000));
    EXPECT_TRUE(init_done.load());
    EXPECT_EQ(volumes()->lv_volumes->model(), nullptr);
    ASSERT_TRUE(wait_until([&] { return finished == 1; }));
    QTest::qWait(50);
    EXPECT_EQ(finished, 1);
    ASSERT_NE(volumes()->lv_volumes->model(), nullptr);
    EXPECT_EQ(volumes()->lv_volumes->model()->rowCount(), volume_list().size());
    EXPECT_EQ(volume_list().size(), 2);
    EXPECT_EQ(drives()->lv_drives->model()->rowCount(), 3);
    EXPECT_EQ(drives()->lv_drives->currentIndex().row(), 1);
}

// One walk through the navigation table, each step as the user does it.
TEST_F(main_window_test, navigation_follows_the_table)
{
    start_up();
    const struct {
        const char* step;
        std::function<void()> action;
        page target;
    } walk[] = {
        {"home start", [&] { press(home()->btn_start); }, page::volume},
        {"volume back", [&] { press(volumes()->btn_back); }, page::home},
        {"title partitions", [&] { press_title_button(2); }, page::drive},
        {"drive back", [&] { press(drives()->btn_back); }, page::home},
        {"title deleted files", [&] { press_title_button(1); }, page::volume},
        {"title partitions again", [&] { press_title_button(2); }, page::drive},
        {"drive scan", [&] { make_current(drives()->lv_drives, 1); press(drives()->btn_scan); }, page::partition},
        {"partition back", [&] { press(partitions()->btn_back); }, page::volume},
        {"volume scan", [&] { make_current(volumes()->lv_volumes, 1); press(volumes()->btn_scan); }, page::recovery},
        {"recovery back, the scan over", [&] { press(recovery()->btn_back); }, page::volume},
        {"title raw scan", [&] { press_title_button(3); }, page::volume},
        {"home resume, nothing chosen", [&] { press(volumes()->btn_back); press(home()->btn_resume); }, page::home},
    };
    for (const auto& step : walk) {
        // The page's own question at the end of a scan is not the window's.
        ASSERT_TRUE(wait_until([] { return !recovery_busy; }));
        box_recorder boxes;
        step.action();
        EXPECT_TRUE(boxes.keys().empty()) << step.step << ": " << (boxes.keys().empty() ? "" : boxes.keys()[0]);
        EXPECT_EQ(shown(), window->page(step.target)) << step.step;
        EXPECT_TRUE(shown()->isVisible()) << step.step;
        for (int index = page::home; index <= page::recovery; ++index) {
            if (index != step.target) {
                EXPECT_FALSE(window->page(index)->isVisible()) << step.step << ", page " << index;
            }
        }
    }
}

TEST_F(main_window_test, header_rows_are_refused_with_an_ownerless_box)
{
    start_up();
    const struct {
        const char* step;
        int title_button;
        std::function<void()> scan;
        const char* box;
        page stays;
    } rows[] = {
        {"drive header", 2, [&] { make_current(drives()->lv_drives, 0); press(drives()->btn_scan); }, "main_warning1",
         page::drive},
        {"volume header", 1, [&] { make_current(volumes()->lv_volumes, 0); press(volumes()->btn_scan); },
         "main_warning2", page::volume},
        {"volume header by double click", 1,
         [&] {
             QListView* list = volumes()->lv_volumes;
             const QRect header = list->visualRect(list->model()->index(0, 0));
             double_click(list->viewport(), header.center());
         },
         "main_warning2", page::volume},
    };
    for (const auto& r : rows) {
        press_title_button(r.title_button);
        box_recorder boxes;
        r.scan();
        EXPECT_EQ(boxes.keys(), std::vector<std::string>{r.box}) << r.step;
        ASSERT_EQ(boxes.boxes.size(), 1u);
        EXPECT_EQ(boxes.boxes[0].owner, nullptr) << r.step;
        EXPECT_EQ(boxes.boxes[0].title, QStringLiteral("Quenridge")) << r.step;
        EXPECT_EQ(boxes.boxes[0].buttons, QMessageBox::StandardButtons(QMessageBox::Ok)) << r.step;
        EXPECT_EQ(shown(), window->page(r.stays)) << r.step;
    }

    // No current row: the volume page tells the user itself, nothing more happens.
    press_title_button(1);
    volumes()->lv_volumes->setCurrentIndex({});
    box_recorder boxes;
    press(volumes()->btn_scan);
    EXPECT_EQ(boxes.keys(), std::vector<std::string>{"scan_nosel_warning"});
    EXPECT_EQ(shown(), volumes());
}

TEST_F(main_window_test, double_click_on_a_volume_scans_it)
{
    start_up();
    press(home()->btn_start);
    QListView* list = volumes()->lv_volumes;
    double_click(list->viewport(), list->visualRect(list->model()->index(1, 0)).center());
    EXPECT_EQ(shown(), recovery());
    EXPECT_EQ(recovery()->current_engine_type(), engine_fat);
    EXPECT_TRUE(wait_until([] { return !recovery_busy; }));
}

TEST_F(main_window_test, raw_scan_mode_follows_the_title_buttons_only)
{
    start_up();
    const struct {
        std::function<void()> action;
        bool raw;
    } steps[] = {
        {[&] { press_title_button(3); }, true},
        {[&] { press(volumes()->btn_back); press(home()->btn_start); }, true},
        {[&] { press_title_button(2); }, true},
        {[&] { press_title_button(1); }, false},
        {[&] { press(volumes()->btn_back); press(home()->btn_start); }, false},
    };
    for (const auto& step : steps) {
        step.action();
        EXPECT_EQ(window->raw_scan_mode, step.raw);
    }
    // The next volume scan is a deep one after the raw-scan button.
    press_title_button(3);
    make_current(volumes()->lv_volumes, 1);
    press(volumes()->btn_scan);
    EXPECT_EQ(shown(), recovery());
    EXPECT_EQ(recovery()->current_engine_type(), engine_raw);
    EXPECT_TRUE(wait_until([] { return !recovery_busy; }));
}

// While a file scan runs, leaving the recovery page asks; only No stays.
TEST_F(main_window_test, leaving_a_running_scan_asks_first)
{
    start_up();
    const struct {
        std::function<void()> leave;
        int answer;
        page target;
    } rows[] = {
        {[&] { press(recovery()->btn_back); }, QMessageBox::No, page::recovery},
        {[&] { press(recovery()->btn_back); }, QMessageBox::Yes, page::volume},
        {[&] { press_title_button(1); }, QMessageBox::No, page::recovery},
        {[&] { press_title_button(2); }, QMessageBox::Yes, page::drive},
        {[&] { press_title_button(3); }, QMessageBox::Ok, page::volume},
    };
    for (const auto& r : rows) {
        window->show_page(page::recovery);
        recovery_busy = true;
        box_recorder boxes(r.answer);
        r.leave();
        EXPECT_EQ(boxes.keys(), std::vector<std::string>{"back_warning"});
        EXPECT_EQ(shown(), window->page(r.target)) << r.answer;
        recovery_busy = false;
    }
}

TEST_F(main_window_test, partition_search_stops_on_back_but_not_on_a_title_button)
{
    start_up();
    press_title_button(2);
    make_current(drives()->lv_drives, 2); // the large empty disk
    press(drives()->btn_scan);
    ASSERT_EQ(shown(), partitions());
    EXPECT_TRUE(partitions()->worker().isRunning());

    press_title_button(2);
    EXPECT_EQ(shown(), drives());
    EXPECT_TRUE(partitions()->worker().isRunning());

    window->show_page(page::partition);
    press(partitions()->btn_back);
    EXPECT_EQ(shown(), volumes());
    EXPECT_FALSE(partitions()->worker().isRunning());
    EXPECT_EQ(partitions()->btn_stop->text(), lang_text("btn_start"));
}

// Quitting with a search still running ends it before its page goes away.
TEST_F(main_window_test, closing_ends_a_running_partition_search)
{
    start_up();
    press_title_button(2);
    make_current(drives()->lv_drives, 2);
    press(drives()->btn_scan);
    ASSERT_TRUE(partitions()->worker().isRunning());
    window->close();
    window.reset();
    SUCCEED();
}

} // namespace
