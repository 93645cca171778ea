// The partition road on disk images: search, stop and restart, repair.
#include "page_owner.h"
#include "qt_printers.h"
#include "pages/partition_window.h"
#include "i18n/language_table.h"

#include <utility>
#include "shell/warning_box.h"
#include "test_support.h"

#include <QListView>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <string>

namespace {

// lang_text("btn_start") differs from the fixed "Start" of a search that
// ended by itself, so each of them can be told apart.
class PartitionPage : public testing::Test {
protected:
    void SetUp() override
    {
        saved_start_ = lang_text("btn_start");
        saved_stop_ = lang_text("btn_stop");
        lang_text("btn_start") = QStringLiteral("Go again");
        lang_text("btn_stop") = QStringLiteral("Halt");
        set_warning_answerer([this](QMessageBox& box) {
            boxes_ << box.text();
            return int(answer_);
        });
    }
    void TearDown() override
    {
        set_warning_answerer({});
        lang_text("btn_start") = saved_start_;
        lang_text("btn_stop") = saved_stop_;
    }

    static drive_item_s disk(int number)
    {
        enumerate_drives();
        const auto& drives = drive_list();
        return number + 1 < drives.size() ? drives[number + 1] : drive_item_s{};
    }

    static void wait_for_end(partition_window_c& page)
    {
        QSignalSpy finished(&page.worker(), &QThread::finished);
        if (page.worker().isRunning()) {
            ASSERT_TRUE(finished.wait(60000));
        }
        QCoreApplication::processEvents();
    }

    static QList<partition_item_s> listed(partition_window_c& page)
    {
        QList<partition_item_s> rows;
        const auto* model = page.lv_volumes->model();
        for (int row = 0; row < model->rowCount(); ++row)
            rows << model->index(row, 0).data().value<partition_item_s>();
        return rows;
    }

    QStringList boxes_;
    QMessageBox::StandardButton answer_ = QMessageBox::No;

private:
    QString saved_start_;
    QString saved_stop_;
};

// A disk with a lost FAT32 and a lost NTFS partition and a zeroed sector 0.
std::string lost_partitions_disk(const test_support::scratch_dir& dir)
{
    const std::string image = dir.file("lost.img");
    const std::string script = std::string(ZORVANE_DEMO_TOOLS) + "/make_lost_partitions.sh";
    const std::string sample = std::string(ZORVANE_TEST_DATA) + "/ntfs-lastaccess.raw.gz";
    if (test_support::run("'" + script + "' '" + image + "' '" + sample + "' >/dev/null 2>&1") != 0)
        return {};
    return image;
}

} // namespace

TEST_F(PartitionPage, FindsTheLostPartitionsAndWritesThemAfterYes)
{
    if (!test_support::have_program("mkfs.fat") || !test_support::have_program("mcopy"))
        GTEST_SKIP() << "needs dosfstools and mtools";
    test_support::scratch_dir dir;
    const std::string image = lost_partitions_disk(dir);
    ASSERT_FALSE(image.empty());
    test_support::use_disks({image});

    page_owner owner;
    partition_window_c page(&owner);
    page.resize(794, 496);
    page.show();

    page.start_search(disk(0));
    EXPECT_EQ(page.btn_stop->text(), "Halt");
    wait_for_end(page);

    EXPECT_EQ(page.btn_stop->text(), "Start");
    const QList<partition_item_s> expected{{"FAT32", 12, 2048, 2048 + 131072 - 1},
                                           {"NTFS", 7, 135168, 135168 + 518144 - 1}};
    EXPECT_EQ(listed(page), expected);
    QMetaObject::invokeMethod(&page, "on_timer");
    EXPECT_EQ(page.progress_bar().text(), "100%");

    // "Start" runs the search again over the same disk.
    QTest::mouseClick(page.btn_stop, Qt::LeftButton);
    EXPECT_EQ(page.btn_stop->text(), "Halt");
    wait_for_end(page);
    EXPECT_EQ(listed(page), expected);

    const auto sector0 = test_support::read_bytes(image, 0, 512);
    answer_ = QMessageBox::No;
    QTest::mouseClick(page.btn_repair, Qt::LeftButton);
    EXPECT_EQ(boxes_, QStringList{lang_text("partition_query")});
    EXPECT_EQ(test_support::read_bytes(image, 0, 512), sector0) << "No writes nothing";

    boxes_.clear();
    answer_ = QMessageBox::Yes;
    QTest::mouseClick(page.btn_repair, Qt::LeftButton);
    EXPECT_EQ(boxes_, (QStringList{lang_text("partition_query"), lang_text("partition_finished")}));
    if (test_support::have_program("sfdisk")) {
        std::string table = test_support::output_of("sfdisk -d '" + image + "' 2>/dev/null");
        std::erase(table, ' ');
        EXPECT_NE(table.find("start=2048,size=131072,type=c"), std::string::npos) << table;
        EXPECT_NE(table.find("start=135168,size=518144,type=7"), std::string::npos) << table;
    }
}

