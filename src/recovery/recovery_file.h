// The export thread: writes the checked rows of the file table into the
// destination folder, then asks for that folder to be shown to the user.
#pragma once

#include "recovery/engine_kind.h"
#include "recovery/recovery_base.h"
#include "recovery/recovery_item.h"

#include <QDir>
#include <QString>
#include <QThread>

#include <vector>

class recovery_file_c : public QThread {
    Q_OBJECT
public:
    using QThread::QThread;
    ~recovery_file_c() override;

    // Takes its own copy of the checked rows, so that the page may rebuild its
    // table meanwhile, and starts writing them into `folder` with `engine`.
    // False, starting nothing, while an export runs.
    bool start_export(const QDir& folder, const std::vector<recovery_item_s>& rows,
                      engine_kind kind_of_engine, recovery_base_c& current_engine);

signals:
    // Emitted from the export thread once every row was tried, whatever the
    // outcome; the page opens the folder in the desktop's file manager.
    void open_folder(const QString& path);

protected:
    void run() override;

private:
    QDir destination;
    std::vector<recovery_item_s> items;
    engine_kind kind = engine_none;
    recovery_base_c* engine = nullptr;
};
