// The deep scan: every sector start of the device tested against every
// enabled carver; each found file reported once and its extent skipped.
#pragma once

#include "libcarve/config.h"
#include "libcarve/libcarve.h"

#include <string>

namespace libcarve {

// 0 when the device was read to its end or the scan was stopped; -1 when it
// cannot be opened.
int scan_device(carve_control_s& control, const std::string& path, const config& settings);

} // namespace libcarve
