#include "file_sink.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace ntscan {

file_sink::file_sink(const char* path) : fd_(::open(path, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644))
{
    struct stat st;
    regular_ = fd_ >= 0 && ::fstat(fd_, &st) == 0 && S_ISREG(st.st_mode);
}

file_sink::~file_sink()
{
    if (fd_ >= 0) ::close(fd_);
}

bool file_sink::write(const uint8_t* bytes, size_t length)
{
    while (length > 0) {
        ssize_t n = regular_ ? ::pwrite(fd_, bytes, length, off_t(position_)) : ::write(fd_, bytes, length);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        bytes += n;
        length -= size_t(n);
        position_ += uint64_t(n);
    }
    return true;
}

bool file_sink::zeros(uint64_t length)
{
    if (length > uint64_t(INT64_MAX) - position_) return false;
    if (!regular_) {
        static const uint8_t block[65536] = {};
        for (; length > sizeof block; length -= sizeof block)
            if (!write(block, sizeof block)) return false;
        return write(block, size_t(length));
    }
    position_ += length;
    return true;
}

bool file_sink::finish()
{
    bool ok = !regular_ || ::ftruncate(fd_, off_t(position_)) == 0;
    ok = ::close(fd_) == 0 && ok;
    fd_ = -1;
    return ok;
}

} // namespace ntscan
