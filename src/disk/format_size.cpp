#include "disk/format_size.h"

QString format_size(uint64_t bytes)
{
    constexpr uint64_t kib = 1024, mib = kib * 1024, gib = mib * 1024;
    if (bytes > gib)
        return QString::asprintf("%.2fG", double(bytes) / double(gib));
    if (bytes > mib)
        return QString::asprintf("%.2fM", double(bytes) / double(mib));
    if (bytes > kib)
        return QString::asprintf("%.2fK", double(bytes) / double(kib));
    return QString::asprintf("%dB", int(bytes));
}
