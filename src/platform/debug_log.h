// Diagnostic lines that serve no user: written only when ZORVANE_DEBUG_LOG
// names a file to append to ("-" means standard error). Never standard output.
#pragma once

namespace platform {

// printf-style; the text is written as given, with no newline added.
void debug_log(const char* format, ...) __attribute__((format(printf, 1, 2)));

} // namespace platform
