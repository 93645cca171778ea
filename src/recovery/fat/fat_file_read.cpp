#include "recovery/fat/disk_layer.h"
#include "recovery/fat/fat_internal.h"

#include <algorithm>
#include <cstring>

namespace {

int fail(fat_file_s* file, int result)
{
    file->flags |= fat_file_error;
    return result;
}

} // namespace

int f_readdata(fat_file_s* file, void* destination, uint32_t count, uint32_t* bytes_read,
               int contiguous)
{
    *bytes_read = 0;
    const int valid = validate_object(file->fs, file->mount_id);
    if (valid)
        return valid;
    if (file->flags & fat_file_error)
        return fat_internal_error;
    if (!(file->flags & fat_file_read))
        return fat_not_open;
    fat_fs_s* fs = file->fs;
    count = file->position < file->size ? std::min(count, file->size - file->position) : 0;
    auto* out = static_cast<uint8_t*>(destination);

    while (count > 0) {
        const uint32_t offset = file->position % fat_sector_size;
        uint32_t sector = file->buffered_sector;
        if (offset == 0) {
            const uint32_t in_cluster = (file->position / fat_sector_size) & (fs->sectors_per_cluster - 1u);
            if (in_cluster == 0) {
                uint32_t cluster;
                if (file->position == 0) {
                    cluster = file->start_cluster;
                } else if (contiguous) {
                    cluster = file->current_cluster + 1;
                } else {
                    cluster = next_cluster(fs, file->current_cluster);
                    if (cluster == cluster_read_failed)
                        return fail(file, fat_disk_error);
                }
                if (cluster < 2)
                    return fail(file, fat_internal_error);
                file->current_cluster = cluster;
            }
            sector = cluster_to_sector(fs, file->current_cluster);
            if (!sector)
                return fail(file, fat_internal_error);
            sector += in_cluster;

            if (count >= fat_sector_size) {
                // Whole sectors go straight to the caller, up to the cluster's end.
                const uint32_t sectors = std::min(count / fat_sector_size,
                                                  fs->sectors_per_cluster - in_cluster);
                if (disk_read_sectors(fs->disk, out, sector, sectors) != disk_done)
                    return fail(file, fat_disk_error);
                const uint32_t step = sectors * fat_sector_size;
                file->position += step;
                out += step;
                *bytes_read += step;
                count -= step;
                continue;
            }
        } else if (!sector) {
            return fail(file, fat_internal_error); // mid-sector with nothing buffered
        }
        if (sector != file->buffered_sector) {
            if (disk_read_sectors(fs->disk, file->buffer, sector, 1) != disk_done)
                return fail(file, fat_disk_error);
            file->buffered_sector = sector;
        }
        const uint32_t step = std::min(fat_sector_size - offset, count);
        std::memcpy(out, file->buffer + offset, step);
        file->position += step;
        out += step;
        *bytes_read += step;
        count -= step;
    }
    return fat_ok;
}
