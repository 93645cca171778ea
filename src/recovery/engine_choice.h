// Which engine scans a volume: the rule the recovery page and the command line share.
#pragma once

#include "recovery/engine_kind.h"

#include <QString>

// A deep scan always carves; otherwise "NTFS" exactly, or any name that begins
// with "FAT"; anything else (exFAT, an unknown file system) has no engine.
engine_kind choose_engine(const QString& file_system, bool deep_scan);
