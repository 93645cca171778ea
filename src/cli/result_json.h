// The JSON of a finished scan: the engine, its counters and the folder tree.
#pragma once

#include "cli/scan_session.h"

#include <QJsonObject>

QJsonObject scan_json(scan_session& session, const std::vector<result_folder>& folders);
// The same tree for people: one heading line per folder, one line per file.
void print_scan(scan_session& session, const std::vector<result_folder>& folders);
