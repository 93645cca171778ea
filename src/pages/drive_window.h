// Page 2: the physical disks, one of which the user picks for the
// partition search.
#pragma once

#include "disk/drive_list.h"
#include "pages/drive_form.h"

#include <QList>
#include <QWidget>

class drive_model_c;

class drive_window_c : public QWidget, public Ui::DriveForm {
    Q_OBJECT

public:
    // `owner` receives on_click_drive_back(), on_click_drive_refresh() and
    // on_click_drive_scan().
    explicit drive_window_c(QWidget* owner);

    // A new model over `list` (referenced, not copied); the first disk,
    // row 1, becomes current.
    void set_drive_list(QList<drive_item_s>& list);
    // Rebuilds the process-wide drive list and shows it; no row is current.
    void refresh_drives();
    // The record of the current row: the header entry for row 0, and an
    // empty record (empty path, like the header) when no row is current.
    drive_item_s current_drive() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void show_list(QList<drive_item_s>& list);

    QObject* owner_;
    drive_model_c* model_ = nullptr;
};
