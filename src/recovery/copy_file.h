// Copies a live file from the mounted volume into the destination folder.
#pragma once

#include <string>

// Copies `source` to `destination`, creating or truncating it. 0, or -1 when
// the source cannot be opened, the destination cannot be created, both name
// the same file, or a read or a write fails (a partial file is left then).
int copy_file(const std::wstring& source, const std::wstring& destination);
