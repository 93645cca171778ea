// One file found by the carving engine; also the record of the scan-result file.
#pragma once

#include <cstdint>

struct raw_file_s {
    int64_t index = 0;  // position in the engine's records
    int64_t offset = 0; // byte offset on the volume
    int64_t size = 0;
    char extension[8] = {}; // zero-padded; eight characters leave no terminator
};
static_assert(sizeof(raw_file_s) == 32);
