// Arbitrary bytes as the start of a disk: mount, walk every directory the way
// the FAT engine does, and read every file found, contiguously and along its
// chain. No crash, no hang, bounded memory.
#include "fat_walk.h"

#include "recovery/fat/disk_layer.h"
#include "recovery/fat/fat_volume.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

constexpr uint64_t disk_bytes = 8 << 20; // the rest of the disk reads as zeros
constexpr size_t max_rows = 20000;
constexpr unsigned max_files = 64;
constexpr unsigned max_chunks = 64; // per file read

std::string image_path;
fat_fs_s fs;

void write_image(const uint8_t* data, size_t size)
{
    const int fd = ::open(image_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (fd < 0)
        std::abort();
    if (::write(fd, data, size) != ssize_t(size) || ::ftruncate(fd, off_t(disk_bytes)) != 0)
        std::abort();
    ::close(fd);
}

uint32_t load32(const uint8_t* p)
{
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

void read_file(uint32_t cluster, uint32_t size, int contiguous)
{
    fat_file_s file;
    file.fs = &fs;
    file.mount_id = fs.mount_id;
    file.flags = fat_file_read;
    file.size = size;
    file.start_cluster = cluster;
    static uint8_t buffer[4096];
    for (unsigned i = 0; i < max_chunks; ++i) {
        uint32_t got = 0;
        if (f_readdata(&file, buffer, sizeof buffer, &got, contiguous) != fat_ok || got == 0)
            return;
        if (got > sizeof buffer)
            std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    image_path = "/tmp/zorvane-fat-fuzz-" + std::to_string(getpid()) + ".img";
    write_image(nullptr, 0);
    setenv("ZORVANE_DISKS", image_path.c_str(), 1);
    unsetenv("ZORVANE_DEBUG_LOG");
    if (disk_startup() != 1)
        std::abort();
    std::atexit([] { ::unlink(image_path.c_str()); });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > disk_bytes)
        return 0;
    write_image(data, size);
    // The start sector the system would report: the first partition entry's.
    const uint32_t start = size >= 512 ? load32(data + 454) % (disk_bytes / 512) : 0;
    fat_volume_table()[0] = {0, uint8_t(size > 0 ? data[0] & 1 : 0), start};
    f_attach(0, &fs);

    unsigned files = 0;
    for (const walk_row& row : walk_volume(max_rows)) {
        if ((row.attributes & fat_attr_directory) || files >= max_files)
            continue;
        ++files;
        read_file(row.cluster, row.size, 1);
        read_file(row.cluster, row.size, 0);
    }
    return 0;
}
