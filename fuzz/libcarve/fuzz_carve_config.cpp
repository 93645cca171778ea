// The configuration text, whatever it holds.
#include "libcarve/config.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    libcarve::config settings;
    settings.parse(std::string_view(reinterpret_cast<const char*>(data), size));
    (void)settings.limits("jpg");
    return 0;
}
