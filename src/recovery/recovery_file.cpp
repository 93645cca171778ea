#include "recovery/recovery_file.h"

#include "recovery/recover_item.h"

recovery_file_c::~recovery_file_c()
{
    wait();
}

bool recovery_file_c::start_export(const QDir& folder, const std::vector<recovery_item_s>& rows,
                                   engine_kind kind_of_engine, recovery_base_c& current_engine)
{
    if (isRunning())
        return false;
    destination = folder;
    items.clear();
    for (const recovery_item_s& row : rows)
        if (row.checked)
            items.push_back(row);
    kind = kind_of_engine;
    engine = &current_engine;
    start(QThread::InheritPriority);
    return true;
}

void recovery_file_c::run()
{
    // A row that cannot be written is skipped; the others still go.
    for (const recovery_item_s& item : items)
        recover_item(kind, *engine, destination, item);
    emit open_folder(destination.path());
}
