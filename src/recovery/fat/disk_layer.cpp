#include "recovery/fat/disk_layer.h"

#include "platform/debug_log.h"
#include "platform/device.h"

#include <sys/mman.h>

#include <array>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <string>
#include <thread>

namespace {

using namespace std::chrono_literals;
namespace device = platform::device;

constexpr size_t transfer_size = 65536;

struct disk_slot_s {
    std::atomic<uint8_t> status{0};
    uint16_t sector_size = 0;
    uint32_t sector_count = 0;
    device::handle* handle = nullptr;
};

class disk_layer {
public:
    ~disk_layer();

    int startup();
    int rescan();
    uint8_t query(unsigned disk);
    uint8_t status(unsigned disk) const;
    int read_sectors(unsigned disk, void* destination, uint32_t sector, unsigned count);

private:
    void open_disks();
    void close_disks();
    bool query_device(disk_slot_s& slot);
    void watch_media();
    bool pause(std::chrono::milliseconds how_long);

    std::array<disk_slot_s, max_disks> table_;
    std::atomic<unsigned> disk_count_{0};
    std::timed_mutex mutex_;
    void* transfer_ = nullptr;

    std::thread watcher_;
    std::mutex stop_mutex_;
    std::condition_variable stop_signal_;
    bool stopping_ = false;
};

disk_layer& layer()
{
    // Destroyed at exit, after the watcher has been stopped and joined.
    static disk_layer instance;
    return instance;
}

disk_layer::~disk_layer()
{
    {
        std::lock_guard lock(stop_mutex_);
        stopping_ = true;
    }
    stop_signal_.notify_all();
    if (watcher_.joinable())
        watcher_.join();
    close_disks();
    if (transfer_)
        munmap(transfer_, transfer_size);
}

int disk_layer::startup()
{
    {
        std::lock_guard lock(mutex_);
        if (!transfer_) {
            void* buffer = mmap(nullptr, transfer_size, PROT_READ | PROT_WRITE,
                                MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
            if (buffer == MAP_FAILED)
                return 0;
            transfer_ = buffer;
        }
        close_disks();
        open_disks();
    }
    if (!watcher_.joinable()) {
        try {
            watcher_ = std::thread(&disk_layer::watch_media, this);
        } catch (const std::system_error&) {
            disk_count_ = 0;
        }
    }
    return int(disk_count_);
}

int disk_layer::rescan()
{
    std::lock_guard lock(mutex_);
    close_disks();
    open_disks();
    return int(disk_count_);
}

// With the mutex held.
void disk_layer::open_disks()
{
    unsigned n = 0;
    for (; n < max_disks; ++n) {
        char path[32];
        std::snprintf(path, sizeof path, "\\\\.\\PhysicalDrive%u", n);
        device::handle* handle = device::open(path, device::generic_read);
        if (!handle)
            break;
        disk_slot_s& slot = table_[n];
        slot.handle = handle;
        platform::debug_log("Disk# %u <== %s", n, path);
        if (query_device(slot)) {
            const uint64_t bytes = uint64_t(slot.sector_size) * slot.sector_count;
            platform::debug_log(" (%uMB, %u bytes * %u sectors)\n", unsigned(bytes / 1024 / 1024),
                                unsigned(slot.sector_size), unsigned(slot.sector_count));
        } else {
            platform::debug_log(" (Not Ready)\n");
        }
    }
    disk_count_ = n;
}

// With the mutex held. Slots beyond the new count are cleared, so no stale
// record outlives its handle.
void disk_layer::close_disks()
{
    for (disk_slot_s& slot : table_) {
        if (slot.handle)
            device::close(slot.handle);
        slot.handle = nullptr;
        slot.status = 0;
        slot.sector_size = 0;
        slot.sector_count = 0;
    }
    disk_count_ = 0;
}

// With the mutex held.
bool disk_layer::query_device(disk_slot_s& slot)
{
    platform::disk_geometry geometry;
    if (!device::check_verify(slot.handle) || !device::drive_geometry(slot.handle, &geometry)) {
        slot.status = disk_not_ready;
        return false;
    }
    // The volume layer works with 512-byte sectors only.
    if (geometry.bytes_per_sector != disk_sector_size) {
        slot.status = disk_not_ready;
        return false;
    }
    slot.sector_size = disk_sector_size;
    slot.sector_count = uint32_t(uint32_t(geometry.cylinders) * geometry.tracks_per_cylinder *
                                 geometry.sectors_per_track);
    slot.status = device::is_writable(slot.handle) ? 0 : disk_write_protected;
    return true;
}

uint8_t disk_layer::query(unsigned disk)
{
    std::unique_lock lock(mutex_, 5000ms);
    if (!lock.owns_lock() || disk >= disk_count_)
        return uint8_t(disk_not_ready);
    query_device(table_[disk]);
    return table_[disk].status;
}

uint8_t disk_layer::status(unsigned disk) const
{
    return disk < disk_count_ ? table_[disk].status.load() : uint8_t(disk_not_ready);
}

int disk_layer::read_sectors(unsigned disk, void* destination, uint32_t sector, unsigned count)
{
    if (disk >= disk_count_ || (table_[disk].status & disk_not_ready))
        return disk_unavailable;
    std::unique_lock lock(mutex_, 3000ms);
    // A rescan may have changed the table while we waited.
    if (!lock.owns_lock() || !transfer_ || disk >= disk_count_ ||
        (table_[disk].status & disk_not_ready))
        return disk_unavailable;
    const disk_slot_s& slot = table_[disk];
    const uint64_t length = uint64_t(count) * slot.sector_size;
    if (length > transfer_size)
        return disk_bad_parameter;
    const uint64_t offset = uint64_t(sector) * slot.sector_size;
    uint64_t reached = 0;
    if (!device::seek(slot.handle, offset, &reached) || reached != offset)
        return disk_device_error;
    uint32_t got = 0;
    if (!device::read(slot.handle, transfer_, uint32_t(length), &got) || got != length)
        return disk_device_error;
    std::memcpy(destination, transfer_, length);
    return disk_done;
}

// Sleeps, waking early when the layer is being destroyed; false then.
bool disk_layer::pause(std::chrono::milliseconds how_long)
{
    std::unique_lock lock(stop_mutex_);
    return !stop_signal_.wait_for(lock, how_long, [this] { return stopping_; });
}

// Disk 0 is never watched.
void disk_layer::watch_media()
{
    while (pause(100ms)) {
        for (unsigned disk = 1; disk < disk_count_; ++disk) {
            if (!pause(1ms))
                return;
            std::unique_lock lock(mutex_, 100ms);
            if (!lock.owns_lock())
                continue;
            disk_slot_s& slot = table_[disk];
            if (disk >= disk_count_ || !slot.handle || (slot.status & disk_not_ready))
                continue;
            if (!device::check_verify(slot.handle))
                slot.status |= disk_not_ready;
            lock.unlock();
            if (!pause(100ms))
                return;
        }
    }
}

} // namespace

int disk_startup()
{
    return layer().startup();
}

int disk_rescan()
{
    return layer().rescan();
}

uint8_t disk_query(unsigned disk)
{
    return layer().query(disk);
}

uint8_t disk_status(unsigned disk)
{
    return layer().status(disk);
}

int disk_read_sectors(unsigned disk, void* destination, uint32_t sector, unsigned count)
{
    return layer().read_sectors(disk, destination, sector, count);
}
