// Disk images to recover files from, made once per test run from real tools:
// the demo disk (FAT32 and NTFS volumes with deleted files, and a volume
// without a file system holding pictures), a FAT16 stick with nothing deleted
// and one whose deleted files lie on both sides of the preview limit.
#pragma once

#include "disk/volume_list.h"

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <string>

struct recovery_disks {
    volume_item_s fat;         // demo disk #1
    volume_item_s ntfs;        // demo disk #2
    volume_item_s unformatted; // demo disk #3
    volume_item_s clean;       // no deleted file; a live PNG in /Pictures
    volume_item_s sized;       // /Big/exact.bin and /Big/over.bin deleted
    QByteArray picture;        // the bytes of clean's /Pictures/picture.png
    std::string demo_image;
    uint64_t ntfs_start = 0; // byte offset of the NTFS volume in the demo image
    std::string scratch;     // a folder kept for the whole run
};

// Null when an outside tool is missing. The image backend serves these disks
// from then on; the FAT driver's disk table is still to be started.
const recovery_disks* made_recovery_disks();
