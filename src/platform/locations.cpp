#include "platform/locations.h"

#include <cstdlib>

namespace platform {

namespace {

std::string environment(const char* name)
{
    const char* value = std::getenv(name);
    return value ? value : "";
}

} // namespace

std::string user_data_folder()
{
    std::string base = environment("XDG_DATA_HOME");
    if (base.empty()) {
        const std::string home = environment("HOME");
        if (home.empty())
            return {};
        base = home + "/.local/share";
    }
    return base + "/Zorvane";
}

std::string ntfs_log_file()
{
    const std::string folder = user_data_folder();
    return folder.empty() ? std::string() : folder + "/Fennick.log";
}

std::string mbr_backup_folder()
{
    const std::string folder = user_data_folder();
    return folder.empty() ? std::string() : folder + "/mbr-backups";
}

std::string folder_dialog_start()
{
    const std::string home = environment("HOME");
    return home.empty() ? "/" : home;
}

} // namespace platform
