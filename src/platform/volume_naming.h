// Stable names for volumes: the GUID path follows from the backing and the
// partition's start, so saved scan results find their volume again.
#pragma once

#include <cstdint>
#include <string>

namespace platform::detail {

// "\\?\Volume{xxxxxxxx-xxxx-xxxx-xxxx-xxxxxxxxxxxx}\" .
std::string volume_guid_path(const std::string& backing, uint64_t start);
// "\Device\HarddiskVolumeK".
std::string volume_device_name(unsigned k);

} // namespace platform::detail
