// The recovery page driven through its widgets as a user would: scans of
// FAT, NTFS and unformatted volumes, folder clicks, previews, check marks,
// recovery into a folder, the deep-scan question, saved results, pause,
// stop, restart, and leaving the page during a scan.
#include "i18n/language_table.h"
#include "pages/open_folder.h"
#include "pages/recovery_models.h"
#include "pages/recovery_views.h"
#include "pages/recovery_window.h"
#include "recovery/fat/disk_layer.h"
#include "recovery_disks.h"
#include "shell/file_dialogs.h"
#include "shell/warning_box.h"
#include "test_support.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QPushButton>
#include <QTest>
#include <QThread>
#include <QTreeView>

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <memory>

namespace {

class back_receiver : public QWidget {
    Q_OBJECT
public:
    int backs = 0;
public slots:
    void on_click_recovery_back() { ++backs; }
};

// Spins the event loop until `done`; false if that takes unreasonably long.
bool wait_for(const std::function<bool()>& done)
{
    const QDeadlineTimer deadline(120000);
    while (!done()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(2);
    }
    return true;
}

QByteArray file_bytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void write_file(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

class recovery_page : public testing::Test {
protected:
    void SetUp() override
    {
        disks = made_recovery_disks();
        if (!disks)
            GTEST_SKIP() << "mkfs.fat, mtools, sfdisk, ImageMagick, python3 or gzip missing";
        static const int fat_disks = disk_startup(); // as the program does at start
        ASSERT_EQ(fat_disks, 3);
        // Each text is its own key, so that the boxes and buttons tell which one they show.
        for (const char* key : {"deep_scan_query", "recovery_check_warning",
                                "recovery_same_volume_warning", "recovery_select", "btn_start",
                                "btn_pause", "btn_resume", "btn_stop", "raw_progress"})
            lang_text(key) = QString::fromLatin1(key);
        set_warning_answerer([this](QMessageBox& box) {
            asked << box.text();
            const auto answer = answers.find(box.text());
            return answer == answers.end() ? int(QMessageBox::No) : answer->second;
        });
        set_file_dialog_answerer([this](const file_dialog_request& request) {
            requests.push_back(request);
            return chosen[request.kind];
        });
        set_folder_opener([this](const QString& path) { opened << path; });
        out = QString::fromStdString(scratch.file("out"));
        QDir().mkpath(out);
        chosen[file_dialog_request::existing_directory] = out;
        make_page();
    }

    void TearDown() override
    {
        if (page) {
            page->abort_if_busy();
            wait_for([] { return !recovery_busy; });
            wait_for([this] { return !page->export_running(); });
        }
        page.reset();
        set_warning_answerer({});
        set_file_dialog_answerer({});
        set_folder_opener({});
    }

    void make_page()
    {
        page = std::make_unique<recovery_window_c>(&owner);
        page->resize(800, 600);
        page->show();
    }

    void scan(const volume_item_s& volume, bool deep = false)
    {
        ASSERT_EQ(page->scan_volume(volume, deep), 0);
        ASSERT_TRUE(wait_for([] { return !recovery_busy; }));
    }

    QAbstractItemModel& tree() { return *page->tv_dirtree->model(); }

    // The node reached from "/" by names that match these endings, ignoring case.
    QModelIndex folder(const QStringList& path)
    {
        QModelIndex node = tree().index(0, 0);
        for (const QString& name : path) {
            QModelIndex next;
            for (int row = 0; row < tree().rowCount(node); ++row) {
                const QModelIndex child = tree().index(row, 0, node);
                if (child.data().toString().endsWith(name, Qt::CaseInsensitive))
                    next = child;
            }
            if (!next.isValid())
                return next;
            node = next;
        }
        return node;
    }

    QStringList child_names(const QModelIndex& node)
    {
        QStringList names;
        for (int row = 0; row < tree().rowCount(node); ++row)
            names << tree().index(row, 0, node).data().toString();
        return names;
    }

    void click_folder(const QModelIndex& index)
    {
        ASSERT_TRUE(index.isValid());
        for (QModelIndex up = index.parent(); up.isValid(); up = up.parent())
            page->tv_dirtree->expand(up);
        page->tv_dirtree->scrollTo(index);
        QTest::mouseClick(page->tv_dirtree->viewport(), Qt::LeftButton, {},
                          page->tv_dirtree->visualRect(index).center());
    }

    int row_named(const QString& ending)
    {
        const auto& rows = page->table_rows();
        for (size_t i = 0; i < rows.size(); ++i)
            if (rows[i].name.endsWith(ending, Qt::CaseInsensitive))
                return int(i);
        return -1;
    }

    void click_cell(int row, int column)
    {
        ASSERT_GE(row, 0);
        MyQTableView* table = page->file_table();
        const QModelIndex index = table->model()->index(row, column);
        table->scrollTo(index);
        QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, table->visualRect(index).center());
    }

    void click(QPushButton* button) { QTest::mouseClick(button, Qt::LeftButton); }

    // Recovers the checked rows into `out` and waits for the folder to be shown.
    void recover_checked()
    {
        const qsizetype shown = opened.size();
        click(page->btn_recovery);
        ASSERT_TRUE(wait_for([&] { return opened.size() > shown; }));
        EXPECT_EQ(opened.last(), out);
    }

    const recovery_disks* disks = nullptr;
    test_support::scratch_dir scratch;
    back_receiver owner;
    std::unique_ptr<recovery_window_c> page;
    QStringList asked;
    QStringList opened;
    std::map<QString, int> answers;
    std::map<int, QString> chosen;
    std::vector<file_dialog_request> requests;
    QString out;
};

TEST_F(recovery_page, fat_volume_from_scan_to_recovered_bytes)
{
    ASSERT_EQ(page->scan_volume(disks->fat, false), 0);
    EXPECT_TRUE(recovery_busy);
    EXPECT_EQ(page->scan_volume(disks->fat, false), -1); // one scan at a time
    EXPECT_TRUE(page->btn_stop->isVisibleTo(page.get()));
    EXPECT_FALSE(page->btn_filter->isVisibleTo(page.get()));
    ASSERT_TRUE(wait_for([] { return !recovery_busy; }));
    EXPECT_EQ(page->btn_pause->text(), "btn_start");
    EXPECT_FALSE(page->btn_stop->isVisibleTo(page.get()));
    EXPECT_TRUE(asked.isEmpty());
    EXPECT_EQ(page->current_engine_type(), engine_fat);

    // Folders that lead to deleted files, the deleted ones included. A deleted
    // short name loses its first two bytes to the '#' (HOLIDAY is #LIDAY).
    const QModelIndex slash = tree().index(0, 0);
    EXPECT_EQ(slash.data().toString(), "/");
    EXPECT_TRUE(page->tv_dirtree->isExpanded(slash));
    const QStringList top = child_names(slash);
    EXPECT_TRUE(top.contains("Documents") && top.contains("Photos")) << top.join(',').toStdString();
    EXPECT_TRUE(folder({"Documents", "Reports", "2025"}).isValid());
    EXPECT_TRUE(folder({"Photos", "#LIDAY", "#ACH"}).isValid());

    // A picture and a text preview, each replacing the copy before it.
    click_folder(folder({"Photos"}));
    const int icon = row_named("#on.gif");
    ASSERT_GE(icon, 0);
    click_cell(icon, 1);
    ASSERT_TRUE(page->has_preview());
    EXPECT_EQ(page->preview_shown().image.size(), QSize(64, 64));
    const QString icon_copy = page->preview_file();
    EXPECT_TRUE(QFile::exists(icon_copy));
    EXPECT_TRUE(icon_copy.startsWith(QDir::tempPath()));

    click_folder(folder({"Documents"}));
    EXPECT_FALSE(page->has_preview());
    const int letter = row_named("#tter.txt");
    ASSERT_GE(letter, 0);
    EXPECT_FALSE(page->table_rows()[size_t(letter)].checked);
    click_cell(letter, 0); // the check column also previews
    ASSERT_TRUE(page->has_preview());
    const QByteArray letter_text = "Dear Anna,\nthe photos are in the Holiday folder.\n";
    EXPECT_EQ(page->preview_shown().text, QString::fromLatin1(letter_text));
    EXPECT_FALSE(QFile::exists(icon_copy));
    EXPECT_TRUE(page->table_rows()[size_t(letter)].checked);
    EXPECT_FALSE(page->grab().isNull());

    recover_checked();
    const QString name = page->table_rows()[size_t(letter)].name;
    EXPECT_EQ(file_bytes(out + '/' + name), letter_text);
    EXPECT_EQ(QDir(out).entryList(QDir::Files).size(), 1);

    const QString letter_copy = page->preview_file();
    EXPECT_TRUE(QFile::exists(letter_copy));
    page.reset();
    EXPECT_FALSE(QFile::exists(letter_copy)); // preview copies go with the page
}

TEST_F(recovery_page, preview_limit_keys_and_check_all)
{
    scan(disks->sized);
    click_folder(folder({"Big"}));
    const int exact = row_named("#act.bin"), over = row_named("#er.bin");
    ASSERT_GE(exact, 0);
    ASSERT_GE(over, 0);
    EXPECT_EQ(page->table_rows()[size_t(exact)].size, 5242880u);
    click_cell(exact, 1);
    EXPECT_TRUE(page->has_preview());
    click_cell(over, 1);
    EXPECT_FALSE(page->has_preview());

    // Down in the check column checks each row the cursor enters.
    MyQTableView* table = page->file_table();
    table->setFocus();
    table->setCurrentIndex(table->model()->index(0, 0));
    QTest::keyClick(table, Qt::Key_Down);
    EXPECT_FALSE(page->table_rows()[0].checked);
    EXPECT_TRUE(page->table_rows()[1].checked);

    // The header box checks every row; a folder click clears all marks.
    QHeaderView* header = page->table_header();
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_TRUE(page->table_rows()[0].checked && page->table_rows()[1].checked);
    recover_checked();
    EXPECT_EQ(QDir(out).entryList(QDir::Files).size(), 2);
    EXPECT_EQ(QFileInfo(out + '/' + page->table_rows()[size_t(over)].name).size(), 5242881);
    click_folder(folder({"Big"}));
    EXPECT_FALSE(page->table_rows()[0].checked || page->table_rows()[1].checked);
    EXPECT_FALSE(page->table_header()->is_all_checked());

    // The name column's header sorts: ascending, then descending.
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(100, 5));
    EXPECT_LT(page->table_rows()[0].name, page->table_rows()[1].name);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(100, 5));
    EXPECT_GT(page->table_rows()[0].name, page->table_rows()[1].name);
}

