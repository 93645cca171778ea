// The recovery page: scans one volume for lost files with the engine that
// fits it, shows the results as a folder tree and a file table with a
// preview, and copies the checked files into a folder.
#pragma once

#include "disk/volume_list.h"
#include "pages/recovery_form.h"
#include "pages/progress_bar.h"
#include "pages/recovery_preview.h"
#include "recovery/engine_kind.h"
#include "recovery/fat_recovery.h"
#include "recovery/ntfs_recovery.h"
#include "recovery/raw_recovery.h"
#include "recovery/recovery_item.h"
#include "recovery/recovery_stop.h"

#include <QModelIndex>
#include <QString>
#include <QTimer>
#include <QWidget>

#include <vector>

class MyHeaderView;
class MyQTableView;
class QMovie;
class TreeModel;
class recovery_file_c;
class recovery_delegate_c;
class recovery_model_c;
struct tree_node_s;

// True from the start of a file scan until the page has handled the engine's
// end; the main window asks before it leaves the page meanwhile.
extern bool recovery_busy;

class recovery_window_c : public QWidget, public Ui::RecoveryForm {
    Q_OBJECT
public:
    // `owner` receives the Back button's click in its slot on_click_recovery_back().
    explicit recovery_window_c(QWidget* owner);
    ~recovery_window_c() override;

    // Starts a scan of `target`, a deep (carving) one when `deep` is set.
    // -1 while a scan runs or when no engine fits the volume's file system.
    int scan_volume(const volume_item_s& target, bool deep);
    // Asks for a scan-result file and shows its records; 0 when the page is
    // to be shown, -1 when nothing was loaded or its volume is not present.
    int load_results();
    // Makes a running scan end without showing anything.
    void abort_if_busy();
    // Empties the tree and the table and stops polling.
    void reset_page();

    // What the page currently holds, for its owner and for tests.
    engine_kind current_engine_type() const { return engine_type; }
    recovery_base_c& current_engine() const { return *engine; }
    const std::vector<recovery_item_s>& table_rows() const { return rows; }
    bool has_preview() const { return preview_ready; }
    const recovery_item_s& previewed_item() const { return preview_item; }
    const QString& preview_file() const { return preview_copy; }
    const preview_content& preview_shown() const { return preview; }
    MyQTableView* file_table() const { return table; }
    MyHeaderView* table_header() const { return header; }
    bool export_running() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private slots:
    void on_timer();
    void on_thread_finished();
    void on_tree_clicked(const QModelIndex& index);
    void on_list_clicked(const QModelIndex& index);
    void on_recovery_clicked();
    void on_stop_clicked();
    void on_pause_clicked();
    void on_save_result_clicked();
    void on_check_all(bool value);
    void on_sort_column(int column);
    void on_open_folder(const QString& path);

private:
    void reset_tree();
    void clear_rows();
    void show_scan_buttons();
    int restart_scan();
    int start_engine();
    void handle_scan_end();
    void finish_abandoned_scan();
    bool build_tree();
    void fill_rows(const tree_node_s* node);
    void set_table_model();
    void set_tree_model(TreeModel* model);
    void show_preview(const recovery_item_s& item);
    void remove_preview_copy();
    recovery_base_c& engine_of(engine_kind kind);

    QWidget* main_window;
    bool deep_scan = false;
    volume_item_s volume;
    ntfs_recovery_c ntfs_engine;
    fat_recovery_c fat_engine;
    raw_recovery_c raw_engine;
    recovery_stop_c null_engine;
    recovery_base_c* engine;
    MyQTableView* table = nullptr;
    TreeModel* tree_model = nullptr;
    recovery_model_c* table_model = nullptr;
    recovery_delegate_c* delegate = nullptr;
    std::vector<recovery_item_s> rows;
    recovery_item_s preview_item;
    progress_bar_c progress_bar;
    QTimer timer;
    engine_kind engine_type = engine_none;
    MyHeaderView* header = nullptr;
    QMovie* movie = nullptr;
    bool preview_ready = false;
    recovery_file_c* export_thread = nullptr;
    // The stop code the page gave the running scan. An engine's run() starts
    // by resetting its flags, so a code given in that first instant could be
    // lost; the end of the scan is judged by this one.
    int requested_stop = stop_none;
    // The preview's copy in the temporary folder, removed when replaced and
    // when the page goes; and what it draws, read once.
    QString preview_copy;
    preview_content preview;
};
