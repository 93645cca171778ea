// Run lists of arbitrary bytes.
#include "libntscan/run_list.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::vector<ntscan::data_run> runs;
    ntscan::decode_run_list(std::span(data, size), 0, 1u << 24, runs);
    return 0;
}