TEST_F(recovery_page, ntfs_volume_deleted_file_recovered)
{
    scan(disks->ntfs);
    EXPECT_EQ(page->current_engine_type(), engine_ntfs);
    EXPECT_TRUE(asked.isEmpty());
    const QModelIndex test_folder = folder({"test"});
    ASSERT_TRUE(test_folder.isValid()) << child_names(tree().index(0, 0)).join(',').toStdString();
    // Records 0 to 11 never appear, though the root lists itself.
    EXPECT_FALSE(child_names(tree().index(0, 0)).contains("."));
    click_folder(test_folder);
    const int text = row_named("1.txt");
    ASSERT_GE(text, 0);
    click_cell(text, 0);
    EXPECT_TRUE(page->has_preview());
    recover_checked();
    const recovery_item_s& row = page->table_rows()[size_t(text)];
    const QByteArray recovered = file_bytes(out + '/' + row.name);
    EXPECT_EQ(uint64_t(recovered.size()), row.size);
    EXPECT_EQ(page->preview_shown().text, QString::fromLatin1(recovered.left(8192)).section(QChar(0), 0, 0));
    if (test_support::have_program("icat")) {
        const std::string oracle = test_support::output_of(
            "icat -o " + std::to_string(disks->ntfs_start / 512) + " '" + disks->demo_image + "' " +
            std::to_string(row.id));
        EXPECT_EQ(recovered, QByteArray::fromStdString(oracle));
    }
}

