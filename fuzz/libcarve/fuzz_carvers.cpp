// The input is a device: every carver whose header accepts its first bytes
// walks it, as the scan would at a sector start. Seed it with real files
// (tests/libcarve/make_samples.py writes one of each type).
#include "libcarve/carver.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

using namespace libcarve;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    memory_source source({data, size});
    for (const carver* c : all_carvers()) {
        if (!c->header(data, size))
            continue;
        reader r(source, 0, size);
        const found_file file = carve_one(*c, r);
        if (file.size > size || (file.size > 0 && !file.extension))
            std::abort();
    }
    return 0;
}
