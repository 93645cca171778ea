// The NTFS scanning library: open a scan of a volume, read its file records
// one by one, extract a file's content by record number, release the scan.
// Plain C++; every operation returns an int.
#pragma once

#include <cstddef>
#include <cstdint>

namespace ntscan {

// One file record as the library reports it (576 bytes, little-endian).
struct ntfs_entry_s {
    int64_t id;         // record number
    int64_t parent;     // record number of the directory that holds it (root: 5)
    int64_t size;       // bytes of the unnamed $DATA
    int64_t date2;      // creation, seconds since 1970 UTC
    int64_t accessed;   // last access, seconds since 1970 UTC
    int64_t date1;      // last modification, seconds since 1970 UTC
    uint32_t flags;     // entry_flag bits
    uint32_t reserved;
    char16_t name[260]; // zero-terminated
};
static_assert(sizeof(ntfs_entry_s) == 576);
static_assert(offsetof(ntfs_entry_s, date2) == 24 && offsetof(ntfs_entry_s, date1) == 40);
static_assert(offsetof(ntfs_entry_s, flags) == 48 && offsetof(ntfs_entry_s, name) == 56);

enum entry_flag : uint32_t { entry_directory = 1u << 0, entry_file = 1u << 1, entry_deleted = 1u << 7 };

struct scan_state;

// State block of one open scan (8,248 bytes). Callers read `open`, `total`
// and the counters; progress is (c3 + 8 * (c1 + c2)) / total. This library
// counts examined records in c3 and the records of the MFT in `total`, and
// keeps c1 and c2 at 0.
struct ntfs_scan_context_s {
    int32_t open;
    int32_t reserved0;
    int64_t total;
    scan_state* state;
    uint8_t reserved1[8224 - 24];
    uint32_t c1;
    uint32_t c2;
    uint32_t c3;
    uint8_t reserved2[12];
};
static_assert(sizeof(ntfs_scan_context_s) == 8248);
static_assert(offsetof(ntfs_scan_context_s, total) == 8);
static_assert(offsetof(ntfs_scan_context_s, c1) == 8224 && offsetof(ntfs_scan_context_s, c3) == 8232);

// Opens a scan of "/dev/hd<letter><n>": disk letter - 'a', partition n.
// A scan still open in the context is released first. 0, or a negative
// startup_error when the device is missing or holds no readable NTFS.
int ntfs_scan_startup(const char* device_name, ntfs_scan_context_s* context);

// Fills `entry` with the next base file record that has a name and returns 1;
// returns 0 when there are no more. Torn and unreadable records are skipped.
int ntfs_scan_next(ntfs_scan_context_s* context, ntfs_entry_s* entry);

// Releases the open scan; the context may then be zero-filled.
int ntfs_scan_release(ntfs_scan_context_s* context);

// Writes the unnamed $DATA of record `record` to `destination` (created or
// truncated). 0 on success, negative when the record has no readable data;
// a read failing part way leaves what was read before it.
// `free_share` receives the share (0-100) of the file's clusters that the
// cluster bitmap marks free; 100 when no cluster holds its data.
int ntfs_scan_extract(ntfs_scan_context_s* context, int64_t record, const char* destination,
                      int32_t* free_share);

enum startup_error : int {
    error_bad_name = -1,    // not "/dev/hd<letter><n>"
    error_no_device = -2,   // no such volume, or it cannot be opened
    error_not_ntfs = -3,    // neither boot sector describes an NTFS volume
    error_bad_mft = -4,     // the $MFT record cannot be read from the MFT or its mirror
    error_no_memory = -5,
};

} // namespace ntscan
