// One scan of a volume from the command line: the engine the recovery page
// would choose, run to its end with progress on a terminal, and its results
// as the page's folder tree.
#pragma once

#include "disk/volume_list.h"
#include "recovery/engine_kind.h"
#include "recovery/fat_recovery.h"
#include "recovery/ntfs_recovery.h"
#include "recovery/raw_recovery.h"
#include "recovery/result_folders.h"

#include <QString>

class scan_session {
public:
    scan_session();

    // Picks the engine as the page does: raw for a deep scan, NTFS for "NTFS",
    // FAT for a name beginning with "FAT". False with `error` when none fits.
    bool choose(const volume_item_s& volume, bool deep, QString& error);
    void run();
    // Takes the results of a scan-result file into the raw engine; false with
    // `error` when the file is refused or names no listed volume.
    bool load(const QString& file, QString& error);

    engine_kind kind() const { return kind_; }
    recovery_base_c& engine() { return *engine_; }
    raw_recovery_c& raw() { return raw_; }
    ntfs_recovery_c& ntfs() { return ntfs_; }
    const volume_item_s& volume() const { return volume_; }
    // The page's tree of the current results; empty when nothing was found.
    std::vector<result_folder> folders() const;

private:
    fat_recovery_c fat_;
    ntfs_recovery_c ntfs_;
    raw_recovery_c raw_;
    recovery_base_c* engine_ = nullptr;
    engine_kind kind_ = engine_none;
    volume_item_s volume_;
};

// The engine's name in the JSON output: "fat", "ntfs" or "raw".
QString engine_name(engine_kind kind);
