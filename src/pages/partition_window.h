// Page 3: runs the partition search on one disk, lists what it finds and
// writes the found partitions into the disk's table on request.
#pragma once

#include "disk/drive_list.h"
#include "pages/partition_form.h"
#include "pages/progress_bar.h"
#include "partition/partition_repair.h"

#include <QTimer>
#include <QWidget>

class partition_model_c;

class partition_window_c : public QWidget, public Ui::PartitionForm {
    Q_OBJECT

public:
    // `owner` receives on_click_partition_back().
    explicit partition_window_c(QWidget* owner);
    ~partition_window_c() override;

    // Starts the search on a copy of `drive`. A search still running (the
    // user left without Back) is stopped first, so the drive the repair
    // writes is always the one whose partitions are listed. Returns 0.
    int start_search(const drive_item_s& drive);
    // Ends a running search at once, keeping what it found; else nothing.
    void stop_search();

    const partition_repair_c& worker() const { return worker_; }
    const progress_bar_c& progress_bar() const { return progress_bar_; }

private slots:
    void on_partition_found();
    void on_thread_finished();
    void on_timer();
    void on_stop_clicked();
    void on_repair_clicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void show_found();
    void start_worker();
    void stop_worker();

    partition_repair_c worker_;
    progress_bar_c progress_bar_;
    QTimer timer_;
    QObject* owner_;
    partition_model_c* model_ = nullptr;
    // Every run reports finished() once, queued; a report is the latest
    // run's only when the counts meet, so a stale one never relabels the
    // button of a run started since.
    int runs_started_ = 0;
    int runs_finished_ = 0;
    // The page ended the latest run: its end reads lang_text("btn_start")
    // rather than the fixed "Start" of a search that ended by itself.
    bool stopped_by_page_ = false;
};
