// The row of the recovery page's file table, and how each engine's entries
// become rows.
#pragma once

#include "recovery/entry_tree.h"
#include "recovery/fat_entry.h"
#include "recovery/ntfs_entry.h"
#include "recovery/raw_file.h"

#include <QMetaType>
#include <QString>

#include <cstdint>
#include <vector>

struct recovery_item_s {
    QString name; // as shown, and as recovery writes it
    uint64_t size = 0;
    int64_t date1 = 0; // seconds since 1970-01-01 UTC
    int64_t date2 = 0;
    int64_t id = 0; // the entry's key in its engine
    uint32_t attributes = 0;
    bool checked = false;
};
Q_DECLARE_METATYPE(recovery_item_s)

recovery_item_s to_recovery_item(const fat_entry_s& entry);
recovery_item_s to_recovery_item(const ntfs_entry_s& entry);
// A carved file is named "%08llu.%s" by its index and extension.
recovery_item_s to_recovery_item(const raw_file_s& record, int64_t id);

// The extension of a carved file, at most its eight bytes, taken as Latin-1.
QString raw_extension(const raw_file_s& record);

// The file rows of a FAT or NTFS folder, in its children's order.
template <class Entry>
std::vector<recovery_item_s> file_rows(const Entry& folder)
{
    std::vector<recovery_item_s> rows;
    for (const Entry* child : file_children(folder))
        rows.push_back(to_recovery_item(*child));
    return rows;
}

// The file rows of a carved group, in the group's order; an index outside
// `records` gives no row.
std::vector<recovery_item_s> file_rows(const std::vector<raw_file_s>& records,
                                       const std::vector<int64_t>& group);
