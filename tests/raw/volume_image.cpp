#include "volume_image.h"

#include "platform/volumes.h"
#include "test_support.h"

#include <QString>

namespace raw_test {

namespace {

void put_le32(std::vector<uint8_t>& bytes, size_t at, uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        bytes[at + size_t(i)] = uint8_t(value >> (8 * i));
}

std::vector<uint8_t> master_boot_record()
{
    std::vector<uint8_t> mbr(512, 0);
    mbr[446 + 4] = 0x0C; // FAT32 LBA; the content is a pattern, not a file system
    put_le32(mbr, 446 + 8, uint32_t(partition_start / 512));
    put_le32(mbr, 446 + 12, uint32_t(partition_length / 512));
    mbr[510] = 0x55;
    mbr[511] = 0xAA;
    return mbr;
}

} // namespace

uint8_t pattern_at(uint64_t image_offset)
{
    // Period 251 (prime): no two offsets a sector apart look alike.
    return uint8_t((image_offset % 251) ^ (image_offset >> 11));
}

std::vector<uint8_t> pattern(uint64_t image_offset, size_t length)
{
    std::vector<uint8_t> bytes(length);
    for (size_t i = 0; i < length; ++i)
        bytes[i] = pattern_at(image_offset + i);
    return bytes;
}

volume_item_s make_volume_image(const std::string& path)
{
    test_support::make_sparse_file(path, image_length);
    test_support::write_bytes(path, 0, pattern(0, image_length));
    test_support::write_bytes(path, 0, master_boot_record());
    test_support::use_disks({path});
    volume_item_s volume;
    volume.volume_name = QString::fromStdString(platform::volumes::volume_for_partition(0, 1));
    volume.mount_path = QString::fromStdString(path + "#1");
    volume.total_bytes = partition_length;
    volume.partition_number = 1;
    volume.disk_number = 0;
    return volume;
}

} // namespace raw_test
