// LZNT1 streams of arbitrary bytes, into a compression unit of 64 KiB.
#include "libntscan/lznt1.h"

#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::vector<uint8_t> out(64 * 1024);
    ntscan::lznt1_decompress(std::span(data, size), out);
    return 0;
}
