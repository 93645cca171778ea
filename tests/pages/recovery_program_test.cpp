// The whole program driven through its widgets, as a user recovers files:
// home, start, a volume of the demo disk, scan, folders, previews, check
// marks, recovery; a deep scan saved and loaded again after a restart; and
// the page left while a scan runs.
#include "i18n/language_table.h"
#include "pages/home_window.h"
#include "pages/open_folder.h"
#include "pages/recovery_views.h"
#include "pages/recovery_window.h"
#include "pages/volume_window.h"
#include "recovery_disks.h"
#include "shell/file_dialogs.h"
#include "shell/init_worker.h"
#include "shell/main_window.h"
#include "shell/warning_box.h"
#include "test_support.h"

#include <QDir>
#include <QFile>
#include <QListView>
#include <QPushButton>
#include <QTest>
#include <QTreeView>

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <memory>

namespace {

using page_index = main_window_c::page_index;

template <typename Predicate>
bool wait_until(Predicate done)
{
    for (int waited = 0; !done(); waited += 5) {
        if (waited >= 120000)
            return false;
        QTest::qWait(5);
    }
    return true;
}

class recovery_program : public testing::Test {
protected:
    void SetUp() override
    {
        disks = made_recovery_disks();
        if (!disks)
            GTEST_SKIP() << "mkfs.fat, mtools, sfdisk, ImageMagick, python3 or gzip missing";
        std::filesystem::current_path(scratch.path());
        qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(scratch.path().string()));
        for (const char* key : {"deep_scan_query", "recovery_check_warning",
                                "recovery_same_volume_warning", "back_warning", "quit_warning"})
            lang_text(key) = QString::fromLatin1(key);
        set_warning_answerer([this](QMessageBox& box) {
            asked << box.text();
            const auto answer = answers.find(box.text());
            return answer == answers.end() ? int(QMessageBox::No) : answer->second;
        });
        set_file_dialog_answerer([this](const file_dialog_request& request) { return chosen[request.kind]; });
        set_folder_opener([this](const QString& path) { opened << path; });
        out = QString::fromStdString(scratch.file("out"));
        QDir().mkpath(out);
        chosen[file_dialog_request::existing_directory] = out;
        start_program();
    }

    void TearDown() override
    {
        if (window) {
            recovery()->abort_if_busy();
            wait_until([] { return !recovery_busy; });
            wait_until([this] { return !recovery()->export_running(); });
        }
        window.reset();
        set_warning_answerer({});
        set_file_dialog_answerer({});
        set_folder_opener({});
    }

    void start_program()
    {
        init_done = false;
        window = std::make_unique<main_window_c>();
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        init_c worker;
        QObject::connect(&worker, &init_c::init_finished, window.get(), &main_window_c::on_init_finished);
        worker.start();
        ASSERT_TRUE(worker.wait(20000));
        ASSERT_TRUE(wait_until([&] { return volumes()->lv_volumes->model() != nullptr; }));
    }

    home_window_c* home() const { return static_cast<home_window_c*>(window->page(page_index::home)); }
    volume_window_c* volumes() const
    {
        return static_cast<volume_window_c*>(window->page(page_index::volume));
    }
    recovery_window_c* recovery() const
    {
        return static_cast<recovery_window_c*>(window->page(page_index::recovery));
    }
    void press(QPushButton* button) { QTest::mouseClick(button, Qt::LeftButton); }

    // Picks the volume in the list with a click, then presses Scan.
    void scan_from_volume_page(const volume_item_s& volume)
    {
        ASSERT_EQ(window->shown_page(), volumes());
        QListView* list = volumes()->lv_volumes;
        int row = -1;
        for (int r = 0; r < list->model()->rowCount(); ++r)
            if (list->model()->index(r, 0).data().value<volume_item_s>().mount_path == volume.mount_path)
                row = r;
        ASSERT_GT(row, 0);
        const QModelIndex index = list->model()->index(row, 0);
        list->scrollTo(index);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(index).center());
        press(volumes()->btn_scan);
        ASSERT_EQ(window->shown_page(), recovery());
    }

    QModelIndex folder(const QStringList& path)
    {
        QAbstractItemModel* tree = recovery()->tv_dirtree->model();
        QModelIndex node = tree->index(0, 0);
        for (const QString& name : path) {
            QModelIndex next;
            for (int row = 0; row < tree->rowCount(node); ++row)
                if (tree->index(row, 0, node).data().toString() == name)
                    next = tree->index(row, 0, node);
            node = next;
            if (!node.isValid())
                break;
        }
        return node;
    }

    void click_folder(const QStringList& path)
    {
        const QModelIndex index = folder(path);
        ASSERT_TRUE(index.isValid()) << path.join('/').toStdString();
        QTreeView* tree = recovery()->tv_dirtree;
        for (QModelIndex up = index.parent(); up.isValid(); up = up.parent())
            tree->expand(up);
        tree->scrollTo(index);
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualRect(index).center());
    }

    int click_row(const QString& name, int column)
    {
        const auto& rows = recovery()->table_rows();
        for (size_t i = 0; i < rows.size(); ++i) {
            if (rows[i].name != name)
                continue;
            MyQTableView* table = recovery()->file_table();
            const QModelIndex index = table->model()->index(int(i), column);
            table->scrollTo(index);
            QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, table->visualRect(index).center());
            return int(i);
        }
        ADD_FAILURE() << "no row " << name.toStdString();
        return -1;
    }

    QByteArray recover_checked(const QString& name)
    {
        const qsizetype shown = opened.size();
        press(recovery()->btn_recovery);
        EXPECT_TRUE(wait_until([&] { return opened.size() > shown; }));
        QFile file(out + '/' + name);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    const recovery_disks* disks = nullptr;
    test_support::scratch_dir scratch;
    std::unique_ptr<main_window_c> window;
    QStringList asked;
    QStringList opened;
    std::map<QString, int> answers;
    std::map<int, QString> chosen;
    QString out;
};

