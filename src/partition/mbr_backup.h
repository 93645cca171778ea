// Copies of sector 0 taken before the repair overwrites it.
#pragma once

#include <QString>

#include <cstdint>

// The per-user folder that holds the copies; empty when there is none.
QString mbr_backup_folder();

// Saves the 512 bytes of `sector`, read from sector 0 of `disk_path`, to a new
// file in the backup folder named after the disk and the current time, never
// replacing an older copy, and flushes it to storage. Returns 0, or -1 when the
// copy could not be written in full.
int save_mbr_backup(const QString& disk_path, const uint8_t* sector);
