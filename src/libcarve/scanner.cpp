#include "libcarve/scanner.h"

#include "libcarve/carver.h"
#include "libcarve/device_stream.h"
#include "libcarve/walk_queue.h"

#include <atomic>
#include <chrono>
#include <optional>
#include <thread>
#include <vector>

namespace libcarve {

namespace {

constexpr uint64_t sector = 512;

// The flags the caller writes from another thread.
bool stop_requested(carve_control_s& control)
{
    return std::atomic_ref<int32_t>(control.stop).load(std::memory_order_relaxed) != 0;
}

void wait_while_paused(carve_control_s& control)
{
    while (std::atomic_ref<int32_t>(control.paused).load(std::memory_order_relaxed) != 0 &&
           !stop_requested(control))
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
}

void set_progress(carve_control_s& control, double value)
{
    std::atomic_ref<double>(control.progress).store(value, std::memory_order_relaxed);
}

// An enabled carver with the bounds the configuration gives it.
struct active_carver {
    const carver* c;
    uint64_t walk_limit;
};

uint64_t max_size_of(const config& settings, const carver& c, const char* extension)
{
    const uint64_t configured = settings.limits(extension).max_size;
    return configured ? configured : c.max_size;
}

class dispatch {
public:
    explicit dispatch(const config& settings) : settings_(settings)
    {
        for (const carver* c : all_carvers()) {
            uint64_t limit = 0;
            for (const char* extension : c->extensions)
                if (settings.enabled(extension))
                    limit = std::max(limit, max_size_of(settings, *c, extension));
            if (limit == 0)
                continue;
            for (const char first : c->first_bytes)
                by_first_byte_[uint8_t(first)].push_back({c, limit});
        }
    }

    const std::vector<active_carver>& candidates(uint8_t first) const
    {
        return by_first_byte_[first];
    }

    bool wanted(const carver& c, const found_file& file) const
    {
        if (file.size == 0 || !file.extension)
            return false;
        const type_limits limits = settings_.limits(file.extension);
        return limits.enabled && file.size >= limits.min_size &&
               file.size <= max_size_of(settings_, c, file.extension);
    }

private:
    const config& settings_;
    std::vector<active_carver> by_first_byte_[256];
};

bool any_header(const dispatch& carvers, const uint8_t* bytes, size_t available)
{
    for (const active_carver& a : carvers.candidates(bytes[0]))
        if (a.c->header(bytes, available))
            return true;
    return false;
}

// Bytes a header test sees: the candidate's block may be gone by the time
// it is walked, so the walk looks at them again, in place when it can.
constexpr size_t header_window = 4096;

// Tries every carver whose header matches at `offset`: the first file wanted.
found_file carve_at(carve_control_s& control, byte_source& device, const dispatch& carvers, uint64_t offset)
{
    const uint64_t size = device.size();
    const uint64_t room = size == byte_source::unknown_size ? UINT64_MAX : size - offset;
    const size_t wanted = size_t(std::min<uint64_t>(header_window, room));
    uint8_t copy[header_window];
    size_t available = 0;
    const uint8_t* head = device.view(offset, available);
    if (head) {
        available = std::min(available, wanted);
    } else {
        head = copy;
        available = device.read(offset, copy, wanted);
    }
    if (available == 0)
        return {};
    for (const active_carver& a : carvers.candidates(head[0])) {
        if (!a.c->header(head, available))
            continue;
        reader r(device, offset, std::min(a.walk_limit, room));
        r.watch(&control.paused, &control.stop);
        const found_file file = carve_one(*a.c, r);
        if (carvers.wanted(*a.c, file))
            return file;
    }
    return {};
}

constexpr uint64_t max_walk_lag = 256u << 20;

} // namespace

int scan_device(carve_control_s& control, const std::string& path, const config& settings)
{
    device_stream stream;
    if (!stream.open(path))
        return -1;
    const dispatch carvers(settings);
    const uint64_t size = stream.size();
    walk_queue walks(stream, [&](uint64_t offset, byte_source& device) -> std::optional<found_file> {
        const found_file file = carve_at(control, device, carvers, offset);
        if (stop_requested(control))
            return std::nullopt; // a failed walk may only have been stopped
        return file;
    });
    uint64_t next_free = 0; // first byte after the last reported file
    // Reports walked candidates in offset order, dropping one inside a
    // reported file; waits for walks while the oldest lies before
    // `wait_before`. Ends at a walk a stop cut short.
    const auto settle = [&](uint64_t wait_before) {
        walked w;
        while (walks.take(w, walks.oldest() < wait_before)) {
            if (!w.file)
                return;
            if (w.offset < next_free || w.file->size == 0)
                continue;
            if (control.callback)
                control.callback(control.user, w.file->extension, int64_t(w.offset), int64_t(w.file->size));
            next_free = w.offset + w.file->size;
            walks.skip_below(next_free);
        }
    };
    for (uint64_t index = 0;; ++index) {
        wait_while_paused(control);
        if (stop_requested(control)) {
            settle(0); // what was walked before the stop
            return 0;
        }
        const uint64_t block_start = index * device_stream::block_size;
        if (size != device_stream::unknown_size)
            set_progress(control, double(block_start) / double(size));
        // Walks may lag behind; not so far that the scan reads much of a
        // file whose walk would have let it jump over it.
        settle(block_start > max_walk_lag ? block_start - max_walk_lag : 0);
        // Jump over the blocks a found file covers.
        if (next_free >= block_start + device_stream::block_size) {
            index = next_free / device_stream::block_size - 1;
            continue;
        }
        size_t length = 0;
        // The stream keeps the oldest block with walks to come while it can.
        const uint64_t oldest = walks.oldest();
        const uint8_t* data = stream.block(index, std::min(index, oldest / device_stream::block_size), length);
        if (!data)
            break;
        const uint64_t first_free = (std::max(next_free, block_start) + sector - 1) / sector * sector;
        for (size_t at = size_t(first_free - block_start); at < length; at += sector) {
            // The block comes from the device, not the cache: ask for the
            // sectors ahead while this one is tested.
            __builtin_prefetch(data + std::min(at + 16 * sector, length - 1));
            if (any_header(carvers, data + at, length - at))
                walks.push(block_start + at);
        }
    }
    settle(UINT64_MAX);
    if (!stop_requested(control))
        set_progress(control, 1.0);
    return 0;
}

} // namespace libcarve
