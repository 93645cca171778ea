#!/usr/bin/env python3
"""Deletes file records of an NTFS volume inside a disk image the way Windows
does it: the record's in-use flag is cleared, its bit in the MFT bitmap is
cleared, and the clusters of its non-resident data are freed in $Bitmap.

Usage: delete_ntfs_records.py IMAGE PARTITION_START_SECTOR RECORD [RECORD ...]
1 KiB file records and an unfragmented $MFT are assumed, as on the sample."""
import struct
import sys


def fixed_record(image, offset, size):
    image.seek(offset)
    record = bytearray(image.read(size))
    if record[:4] != b"FILE":
        sys.exit(f"no file record at {offset}")
    usa_offset, usa_count = struct.unpack_from("<HH", record, 4)
    for i in range(1, usa_count):
        end = i * 512 - 2
        record[end:end + 2] = record[usa_offset + 2 * i:usa_offset + 2 * i + 2]
    return record


def attributes(record):
    offset = struct.unpack_from("<H", record, 0x14)[0]
    while offset + 8 <= len(record):
        kind, length = struct.unpack_from("<II", record, offset)
        if kind == 0xFFFFFFFF or length == 0:
            return
        yield kind, record[offset:offset + length]
        offset += length


def runs(attribute):
    offset = struct.unpack_from("<H", attribute, 0x20)[0]
    lcn = 0
    while attribute[offset]:
        header = attribute[offset]
        length_size, offset_size = header & 15, header >> 4
        length = int.from_bytes(attribute[offset + 1:offset + 1 + length_size], "little")
        delta = int.from_bytes(attribute[offset + 1 + length_size:offset + 1 + length_size + offset_size],
                               "little", signed=True)
        lcn += delta
        yield lcn, length
        offset += 1 + length_size + offset_size


def unnamed_data_runs(record, kind):
    for k, attribute in attributes(record):
        if k == kind and attribute[8] == 1 and attribute[9] == 0:
            return list(runs(attribute))
    return []


def clear_bits(image, volume, cluster, bitmap_runs, first, count):
    """Clears bits of a bitmap stored in the clusters of bitmap_runs."""
    for bit in range(first, first + count):
        byte_index = bit // 8
        for lcn, length in bitmap_runs:
            if byte_index < length * cluster:
                break
            byte_index -= length * cluster
        else:
            sys.exit(f"bit {bit} lies beyond the bitmap")
        where = volume + lcn * cluster + byte_index
        image.seek(where)
        byte = image.read(1)[0]
        image.seek(where)
        image.write(bytes([byte & ~(1 << (bit % 8))]))


def main():
    path, start = sys.argv[1], int(sys.argv[2]) * 512
    records = [int(r) for r in sys.argv[3:]]
    with open(path, "r+b") as image:
        image.seek(start)
        boot = image.read(512)
        sector, cluster_sectors = struct.unpack_from("<HB", boot, 11)
        cluster = sector * cluster_sectors
        mft = start + struct.unpack_from("<Q", boot, 0x30)[0] * cluster
        record_size = 1024
        mft_record = fixed_record(image, mft, record_size)
        mft_bitmap_runs = unnamed_data_runs(mft_record, 0xB0)
        bitmap_runs = unnamed_data_runs(fixed_record(image, mft + 6 * record_size, record_size), 0x80)
        if not mft_bitmap_runs or not bitmap_runs:
            sys.exit("the MFT bitmap or $Bitmap is not where it should be")
        for number in records:
            offset = mft + number * record_size
            record = fixed_record(image, offset, record_size)
            flags = struct.unpack_from("<H", record, 0x16)[0]
            image.seek(offset + 0x16)
            image.write(struct.pack("<H", flags & ~1))  # 0x16 is no fixup position
            clear_bits(image, start, cluster, mft_bitmap_runs, number, 1)
            for lcn, length in unnamed_data_runs(record, 0x80):
                clear_bits(image, start, cluster, bitmap_runs, lcn, length)


main()
