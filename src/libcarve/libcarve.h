// The carving library: finds files on a device by their content and reads
// the device back byte for byte. Six operations, called by the raw engine.
#pragma once

#include <cstddef>
#include <cstdint>

namespace libcarve {

// Called for every found file: the control block's user value, the type as
// an extension text, the file's byte offset on the device and its size.
using found_callback = void (*)(void* user, const char* extension, int64_t offset, int64_t size);

// Shared with the caller during a scan. The caller writes `paused` and `stop`
// and reads `progress` from another thread while the scan runs.
struct carve_control_s {
    void* user = nullptr;
#if UINTPTR_MAX == 0xFFFFFFFF
    uint32_t unused_4 = 0;
#endif
    double progress = 0.0; // 0.0 to 1.0
    int32_t paused = 0;    // non-zero: the scan waits
    int32_t stop = 0;      // non-zero: the scan ends soon
    found_callback callback = nullptr;
#if UINTPTR_MAX == 0xFFFFFFFF
    uint32_t unused_28 = 0;
#endif
};
static_assert(sizeof(carve_control_s) == 32);
static_assert(offsetof(carve_control_s, progress) == 8);
static_assert(offsetof(carve_control_s, paused) == 16);
static_assert(offsetof(carve_control_s, stop) == 20);
static_assert(offsetof(carve_control_s, callback) == 24);

// Reads the configuration file (types on or off, size limits); built-in
// defaults when it is missing. 0, or -1 when the file could not be read.
int initialise(const char* config_path);

// Reads the whole device and reports each recognised file through the
// control block's callback. 0 when the device was read to its end or the
// scan was stopped, -1 when it could not be opened.
int scan(carve_control_s* control, const char* device_path);

struct carve_handle;

// A read-only handle on the device, or nullptr.
carve_handle* open(const char* device_path);
// Position in bytes from the start (origin 0 only); exact, not rounded to a
// sector. The new position, or -1.
int64_t seek(carve_handle* handle, int64_t position, int origin);
// Bytes read at the position (0 at the end or on failure).
int32_t read(carve_handle* handle, void* buffer, int32_t length);
int close(carve_handle* handle);

} // namespace libcarve