TEST_F(recovery_page, warnings_before_recovery)
{
    volume_item_s fat = disks->fat;
    fat.mount_path = QString::fromStdString(scratch.path().string()); // out lies under it
    scan(fat);
    click(page->btn_recovery); // no rows: nothing at all
    EXPECT_TRUE(asked.isEmpty());
    EXPECT_TRUE(requests.empty());

    click_folder(folder({"Documents"}));
    click(page->btn_recovery);
    EXPECT_EQ(asked, QStringList{"recovery_check_warning"});
    EXPECT_TRUE(requests.empty());

    click_cell(row_named("#tter.txt"), 0);
    chosen[file_dialog_request::existing_directory] = QString(); // Cancel
    click(page->btn_recovery);
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].caption, "recovery_select");
    EXPECT_EQ(asked.size(), 1);

    chosen[file_dialog_request::existing_directory] = out;
    click(page->btn_recovery); // on the scanned volume: No
    EXPECT_EQ(asked.last(), "recovery_same_volume_warning");
    QCoreApplication::processEvents();
    EXPECT_TRUE(QDir(out).isEmpty());
    EXPECT_FALSE(page->export_running());

    answers["recovery_same_volume_warning"] = QMessageBox::Yes;
    recover_checked();
    EXPECT_EQ(QDir(out).entryList(QDir::Files).size(), 1);

    click(page->btn_back);
    EXPECT_EQ(owner.backs, 1);
}

