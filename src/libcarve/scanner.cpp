#include "libcarve/scanner.h"

#include "libcarve/carver.h"
#include "libcarve/device_stream.h"
#include "libcarve/walk_pool.h"

#include <atomic>
#include <chrono>
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

// A sector start where some header matched, and what its walk found.
struct candidate {
    uint64_t offset;
    const uint8_t* bytes;
    size_t available;
    found_file file;
};

// Tries every candidate carver at one sector start: the first file wanted.
found_file carve_at(carve_control_s& control, byte_source& device, uint64_t device_size,
                    const dispatch& carvers, const candidate& at)
{
    for (const active_carver& a : carvers.candidates(at.bytes[0])) {
        if (!a.c->header(at.bytes, at.available))
            continue;
        const uint64_t room = device_size == device_stream::unknown_size ? a.walk_limit : device_size - at.offset;
        reader r(device, at.offset, std::min(a.walk_limit, room));
        r.watch(&control.paused, &control.stop);
        const found_file file = carve_one(*a.c, r);
        if (carvers.wanted(*a.c, file))
            return file;
    }
    return {};
}

} // namespace

int scan_device(carve_control_s& control, const std::string& path, const config& settings)
{
    device_stream stream;
    if (!stream.open(path))
        return -1;
    const dispatch carvers(settings);
    const uint64_t size = stream.size();
    walk_pool pool(stream);
    std::vector<candidate> candidates;
    uint64_t next_free = 0; // first byte after the last reported file
    // The same, for the helper: a candidate below it need not be walked.
    std::atomic<uint64_t> skip_below{0};
    for (uint64_t index = 0;; ++index) {
        wait_while_paused(control);
        if (stop_requested(control))
            return 0;
        const uint64_t block_start = index * device_stream::block_size;
        if (size != device_stream::unknown_size)
            set_progress(control, double(block_start) / double(size));
        size_t length = 0;
        const uint8_t* data = stream.block(index, length);
        if (!data)
            break;
        candidates.clear();
        const uint64_t first_free = (std::max(next_free, block_start) + sector - 1) / sector * sector;
        for (size_t at = size_t(first_free - block_start); at < length; at += sector)
            if (any_header(carvers, data + at, length - at))
                candidates.push_back({block_start + at, data + at, length - at, {}});

        // Walks run ahead on both threads; files are reported in offset order,
        // and a candidate inside a reported file is dropped.
        size_t settled = 0;
        const auto settle = [&] {
            for (; settled < candidates.size() && pool.done(settled); ++settled) {
                const candidate& c = candidates[settled];
                if (c.offset < next_free || c.file.size == 0)
                    continue;
                if (control.callback)
                    control.callback(control.user, c.file.extension, int64_t(c.offset), int64_t(c.file.size));
                next_free = c.offset + c.file.size;
                skip_below.store(next_free, std::memory_order_relaxed);
            }
        };
        pool.run(candidates.size(), [&](size_t i, byte_source& device) {
            candidate& c = candidates[i];
            if (c.offset >= skip_below.load(std::memory_order_relaxed))
                c.file = carve_at(control, device, size, carvers, c);
        }, settle);

        // Jump over the blocks a found file covers.
        if (next_free > block_start + length)
            index = next_free / device_stream::block_size - 1;
    }
    set_progress(control, 1.0);
    return 0;
}

} // namespace libcarve
