// A mounted NTFS volume: its geometry, where its MFT lies, and the records
// of one file read from it.
#pragma once

#include "boot_sector.h"
#include "byte_source.h"
#include "file_records.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace ntscan {

// A file's records with the storage that holds them.
struct loaded_file {
    std::vector<std::vector<uint8_t>> buffers;
    std::vector<opened_record> records; // base record first
};

class ntfs_volume {
public:
    // 0, or error_not_ntfs / error_bad_mft.
    int mount(byte_source& source);

    const volume_geometry& geometry() const { return geometry_; }
    byte_source& source() const { return *source_; }
    uint64_t record_count() const { return record_count_; }

    // Reads `count` whole records from `first` on into `buffer`, as stored.
    bool read_records(uint64_t first, size_t count, uint8_t* buffer) const;
    // Reads and opens one record.
    std::optional<opened_record> read_record(uint64_t number, std::vector<uint8_t>& buffer) const;
    // Adds to `file` (which holds the opened base record) the extension
    // records its attribute list names that still belong to it.
    void load_extensions(loaded_file& file) const;
    // The base record `number` with its extensions; false when the record
    // cannot be read or is itself an extension record.
    bool load_file(uint64_t number, loaded_file& file) const;
    // Adds the records of `candidates` that are extension records of the
    // file and not loaded yet. Deleting a file may drop entries from its
    // attribute list before the extension records they named are reused.
    void add_extensions(loaded_file& file, std::span<const uint64_t> candidates) const;

    bool read_stream(const data_layout& layout, uint64_t offset, uint8_t* buffer, size_t length) const
    {
        return ntscan::read_stream(*source_, geometry_.cluster_size, layout, offset, buffer, length);
    }

private:
    std::optional<volume_geometry> find_boot_sector() const;
    bool map_mft(uint64_t cluster);

    byte_source* source_ = nullptr;
    volume_geometry geometry_;
    data_layout mft_;
    uint64_t record_count_ = 0;
};

} // namespace ntscan