TEST_F(recovery_page, nothing_found_deep_scan_saved_and_loaded)
{
    // An unknown file system starts nothing unless a deep scan is asked for.
    EXPECT_EQ(page->scan_volume(disks->unformatted, false), -1);
    EXPECT_FALSE(recovery_busy);

    answers["deep_scan_query"] = QMessageBox::Yes;
    ASSERT_EQ(page->scan_volume(disks->clean, false), 0);
    ASSERT_TRUE(wait_for([&] { return !asked.isEmpty(); }));
    EXPECT_EQ(asked, QStringList{"deep_scan_query"});
    // The deep scan of the same volume starts (a small one may end at once).
    EXPECT_EQ(page->current_engine_type(), engine_raw);
    ASSERT_TRUE(wait_for([] { return !recovery_busy; }));
    EXPECT_EQ(asked.size(), 1);
    EXPECT_TRUE(page->btn_filter->isVisibleTo(page.get()));
    ASSERT_TRUE(folder({"png"}).isValid()) << child_names(tree().index(0, 0)).join(',').toStdString();

    click_folder(tree().index(0, 0)); // "/" of a raw tree lists nothing
    EXPECT_TRUE(page->table_rows().empty());

    const QString saved = QString::fromStdString(scratch.file("found.sav"));
    chosen[file_dialog_request::save_file] = saved;
    click(page->btn_filter);
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].filter, "Zorvane Scan files (*.sav);;All files (*.*)");
    EXPECT_EQ(requests[0].selected_filter, "Zorvane Scan files (*.sav)");
    const qint64 saved_size = QFileInfo(saved).size();
    EXPECT_GE(saved_size, 256 + 32);
    EXPECT_EQ((saved_size - 256) % 32, 0);

    // The program again, the result loaded instead of scanned.
    page.reset();
    make_page();
    chosen[file_dialog_request::open_file] = saved;
    ASSERT_EQ(page->load_results(), 0);
    EXPECT_FALSE(page->btn_pause->isVisibleTo(page.get()));
    EXPECT_FALSE(page->btn_stop->isVisibleTo(page.get()));
    EXPECT_FALSE(page->btn_filter->isVisibleTo(page.get()));
    click_folder(folder({"png"}));
    const int picture = row_named(".png");
    ASSERT_GE(picture, 0);
    EXPECT_EQ(page->table_rows()[size_t(picture)].name, "00000000.png");
    click_cell(picture, 0);
    EXPECT_EQ(page->preview_shown().image.size(), QSize(96, 64));
    recover_checked();
    EXPECT_EQ(file_bytes(out + "/00000000.png"), disks->picture);
}

TEST_F(recovery_page, deep_scan_declined_and_results_that_do_not_load)
{
    scan(disks->clean);
    EXPECT_EQ(asked, QStringList{"deep_scan_query"});
    EXPECT_FALSE(recovery_busy);
    EXPECT_EQ(tree().rowCount(), 0);
    EXPECT_EQ(page->current_engine_type(), engine_fat);

    const QString file = QString::fromStdString(scratch.file("foreign.sav"));
    chosen[file_dialog_request::open_file] = file;
    QByteArray result(256 + 32, '\0');
    const QByteArray foreign = "\\\\?\\Volume{00000000-0000-0000-0000-000000000000}";
    result.replace(0, foreign.size(), foreign);
    result[256 + 24] = 'p';
    write_file(file, result);
    EXPECT_EQ(page->load_results(), -1); // no such volume here
    write_file(QString::fromStdString(scratch.file("short.sav")), QByteArray(287, '\0'));
    chosen[file_dialog_request::open_file] = QString::fromStdString(scratch.file("short.sav"));
    EXPECT_EQ(page->load_results(), -1);
    chosen[file_dialog_request::open_file] = QString();
    EXPECT_EQ(page->load_results(), -1);
    EXPECT_EQ(tree().rowCount(), 0);
}

