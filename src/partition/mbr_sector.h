// Sector 0 as the repair writes it: boot code, the old disk signature, and a
// partition table rebuilt from the found partitions.
#pragma once

#include "partition/partition_item.h"
#include "platform/device.h"

#include <QList>

#include <array>
#include <cstdint>

// Cylinder, head and sector of `sector` as a table slot stores them: head,
// sector with cylinder bits 8-9, cylinder bits 0-7. Beyond cylinder 1023 (or
// on a geometry without heads or sectors) it is the standard maximum FE FF FF.
std::array<uint8_t, 3> chs_address(uint64_t sector, const platform::disk_geometry& geometry);

// True when the partition's first sector and sector count fit a slot's 32-bit fields.
bool fits_partition_table(const partition_item_s& partition);

// Rewrites the sector 0 read from the disk in place: the boot code over bytes
// 0-439, bytes 440-445 kept, slots 0-3 from the first four partitions that fit
// (slot 0 active, the other slots keep their old status byte, unused slots
// zero) and 55 AA at 510.
void build_mbr_sector(uint8_t* sector, const QList<partition_item_s>& found,
                      const platform::disk_geometry& geometry);
