#include "recovery/engine_choice.h"

engine_kind choose_engine(const QString& file_system, bool deep_scan)
{
    if (deep_scan)
        return engine_raw;
    if (file_system == u"NTFS")
        return engine_ntfs;
    if (file_system.startsWith(u"FAT"))
        return engine_fat;
    return engine_none;
}