TEST_F(recovery_page, pause_stop_and_start_again)
{
    ASSERT_EQ(page->scan_volume(disks->ntfs, true), 0);
    // Past the engine's own reset at the start of its run.
    ASSERT_TRUE(wait_for([&] { return page->current_engine().progress() > 0; }));
    ASSERT_TRUE(recovery_busy);
    click(page->btn_pause);
    EXPECT_EQ(page->btn_pause->text(), "btn_resume");
    EXPECT_NE(page->current_engine().paused(), 0);
    click(page->btn_pause);
    EXPECT_EQ(page->btn_pause->text(), "btn_pause");
    EXPECT_EQ(page->current_engine().paused(), 0);
    click(page->btn_pause);
    click(page->btn_stop); // ends even while paused
    EXPECT_FALSE(page->btn_stop->isVisibleTo(page.get()));
    ASSERT_TRUE(wait_for([] { return !recovery_busy; }));
    EXPECT_TRUE(asked.isEmpty());
    EXPECT_EQ(page->btn_pause->text(), "btn_start");
    EXPECT_TRUE(page->btn_filter->isVisibleTo(page.get()));

    click(page->btn_pause); // Start: the same volume again, from nothing
    EXPECT_TRUE(recovery_busy);
    EXPECT_EQ(tree().rowCount(), 0);
    EXPECT_TRUE(page->table_rows().empty());
    EXPECT_TRUE(page->btn_stop->isVisibleTo(page.get()));
    EXPECT_FALSE(page->btn_filter->isVisibleTo(page.get()));
    EXPECT_EQ(page->btn_pause->text(), "btn_pause");
    ASSERT_TRUE(wait_for([] { return !recovery_busy; }));
    EXPECT_EQ(page->current_engine().stop_code(), 0);
    EXPECT_EQ(page->current_engine().progress(), 1.0);
    EXPECT_TRUE(asked.isEmpty()); // a deep scan never asks for another
}

TEST_F(recovery_page, leaving_during_a_scan_shows_nothing)
{
    ASSERT_EQ(page->scan_volume(disks->fat, false), 0);
    page->abort_if_busy();
    page->reset_page();
    page->hide();
    ASSERT_TRUE(wait_for([] { return !recovery_busy; }));
    EXPECT_EQ(tree().rowCount(), 0);
    EXPECT_TRUE(page->table_rows().empty());
    EXPECT_EQ(page->current_engine().files_found(), 0);
    EXPECT_TRUE(asked.isEmpty());

    // The page comes back for the next scan as if new.
    page->show();
    scan(disks->fat);
    EXPECT_TRUE(folder({"Documents"}).isValid());
}

TEST_F(recovery_page, load_right_after_leaving_a_scan)
{
    // A deep scan left a moment ago still ends while the load replaces it.
    const QString saved = QString::fromStdString(scratch.file("unformatted.sav"));
    scan(disks->unformatted, true);
    chosen[file_dialog_request::save_file] = saved;
    click(page->btn_filter);
    ASSERT_TRUE(QFile::exists(saved));

    ASSERT_EQ(page->scan_volume(disks->unformatted, true), 0);
    page->abort_if_busy();
    page->reset_page();
    chosen[file_dialog_request::open_file] = saved;
    ASSERT_EQ(page->load_results(), 0);
    EXPECT_FALSE(recovery_busy);
    QCoreApplication::processEvents(); // the abandoned scan's end arrives late
    QTest::qWait(50);
    EXPECT_TRUE(folder({"png"}).isValid());
    EXPECT_TRUE(folder({"jpg"}).isValid());
    EXPECT_TRUE(asked.isEmpty());
}

} // namespace

#include "recovery_page_test.moc"
