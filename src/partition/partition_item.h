// A partition found by the search: what the repair writes into a table slot.
#pragma once

#include <QMetaType>
#include <QString>

#include <cstdint>

struct partition_item_s {
    QString file_system;       // "NTFS" or "FAT32"
    int32_t type = 0;          // partition type number: 7 NTFS, 12 FAT32
    uint64_t start_sector = 0; // absolute sector of the boot sector
    uint64_t end_sector = 0;   // last sector, inclusive
};
Q_DECLARE_METATYPE(partition_item_s)

inline bool operator==(const partition_item_s& a, const partition_item_s& b)
{
    return a.file_system == b.file_system && a.type == b.type &&
           a.start_sector == b.start_sector && a.end_sector == b.end_sector;
}