TEST_F(PartitionPage, StopEndsTheSearchAtOnceAndRestartKeepsItsLabel)
{
    // Large and empty: the search is still running whenever it is looked at.
    test_support::scratch_dir dir;
    test_support::make_sparse_file(dir.file("big.img"), 64ull << 30);
    test_support::use_disks({dir.file("big.img")});

    page_owner owner;
    partition_window_c page(&owner);
    page.start_search(disk(0));
    ASSERT_TRUE(page.worker().isRunning());
    answer_ = QMessageBox::Yes;
    QTest::mouseClick(page.btn_repair, Qt::LeftButton);
    EXPECT_TRUE(boxes_.isEmpty()) << "repair while searching does not even ask";

    QTest::mouseClick(page.btn_stop, Qt::LeftButton);
    EXPECT_FALSE(page.worker().isRunning());
    EXPECT_EQ(page.btn_stop->text(), "Go again");
    QCoreApplication::processEvents(); // the stopped run reports its end
    EXPECT_EQ(page.btn_stop->text(), "Go again");

    // Stop and start again before the stopped run's end is reported: that
    // late report must not relabel the new run's button.
    QTest::mouseClick(page.btn_stop, Qt::LeftButton);
    ASSERT_TRUE(page.worker().isRunning());
    QTest::mouseClick(page.btn_stop, Qt::LeftButton);
    QTest::mouseClick(page.btn_stop, Qt::LeftButton);
    QCoreApplication::processEvents();
    EXPECT_TRUE(page.worker().isRunning());
    EXPECT_EQ(page.btn_stop->text(), "Halt");

    // Scanning another disk while this one runs stops it first.
    page.start_search(disk(0));
    EXPECT_TRUE(page.worker().isRunning());
    EXPECT_EQ(page.btn_stop->text(), "Halt");

    page.stop_search();
    EXPECT_FALSE(page.worker().isRunning());
    EXPECT_EQ(page.btn_stop->text(), "Go again");
    page.stop_search(); // nothing runs: nothing changes
    EXPECT_EQ(page.btn_stop->text(), "Go again");
}

TEST_F(PartitionPage, DiskThatCannotBeOpenedEndsAtOnceAndCannotBeRepaired)
{
    test_support::use_disks({""});
    page_owner owner;
    partition_window_c page(&owner);
    drive_item_s missing;
    missing.path = "\\\\.\\PhysicalDrive0";
    missing.size = 1 << 20;
    missing.geometry = std::make_shared<platform::disk_geometry>();
    page.start_search(missing);
    wait_for_end(page);
    EXPECT_EQ(page.btn_stop->text(), "Start");
    QMetaObject::invokeMethod(&page, "on_timer");
    EXPECT_EQ(page.progress_bar().text(), "0%");

    const QString finished = std::exchange(lang_text("partition_finished"), QStringLiteral("written"));
    const QString failed = std::exchange(lang_text("partition_failed"), QStringLiteral("not written"));
    answer_ = QMessageBox::Yes;
    QTest::mouseClick(page.btn_repair, Qt::LeftButton);
    ASSERT_EQ(boxes_.size(), 2);
    EXPECT_EQ(boxes_[0], lang_text("partition_query"));
    EXPECT_EQ(boxes_[1], "not written") << "a failed repair is not reported as done";
    lang_text("partition_finished") = finished;
    lang_text("partition_failed") = failed;
}
