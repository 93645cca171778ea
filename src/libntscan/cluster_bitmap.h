// The volume's cluster bitmap ($Bitmap): which clusters are in use.
#pragma once

#include "data_layout.h"
#include "ntfs_volume.h"

#include <cstdint>
#include <optional>
#include <span>

namespace ntscan {

// Clear bits among `count` bits of `bitmap` from bit `first` on (bit i is
// bit i % 8 of byte i / 8). The range must lie within the bitmap.
uint64_t count_clear_bits(std::span<const uint8_t> bitmap, uint64_t first, uint64_t count);

class cluster_bitmap {
public:
    explicit cluster_bitmap(const ntfs_volume& volume) : volume_(volume) {}
    // Share (0-100) of the real clusters of `layout` that the bitmap marks
    // free; 100 when it has none, 0 when the bitmap cannot be read.
    int free_share(const data_layout& layout);

private:
    bool load();
    // Free clusters among [lcn, lcn + count); nothing when unreadable.
    std::optional<uint64_t> free_clusters(uint64_t lcn, uint64_t count);

    const ntfs_volume& volume_;
    bool loaded_ = false;
    std::optional<file_data> bitmap_;
    loaded_file bitmap_file_;
};

} // namespace ntscan
