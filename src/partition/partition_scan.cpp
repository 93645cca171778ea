#include "partition/boot_sector_tests.h"
#include "partition/aligned_buffer.h"
#include "partition/partition_repair.h"

namespace {

constexpr uint32_t chunk_sectors = 256;
constexpr uint32_t chunk_bytes = chunk_sectors * sector_bytes;
// The last sector of a chunk is tested as the first of the next one, so that
// the FAT32 test can always look one sector ahead.
constexpr uint64_t chunk_advance = chunk_sectors - 1;
// Sector numbers beyond this have no 64-bit byte offset.
constexpr uint64_t last_addressable_sector = UINT64_MAX / sector_bytes;

// The sector after the partition of a hit at `start`, or none when its count
// is 0 or the end lies beyond any 64-bit byte offset.
std::optional<uint64_t> sector_after(uint64_t start, uint64_t count)
{
    if (count == 0 || start >= last_addressable_sector || count > last_addressable_sector - start)
        return std::nullopt;
    return start + count;
}

} // namespace

int partition_repair_c::scan(const drive_item_s& drive)
{
    clear_found();
    platform::device::handle* disk = platform::device::open(
        drive.path.toLocal8Bit().toStdString(), platform::device::generic_read,
        platform::device::no_buffering);
    if (!disk)
        return -1;

    const uint64_t size = drive.size;
    const aligned_buffer chunk = make_aligned_buffer(chunk_bytes);
    bool stopped = stop_requested_.load();
    uint64_t cur = 0;
    uint32_t got = 0;
    bool have_chunk = chunk && !stopped && platform::device::seek(disk, 0) &&
                      platform::device::read(disk, chunk.get(), chunk_bytes, &got);
    while (have_chunk && got == chunk_bytes) {
        const std::optional<boot_sector_hit> hit = find_boot_sector(chunk.get(), chunk_advance);
        uint64_t next = cur + chunk_advance;
        if (hit) {
            if (cur * sector_bytes >= size)
                break;
            const uint64_t start = cur + hit->index;
            const std::optional<uint64_t> after = sector_after(start, hit->count);
            if (after) {
                append_found({QString::fromLatin1(hit->file_system), hit->type, start, *after - 1});
                next = *after;
            } else {
                next = start + 1; // a boot sector that names no extent: go on past it
            }
        }
        if (next > last_addressable_sector)
            break;
        // Without a hit the next read tells whether the seek worked.
        if (!platform::device::seek(disk, next * sector_bytes) && hit)
            break;
        if (next * sector_bytes >= size)
            break;
        progress_.store(double(next * sector_bytes) / double(size), std::memory_order_relaxed);
        if (stop_requested_.load()) {
            stopped = true;
            break;
        }
        have_chunk = platform::device::read(disk, chunk.get(), chunk_bytes, &got);
        cur = next;
    }

    if (!stopped)
        progress_.store(1.0, std::memory_order_relaxed);
    platform::device::close(disk);
    return 0;
}
