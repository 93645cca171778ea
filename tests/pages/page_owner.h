// Stands in for the main window: records which of its slots the pages call.
#pragma once

#include <QStringList>
#include <QWidget>

class page_owner : public QWidget {
    Q_OBJECT

public:
    QStringList calls;

public slots:
    void on_click_home_start() { calls << "home_start"; }
    void on_click_home_resume() { calls << "home_resume"; }
    void on_click_volume_back() { calls << "volume_back"; }
    void on_click_volume_refresh() { calls << "volume_refresh"; }
    void on_click_volume_scan() { calls << "volume_scan"; }
    void on_click_drive_scan() { calls << "drive_scan"; }
    void on_click_drive_refresh() { calls << "drive_refresh"; }
    void on_click_drive_back() { calls << "drive_back"; }
    void on_click_partition_back() { calls << "partition_back"; }
};
