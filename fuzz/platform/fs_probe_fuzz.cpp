// The input is a whole volume: boot sector, FAT or MFT, directories, bitmaps.
#include "platform/fs_probe.h"

#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const platform::detail::byte_reader read = [data, size](uint64_t offset, void* buffer,
                                                            size_t length) {
        if (offset > size || length > size - offset)
            return false;
        std::memcpy(buffer, data + offset, length);
        return true;
    };
    platform::detail::fs_info info;
    platform::detail::probe_file_system(read, size, info);
    return 0;
}