TEST_F(recovery_program, fat_then_ntfs_volume_of_the_demo_disk)
{
    press(home()->btn_start);
    scan_from_volume_page(disks->fat);
    ASSERT_TRUE(wait_until([] { return !recovery_busy; }));

    click_folder({"Photos"});
    click_row("#on.gif", 1);
    EXPECT_EQ(recovery()->preview_shown().image.size(), QSize(64, 64));
    click_folder({"Documents"});
    click_row("#tter.txt", 1);
    EXPECT_EQ(recovery()->preview_shown().text, "Dear Anna,\nthe photos are in the Holiday folder.\n");
    click_row("#tter.txt", 0);
    EXPECT_EQ(recover_checked("#tter.txt"), "Dear Anna,\nthe photos are in the Holiday folder.\n");

    press(recovery()->btn_back); // no scan runs: no question
    EXPECT_EQ(window->shown_page(), volumes());
    scan_from_volume_page(disks->ntfs);
    ASSERT_TRUE(wait_until([] { return !recovery_busy; }));
    click_folder({"test"});
    const int text = click_row("1.txt", 0);
    ASSERT_GE(text, 0);
    const recovery_item_s row = recovery()->table_rows()[size_t(text)];
    const QByteArray recovered = recover_checked("1.txt");
    EXPECT_EQ(uint64_t(recovered.size()), row.size);
    if (test_support::have_program("icat")) {
        const std::string oracle = test_support::output_of(
            "icat -o " + std::to_string(disks->ntfs_start / 512) + " '" + disks->demo_image + "' " +
            std::to_string(row.id));
        EXPECT_EQ(recovered, QByteArray::fromStdString(oracle));
    }
    EXPECT_TRUE(asked.isEmpty());
}

TEST_F(recovery_program, deep_scan_saved_then_loaded_after_a_restart)
{
    answers["deep_scan_query"] = QMessageBox::Yes;
    press(home()->btn_start);
    scan_from_volume_page(disks->clean);
    ASSERT_TRUE(wait_until([&] { return !asked.isEmpty() && !recovery_busy; }));
    EXPECT_EQ(asked, QStringList{"deep_scan_query"});
    const QString saved = QString::fromStdString(scratch.file("stick.sav"));
    chosen[file_dialog_request::save_file] = saved;
    press(recovery()->btn_filter);
    ASSERT_TRUE(QFile::exists(saved));

    window.reset();
    start_program();
    chosen[file_dialog_request::open_file] = saved;
    press(home()->btn_resume);
    ASSERT_EQ(window->shown_page(), recovery());
    click_folder({"png"});
    click_row("00000000.png", 0);
    EXPECT_EQ(recover_checked("00000000.png"), disks->picture);
}

TEST_F(recovery_program, leaving_the_page_while_a_scan_runs)
{
    press(home()->btn_start);
    window->raw_scan_mode = true; // the title bar's raw-scan button sets it
    scan_from_volume_page(disks->ntfs);
    ASSERT_TRUE(wait_until([&] { return recovery()->current_engine().progress() > 0; }));
    press(recovery()->btn_back); // asks first; No stays
    EXPECT_EQ(asked, QStringList{"back_warning"});
    EXPECT_EQ(window->shown_page(), recovery());
    EXPECT_TRUE(recovery_busy);
    answers["back_warning"] = QMessageBox::Yes;
    press(recovery()->btn_back);
    EXPECT_EQ(window->shown_page(), volumes());
    ASSERT_TRUE(wait_until([] { return !recovery_busy; }));
    EXPECT_EQ(recovery()->tv_dirtree->model()->rowCount(), 0);
    EXPECT_EQ(asked.size(), 2); // no deep-scan question either

    window->raw_scan_mode = false;
    scan_from_volume_page(disks->fat); // a new scan from a clean page
    ASSERT_TRUE(wait_until([] { return !recovery_busy; }));
    EXPECT_TRUE(folder({"Documents"}).isValid());
}

} // namespace
