// Which engine holds the current results; the recovery page's engine_type.
#pragma once

enum engine_kind : int {
    engine_none = -1,
    engine_fat = 0,
    engine_ntfs = 1,
    engine_raw = 2,
};
