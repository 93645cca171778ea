// The partition search over arbitrary image bytes: it must not crash, hang,
// read outside its buffers, change the image, or report a boot sector that
// does not lie in a whole chunk of the image. Inputs need to pass 128 KiB to
// reach past the first read: run with -max_len=1048576.
#include "partition/partition_repair.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include <unistd.h>

namespace {

const std::string& image_path()
{
    static const std::string path = [] {
        const char* tmp = std::getenv("TMPDIR");
        std::string p = std::string(tmp && *tmp ? tmp : "/tmp") + "/zorvane-partition-fuzz-" +
                        std::to_string(getpid()) + ".img";
        setenv("ZORVANE_DISKS", p.c_str(), 1);
        return p;
    }();
    return path;
}

bool write_image(const uint8_t* data, size_t size)
{
    FILE* f = std::fopen(image_path().c_str(), "wb");
    if (!f)
        return false;
    const bool ok = std::fwrite(data, 1, size, f) == size;
    return std::fclose(f) == 0 && ok;
}

std::vector<uint8_t> read_image(size_t size)
{
    std::vector<uint8_t> bytes(size + 1);
    FILE* f = std::fopen(image_path().c_str(), "rb");
    if (!f)
        return {};
    bytes.resize(std::fread(bytes.data(), 1, bytes.size(), f));
    std::fclose(f);
    return bytes;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (!write_image(data, size))
        return 0;
    drive_item_s drive;
    drive.path = QStringLiteral("\\\\.\\PhysicalDrive0");
    drive.size = size;

    partition_repair_c worker;
    if (worker.scan(drive) != 0)
        return 0;

    const QList<partition_item_s> found = worker.found();
    uint64_t previous_end = 0;
    for (qsizetype i = 0; i < found.size(); ++i) {
        const partition_item_s& p = found[i];
        const bool inside = (p.start_sector + 1) * 512 <= size;
        const bool ordered = p.end_sector >= p.start_sector && (i == 0 || p.start_sector > previous_end);
        if (!inside || !ordered)
            std::abort();
        previous_end = p.end_sector;
    }
    if (worker.progress() != 1.0)
        std::abort();
    if (read_image(size) != std::vector<uint8_t>(data, data + size))
        std::abort();
    return 0;
}
