// Page 1: the volumes that can be scanned for deleted files.
#pragma once

#include "disk/volume_list.h"
#include "pages/volume_form.h"

#include <QList>
#include <QModelIndex>
#include <QWidget>

#include <optional>

class volume_window_c : public QWidget, public Ui::VolumeForm {
    Q_OBJECT

public:
    // `owner` receives on_click_volume_back(), on_click_volume_refresh() and
    // on_click_volume_scan() (from the scan button and from start_scan()).
    explicit volume_window_c(QWidget* owner);

    // A new model over `list` (referenced, not copied); no row is current.
    void set_volume_list(QList<volume_item_s>& list);
    // Rebuilds the process-wide volume list, lets the FAT driver reopen its
    // disks, and shows the list again.
    void refresh_volumes();
    // The record of the current row (the header entry for row 0). With no
    // current row the user is told so here and nothing is returned.
    std::optional<volume_item_s> current_volume();

signals:
    // A double click in the list: scan the row it made current.
    void start_scan();

public slots:
    void on_double_clicked(const QModelIndex& index);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void show_list(QList<volume_item_s>& list);

    QObject* owner_;
};
