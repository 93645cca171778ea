#include "platform/debug_log.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>

namespace platform {

void debug_log(const char* format, ...)
{
    const char* target = std::getenv("ZORVANE_DEBUG_LOG");
    if (!target || !*target)
        return;
    static std::mutex mutex;
    std::lock_guard<std::mutex> lock(mutex);
    const bool to_stderr = std::strcmp(target, "-") == 0;
    FILE* out = to_stderr ? stderr : std::fopen(target, "a");
    if (!out)
        return;
    va_list args;
    va_start(args, format);
    std::vfprintf(out, format, args);
    va_end(args);
    if (!to_stderr)
        std::fclose(out);
}

} // namespace platform
