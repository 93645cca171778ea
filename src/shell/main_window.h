// The program's only window: the five pages in one cell, and the decisions
// of every way from one page to another.
#pragma once

#include "shell/main_form.h"
#include "shell/skin_widget.h"

class drive_window_c;
class home_window_c;
class partition_window_c;
class recovery_window_c;
class volume_window_c;

class main_window_c : public QSkinWidget, public Ui::MainForm {
    Q_OBJECT

public:
    // Page indices of show_page().
    enum page_index { home = 0, volume = 1, drive = 2, partition = 3, recovery = 4 };

    explicit main_window_c(QWidget* parent = nullptr);
    // Ends a partition search or a file scan still running, so that no worker
    // outlives the page whose data it uses.
    ~main_window_c() override;

    void show_page(int index) override;
    void stop_recovery() override;
    bool scan_running() const override;

    QWidget* page(int index) const;
    QWidget* shown_page() const { return current_page; }

public slots:
    void on_click_home_start();
    void on_click_home_resume();
    void on_click_volume_back();
    void on_click_recovery_back();
    void on_click_volume_refresh();
    void on_click_volume_scan();
    void on_click_drive_scan();
    void on_click_drive_refresh();
    void on_click_drive_back();
    void on_click_partition_back();
    void on_init_finished();

private:
    QWidget* current_page = nullptr;
    home_window_c* home_page = nullptr;
    drive_window_c* drive_page = nullptr;
    volume_window_c* volume_page = nullptr;
    partition_window_c* partition_page = nullptr;
    recovery_window_c* recovery_page = nullptr;
};
