// A whole-volume listing through the library, its paths, and what The
// Sleuth Kit's fls says of the same image.
#pragma once

#include "libntscan/ntscan.h"

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace tsk_oracle {

struct listing {
    std::map<int64_t, ntscan::ntfs_entry_s> entries;
    // "folder/name" from the root down; "?" when a folder is missing.
    std::string path(int64_t id) const;
};

// Every entry of an open scan.
listing scan_all(ntscan::ntfs_scan_context_s& ctx);

struct tsk_name {
    int64_t inode;
    bool directory;
    bool orphan;      // listed under $OrphanFiles, where fls puts what it cannot place
    std::string path; // without the $OrphanFiles folder
};

// The names `fls <options> -p` lists (streams left out).
std::vector<tsk_name> fls(const std::string& options, const std::string& image);

std::string last_name(const std::string& path);

} // namespace tsk_oracle
