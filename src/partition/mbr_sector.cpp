#include "partition/mbr_sector.h"

#include "partition/mbr_boot_code.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr size_t table_offset = 446;
constexpr size_t slot_bytes = 16;
constexpr int slot_count = 4;
constexpr uint8_t active = 0x80;
constexpr uint32_t last_chs_cylinder = 1023;

void put_le32(uint8_t* at, uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        at[i] = uint8_t(value >> (8 * i));
}

void fill_slot(uint8_t* slot, const partition_item_s& partition,
               const platform::disk_geometry& geometry)
{
    const std::array<uint8_t, 3> first = chs_address(partition.start_sector, geometry);
    const std::array<uint8_t, 3> last = chs_address(partition.end_sector, geometry);
    std::copy(first.begin(), first.end(), slot + 1);
    slot[4] = uint8_t(partition.type);
    std::copy(last.begin(), last.end(), slot + 5);
    put_le32(slot + 8, uint32_t(partition.start_sector));
    put_le32(slot + 12, uint32_t(partition.end_sector - partition.start_sector + 1));
}

} // namespace

std::array<uint8_t, 3> chs_address(uint64_t sector, const platform::disk_geometry& geometry)
{
    const uint32_t heads = geometry.tracks_per_cylinder;
    const uint32_t per_track = geometry.sectors_per_track;
    const std::array<uint8_t, 3> beyond_chs = {0xFE, 0xFF, 0xFF};
    if (heads == 0 || per_track == 0 || sector > UINT32_MAX)
        return beyond_chs;
    const uint32_t l = uint32_t(sector);
    const uint32_t track = l / per_track;
    const uint32_t in_track = l % per_track;
    const uint32_t head = track % heads;
    const uint32_t cylinder = track / heads;
    if (cylinder > last_chs_cylinder)
        return beyond_chs;
    return {uint8_t(head), uint8_t((in_track + 1) | ((cylinder >> 2) & 0xC0)), uint8_t(cylinder)};
}

bool fits_partition_table(const partition_item_s& partition)
{
    return partition.start_sector <= UINT32_MAX && partition.end_sector >= partition.start_sector &&
           partition.end_sector - partition.start_sector < UINT32_MAX;
}

void build_mbr_sector(uint8_t* sector, const QList<partition_item_s>& found,
                      const platform::disk_geometry& geometry)
{
    std::copy(mbr_boot_code.begin(), mbr_boot_code.end(), sector);
    sector[510] = 0x55;
    sector[511] = 0xAA;

    int slot_index = 0;
    for (const partition_item_s& partition : found) {
        if (slot_index == slot_count)
            break;
        if (!fits_partition_table(partition))
            continue;
        uint8_t* slot = sector + table_offset + slot_index * slot_bytes;
        if (slot_index == 0)
            slot[0] = active;
        fill_slot(slot, partition, geometry);
        ++slot_index;
    }
    for (; slot_index < slot_count; ++slot_index)
        std::memset(sector + table_offset + slot_index * slot_bytes, 0, slot_bytes);
}
