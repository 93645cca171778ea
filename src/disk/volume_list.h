// The process-wide list of volumes that can be scanned for lost files; entry 0
// is the header entry.
#pragma once

#include <QList>
#include <QMetaType>
#include <QString>

#include <cstdint>

struct volume_item_s {
    QString device_name; // \Device\HarddiskVolumeK; empty in the header entry
    QString volume_name; // \\?\Volume{GUID}\ with its trailing backslash
    QString label;
    QString file_system; // "NTFS", "FAT32", "FAT", "exFAT"; empty if unknown
    QString mount_path;  // the first mount path; empty in the header entry
    uint64_t total_bytes = 0;
    uint64_t free_bytes = 0;
    int32_t partition_number = -1; // -1 when not determined
    int32_t disk_number = -1;
};
Q_DECLARE_METATYPE(volume_item_s)

QList<volume_item_s>& volume_list();

// Rebuilds the volume list: the header entry, then the fixed (administrators
// only) and removable volumes that have a mount path and a known place on one
// disk, in ascending order of their first mount path. Stays empty, without the
// header entry, when the system lists no volume at all.
void enumerate_volumes();

// The partition number and disk number of the volume at `path` (trailing
// backslash or slash optional). 0, or -1 when either cannot be determined;
// a volume on more than one disk cannot.
int query_volume_location(const QString& path, int32_t& partition_number, int32_t& disk_number);
