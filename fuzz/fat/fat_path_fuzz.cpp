// Arbitrary UTF-16 paths followed on a small volume with long, short, GBK
// and deleted names.
#include "fat_image_builder.h"

#include "recovery/fat/disk_layer.h"
#include "recovery/fat/fat_volume.h"

#include <unistd.h>

#include <cstdlib>
#include <string>

namespace {

fat_fs_s fs;

void build_volume(const std::string& path)
{
    fat_image_builder image(2880, 1, 224);
    put_short_entry(image.root_entry(1), "SUB        ", 0x10, 5, 0);
    put_long_name(image.root_entry(1), u"Sub Folder \u00C4\u0436");
    put_short_entry(image.root_entry(2), "\xD6\xD0\xCE\xC4       ", 0x10, 6, 0);
    put_short_entry(image.root_entry(3), "\xE5" "ONE    TXT", 0x20, 7, 10);
    put_short_entry(image.root_entry(4), "FILE    TXT", 0x20, 8, 10);
    put_short_entry(image.cluster(5), "..         ", 0x10, 0, 0);
    put_short_entry(image.cluster(5) + 32, "LOOP       ", 0x10, 5, 0); // points at itself
    put_short_entry(image.cluster(6), "X       TXT", 0x20, 0, 0);
    image.save(path);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    static const std::string path = "/tmp/zorvane-fat-path-fuzz-" + std::to_string(getpid()) + ".img";
    build_volume(path);
    setenv("ZORVANE_DISKS", path.c_str(), 1);
    unsetenv("ZORVANE_DEBUG_LOG");
    if (disk_startup() != 1)
        std::abort();
    std::atexit([] { ::unlink(path.c_str()); });
    fat_volume_table()[0] = {0, 0, 0};
    f_attach(0, &fs);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::u16string path;
    for (size_t i = 0; i + 1 < size; i += 2)
        path += char16_t(data[i] | data[i + 1] << 8);
    fat_dir_s dir;
    if (f_opendir(&dir, path.c_str()) != fat_ok)
        return 0;
    char16_t long_name[64];
    for (int i = 0; i < 32; ++i) {
        fat_info_s info;
        info.long_name = long_name;
        info.long_name_size = 64;
        if (f_readdir(&dir, &info) != fat_ok || !info.short_name[0])
            break;
    }
    return 0;
}
