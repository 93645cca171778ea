#include "shell/instance_lock.h"

#include <cerrno>
#include <cstdlib>
#include <string>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace {

std::string lock_folder()
{
    for (const char* variable : {"XDG_RUNTIME_DIR", "TMPDIR"}) {
        const char* value = std::getenv(variable);
        if (value && *value)
            return value;
    }
    return "/tmp";
}

} // namespace

bool take_instance_lock()
{
    const std::string path = lock_folder() + "/Zorvane.lock";
    // Never closed: the lock lasts as long as the process.
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0)
        return true;
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0)
        return true;
    const bool held_elsewhere = errno == EWOULDBLOCK;
    ::close(fd);
    return !held_elsewhere;
}
