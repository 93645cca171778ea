// Where the Windows-only absolute locations of the program go on this platform.
#pragma once

#include <string>

namespace platform {

// The per-user folder of the program's own files ($XDG_DATA_HOME/Zorvane or
// ~/.local/share/Zorvane); empty when neither variable is set. Not created.
std::string user_data_folder();

// The NTFS engine's failure log, "C:/Fennick.log" on Windows.
std::string ntfs_log_file();

// Copies of sector 0 saved before a partition-table repair.
std::string mbr_backup_folder();

// Where folder choosers start, "C:/" on Windows: the user's home folder.
std::string folder_dialog_start();

} // namespace platform
