#include "libcarve/libcarve.h"

#include "libcarve/config.h"
#include "libcarve/scanner.h"
#include "platform/debug_log.h"
#include "platform/device.h"

namespace libcarve {

struct carve_handle {
    platform::device::handle* device = nullptr;
    uint64_t position = 0;
};

int initialise(const char* config_path)
{
    config& settings = current_config();
    settings = config();
    if (!config_path || !settings.load(config_path)) {
        platform::debug_log("libcarve: no configuration file %s, built-in defaults\n",
                            config_path ? config_path : "(none)");
        return -1;
    }
    return 0;
}

int scan(carve_control_s* control, const char* device_path)
{
    if (!control || !device_path)
        return -1;
    return scan_device(*control, device_path, current_config());
}

carve_handle* open(const char* device_path)
{
    if (!device_path)
        return nullptr;
    platform::device::handle* device =
        platform::device::open(device_path, platform::device::generic_read);
    if (!device)
        return nullptr;
    return new carve_handle{device};
}

int64_t seek(carve_handle* handle, int64_t position, int origin)
{
    if (!handle || origin != 0 || position < 0)
        return -1;
    handle->position = uint64_t(position);
    return position;
}

int32_t read(carve_handle* handle, void* buffer, int32_t length)
{
    if (!handle || !buffer || length <= 0)
        return 0;
    // Buffered reads honour any offset, so a file that does not start on a
    // sector boundary comes back without leading bytes.
    uint32_t got = 0;
    if (!platform::device::seek(handle->device, handle->position) ||
        !platform::device::read(handle->device, buffer, uint32_t(length), &got))
        return 0;
    handle->position += got;
    return int32_t(got);
}

int close(carve_handle* handle)
{
    if (!handle)
        return -1;
    platform::device::close(handle->device);
    delete handle;
    return 0;
}

} // namespace libcarve
