#include "recovery/copy_file.h"

#include "platform/device.h"

#include <QFile>
#include <QString>

#include <filesystem>
#include <system_error>
#include <vector>

namespace {

namespace device = platform::device;

constexpr uint32_t copy_chunk = 131072;

std::string native_path(const std::wstring& path)
{
    return QFile::encodeName(QString::fromStdWString(path)).toStdString();
}

// Creating the destination truncates it, so a copy onto its own source
// would destroy the file it means to save.
bool same_file(const std::string& a, const std::string& b)
{
    std::error_code error;
    return std::filesystem::equivalent(a, b, error);
}

bool copy_content(device::handle* from, device::handle* to)
{
    std::vector<char> buffer(copy_chunk);
    for (;;) {
        uint32_t got = 0;
        if (!device::read(from, buffer.data(), copy_chunk, &got))
            return false;
        if (got == 0)
            return true;
        uint32_t written = 0;
        if (!device::write(to, buffer.data(), got, &written) || written != got)
            return false;
    }
}

} // namespace

int copy_file(const std::wstring& source, const std::wstring& destination)
{
    const std::string from_path = native_path(source);
    const std::string to_path = native_path(destination);
    device::handle* from = device::open(from_path, device::generic_read);
    if (!from)
        return -1;
    if (same_file(from_path, to_path)) {
        device::close(from);
        return -1;
    }
    device::handle* to =
        device::open(to_path, device::generic_write, device::normal, device::create_always);
    if (!to) {
        device::close(from);
        return -1;
    }
    const bool copied = copy_content(from, to);
    device::close(to);
    device::close(from);
    return copied ? 0 : -1;
}
