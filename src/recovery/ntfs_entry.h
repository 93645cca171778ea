// One file record kept by the NTFS engine, keyed by its record number. The
// first 576 bytes are the scanning library's record layout, which it fills.
#pragma once

#include "recovery/entry_traits.h"

#include <QList>

#include <cstddef>
#include <cstdint>

struct ntfs_entry_s {
    int64_t id = 0;     // record number; 5 is the root, 0-11 are never shown
    int64_t parent = 0; // the root's parent is 5
    int64_t size = 0;
    int64_t date2 = 0; // seconds since 1970-01-01 UTC
    int64_t unused_32 = 0;
    int64_t date1 = 0;
    uint32_t flags = 0; // bit 0 directory, bit 1 file, bit 7 deleted
    uint32_t unused_52 = 0;
    char16_t name[260] = {}; // zero-terminated
    uint8_t has_files = 0;
    QList<ntfs_entry_s*> children; // into the engine's own hash
};

constexpr size_t ntfs_record_bytes = 576;
static_assert(offsetof(ntfs_entry_s, flags) == 48 && offsetof(ntfs_entry_s, name) == 56 &&
              offsetof(ntfs_entry_s, has_files) == ntfs_record_bytes);

constexpr uint32_t ntfs_flag_directory = 0x01;
constexpr uint32_t ntfs_flag_file = 0x02;
constexpr uint32_t ntfs_flag_deleted = 0x80;
constexpr int64_t ntfs_root_record = 5;
constexpr int64_t ntfs_last_system_record = 11;

template <>
struct entry_traits<ntfs_entry_s> {
    using key_type = int64_t;
    static constexpr key_type root_key = ntfs_root_record;

    static key_type key(const ntfs_entry_s& e) { return e.id; }
    static key_type parent(const ntfs_entry_s& e) { return e.parent; }
    // The root lists itself among its own children; the shown-rules hide it.
    static bool linked(const ntfs_entry_s&) { return true; }
    static bool is_file(const ntfs_entry_s& e) { return e.flags & ntfs_flag_file; }
    static bool is_top_level(const ntfs_entry_s& e) { return e.parent == ntfs_root_record; }
    static bool shown_folder(const ntfs_entry_s& e)
    {
        return (e.flags & ntfs_flag_directory) && e.has_files && e.id > ntfs_last_system_record;
    }
    static bool shown_file(const ntfs_entry_s& e)
    {
        return (e.flags & ntfs_flag_file) && e.id > ntfs_last_system_record;
    }
};
