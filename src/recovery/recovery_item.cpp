#include "recovery/recovery_item.h"

#include <cstring>

namespace {

const int registered = qRegisterMetaType<recovery_item_s>("recovery_item_s");

} // namespace

recovery_item_s to_recovery_item(const fat_entry_s& entry)
{
    recovery_item_s item;
    item.name = entry_name(entry.name);
    item.size = entry.size;
    item.date1 = entry.modified;
    item.date2 = entry.created;
    item.id = int64_t(entry.start_cluster);
    item.attributes = entry.attributes;
    return item;
}

recovery_item_s to_recovery_item(const ntfs_entry_s& entry)
{
    recovery_item_s item;
    item.name = entry_name(entry.name);
    item.size = uint64_t(entry.size);
    item.date1 = entry.date1;
    item.date2 = entry.date2;
    item.id = entry.id;
    item.attributes = entry.flags;
    return item;
}

QString raw_extension(const raw_file_s& record)
{
    const void* end = std::memchr(record.extension, 0, sizeof record.extension);
    const qsizetype length = end ? static_cast<const char*>(end) - record.extension
                                 : qsizetype(sizeof record.extension);
    return QString::fromLatin1(record.extension, length);
}

recovery_item_s to_recovery_item(const raw_file_s& record, int64_t id)
{
    recovery_item_s item;
    item.name = QString::asprintf("%08llu.", static_cast<unsigned long long>(record.index)) +
                raw_extension(record);
    item.size = uint64_t(record.size);
    item.id = id;
    return item;
}

std::vector<recovery_item_s> file_rows(const std::vector<raw_file_s>& records,
                                       const std::vector<int64_t>& group)
{
    std::vector<recovery_item_s> rows;
    for (const int64_t index : group)
        if (index >= 0 && uint64_t(index) < records.size())
            rows.push_back(to_recovery_item(records[size_t(index)], index));
    return rows;
}
