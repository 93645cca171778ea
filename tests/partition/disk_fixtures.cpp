#include "disk_fixtures.h"

#include "test_support.h"

#include <cstring>
#include <fstream>

namespace {

void put_le(bytes& at, size_t offset, uint64_t value, int length)
{
    for (int i = 0; i < length; ++i)
        at[offset + size_t(i)] = uint8_t(value >> (8 * i));
}

} // namespace

bytes signature_sector()
{
    bytes s(sector, 0);
    s[510] = 0x55;
    s[511] = 0xAA;
    return s;
}

bytes ntfs_boot_sector(uint64_t total_sectors_field)
{
    bytes s = signature_sector();
    s[0] = 0xEB, s[1] = 0x52, s[2] = 0x90;
    std::memcpy(s.data() + 3, "NTFS    ", 8);
    put_le(s, 0x28, total_sectors_field, 8);
    return s;
}

bytes fat32_boot_sector(const char* oem, uint32_t total_sectors)
{
    bytes s = signature_sector();
    s[0] = 0xEB, s[1] = 0x58, s[2] = 0x90;
    std::memcpy(s.data() + 3, oem, std::min<size_t>(8, std::strlen(oem)));
    put_le(s, 0x20, total_sectors, 4);
    return s;
}

void make_image(const std::string& path, uint64_t sectors, const std::vector<placed_sector>& placed)
{
    test_support::make_sparse_file(path, sectors * sector);
    for (const placed_sector& p : placed)
        test_support::write_bytes(path, p.number * sector, p.content);
}

drive_item_s image_drive(int n, uint64_t size)
{
    auto geometry = std::make_shared<platform::disk_geometry>();
    geometry->tracks_per_cylinder = 255;
    geometry->sectors_per_track = 63;
    geometry->bytes_per_sector = 512;
    geometry->cylinders = int64_t(size / (255 * 63 * 512));
    return drive_item_s{QStringLiteral("\\\\.\\PhysicalDrive%1").arg(n), size, geometry};
}

drive_item_s only_disk(const std::string& path)
{
    test_support::use_disks({path});
    enumerate_drives();
    return drive_list().size() > 1 ? drive_list()[1] : drive_item_s{};
}

void PrintTo(const partition_item_s& p, std::ostream* out)
{
    *out << "{" << p.file_system.toStdString() << ", " << p.type << ", " << p.start_sector << ", "
         << p.end_sector << "}";
}

void write_file(const std::string& path, const bytes& content)
{
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(content.data()), std::streamsize(content.size()));
}
