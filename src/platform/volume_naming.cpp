#include "platform/volume_naming.h"

#include <cstdio>

namespace platform::detail {

namespace {

uint64_t fnv1a(const std::string& text, uint64_t seed)
{
    uint64_t hash = seed;
    for (unsigned char c : text) {
        hash ^= c;
        hash *= 0x100000001b3ULL;
    }
    return hash;
}

} // namespace

std::string volume_guid_path(const std::string& backing, uint64_t start)
{
    const std::string key = backing + '#' + std::to_string(start);
    const uint64_t a = fnv1a(key, 0xcbf29ce484222325ULL);
    const uint64_t b = fnv1a(key, 0x84222325cbf29ce4ULL);
    char text[80];
    std::snprintf(text, sizeof text, "\\\\?\\Volume{%08x-%04x-%04x-%04x-%012llx}\\",
                  unsigned(a >> 32), unsigned((a >> 16) & 0xffff), unsigned(a & 0xffff),
                  unsigned(b >> 48), static_cast<unsigned long long>(b & 0xffffffffffffULL));
    return text;
}

std::string volume_device_name(unsigned k)
{
    return "\\Device\\HarddiskVolume" + std::to_string(k);
}

} // namespace platform::detail
