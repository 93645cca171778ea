// One directory entry kept by the FAT engine, keyed by its start cluster.
#pragma once

#include "recovery/entry_traits.h"

#include <QList>

#include <cstdint>

struct fat_entry_s {
    uint32_t start_cluster = 0;  // hash key; 0 only for the root
    uint32_t parent_cluster = 0; // 0 for entries of the root directory
    uint32_t size = 0;
    int64_t modified = 0; // seconds since 1970-01-01 UTC
    int64_t created = 0;
    uint8_t attributes = 0; // 0x10 directory, 0x40 deleted
    uint8_t in_deleted_dir = 0;
    char16_t name[260] = {}; // zero-terminated
    uint8_t has_files = 0;
    QList<fat_entry_s*> children; // into the engine's own hash
};

constexpr uint8_t fat_attribute_directory = 0x10;
constexpr uint8_t fat_attribute_deleted = 0x40;

template <>
struct entry_traits<fat_entry_s> {
    using key_type = uint32_t;
    static constexpr key_type root_key = 0;

    static key_type key(const fat_entry_s& e) { return e.start_cluster; }
    static key_type parent(const fat_entry_s& e) { return e.parent_cluster; }
    // The root is its own parent and is not its own child.
    static bool linked(const fat_entry_s& e) { return e.start_cluster != 0 || e.parent_cluster != 0; }
    static bool is_file(const fat_entry_s& e) { return !(e.attributes & fat_attribute_directory); }
    static bool is_top_level(const fat_entry_s& e) { return e.parent_cluster == 0; }
    static bool shown_folder(const fat_entry_s& e)
    {
        return (e.attributes & fat_attribute_directory) && e.has_files && e.start_cluster != 0;
    }
    static bool shown_file(const fat_entry_s& e)
    {
        return !(e.attributes & fat_attribute_directory) && e.start_cluster != 0;
    }
};
