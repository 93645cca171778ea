#include "recovery/recover_item.h"

#include "recovery/copy_file.h"
#include "recovery/safe_name.h"

#include <string>

namespace {

int recover_ntfs_item(recovery_base_c& engine, const recovery_item_s& item,
                      const QString& destination)
{
    if (item.attributes & ntfs_flag_deleted)
        return engine.recover_file(item.id, destination);
    std::wstring live_path;
    if (engine.file_path(item.id, &live_path) < 0)
        return -1;
    return copy_file(live_path, destination.toStdWString());
}

} // namespace

int recover_item(engine_kind kind, recovery_base_c& engine, const QDir& folder,
                 const recovery_item_s& item)
{
    const QString destination = destination_path(folder, item.name);
    switch (kind) {
    case engine_ntfs:
        return recover_ntfs_item(engine, item, destination);
    case engine_fat:
    case engine_raw:
        return engine.recover_file(item.id, destination);
    case engine_none:
        break;
    }
    return -1;
}
