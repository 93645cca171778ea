// Writes one row of the file table into a folder with the engine that found
// it: the export of checked rows and the preview both come here.
#pragma once

#include "recovery/engine_kind.h"
#include "recovery/recovery_base.h"
#include "recovery/recovery_item.h"

#include <QDir>

// Writes `item` under its name, made safe, in `folder`, replacing a file of
// that name. 0 when the file was written, else -1 (or the NTFS library's code).
// An NTFS row without the deleted flag is a live file, copied from the
// mounted volume.
int recover_item(engine_kind kind, recovery_base_c& engine, const QDir& folder,
                 const recovery_item_s& item);
