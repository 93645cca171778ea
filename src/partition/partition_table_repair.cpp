#include "partition/aligned_buffer.h"
#include "partition/boot_sector_tests.h"
#include "partition/mbr_backup.h"
#include "partition/mbr_sector.h"
#include "partition/partition_repair.h"

namespace {

bool read_sector_0(platform::device::handle* disk, uint8_t* sector)
{
    uint32_t got = 0;
    return platform::device::seek(disk, 0) &&
           platform::device::read(disk, sector, sector_bytes, &got) && got == sector_bytes;
}

bool write_sector_0(platform::device::handle* disk, const uint8_t* sector)
{
    uint32_t written = 0;
    return platform::device::seek(disk, 0) &&
           platform::device::write(disk, sector, sector_bytes, &written) &&
           written == sector_bytes;
}

} // namespace

int partition_repair_c::repair()
{
    if (!drive_ || !drive_->geometry || isRunning())
        return -1;
    platform::device::handle* disk = platform::device::open(
        drive_->path.toLocal8Bit().toStdString(),
        platform::device::generic_read | platform::device::generic_write,
        platform::device::no_buffering);
    if (!disk)
        return -1;

    const aligned_buffer sector = make_aligned_buffer(sector_bytes);
    int result = -1;
    // Without a saved copy of the old sector 0 nothing is written.
    if (sector && read_sector_0(disk, sector.get()) &&
        save_mbr_backup(drive_->path, sector.get()) == 0) {
        build_mbr_sector(sector.get(), found(), *drive_->geometry);
        result = write_sector_0(disk, sector.get()) ? 0 : -1;
    }
    platform::device::close(disk);
    return result;
}
