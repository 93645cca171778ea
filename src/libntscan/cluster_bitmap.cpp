#include "cluster_bitmap.h"

#include <bit>
#include <vector>

namespace ntscan {

namespace {

constexpr uint64_t bitmap_record = 6;
constexpr uint64_t bytes_per_read = 64u << 10;

} // namespace

uint64_t count_clear_bits(std::span<const uint8_t> bitmap, uint64_t first, uint64_t count)
{
    uint64_t set = 0, bit = first, end = first + count;
    for (; bit < end && bit % 8 != 0; ++bit) set += (bitmap[bit / 8] >> (bit % 8)) & 1;
    for (; bit + 8 <= end; bit += 8) set += std::popcount(bitmap[bit / 8]);
    for (; bit < end; ++bit) set += (bitmap[bit / 8] >> (bit % 8)) & 1;
    return count - set;
}

bool cluster_bitmap::load()
{
    if (!loaded_) {
        loaded_ = true;
        if (volume_.load_file(bitmap_record, bitmap_file_))
            bitmap_ = find_data(bitmap_file_.records, volume_.geometry().total_clusters);
        if (bitmap_ && !bitmap_->resident && bitmap_->layout.unit_clusters != 0) bitmap_.reset();
    }
    return bitmap_.has_value();
}

std::optional<uint64_t> cluster_bitmap::free_clusters(uint64_t lcn, uint64_t count)
{
    uint64_t free = 0;
    std::vector<uint8_t> bytes;
    while (count > 0) {
        uint64_t n = std::min(count, bytes_per_read * 8 - lcn % 8);
        uint64_t first_byte = lcn / 8, byte_count = (lcn % 8 + n + 7) / 8;
        std::span<const uint8_t> window;
        if (bitmap_->resident) {
            if (first_byte > bitmap_->value.size() || byte_count > bitmap_->value.size() - first_byte)
                return std::nullopt;
            window = bitmap_->value.subspan(first_byte, byte_count);
        } else {
            bytes.resize(byte_count);
            if (!volume_.read_stream(bitmap_->layout, first_byte, bytes.data(), byte_count)) return std::nullopt;
            window = bytes;
        }
        free += count_clear_bits(window, lcn % 8, n);
        lcn += n;
        count -= n;
    }
    return free;
}

int cluster_bitmap::free_share(const data_layout& layout)
{
    uint64_t total = 0, free = 0;
    bool readable = true;
    for (const data_run& run : layout.runs) {
        if (run.lcn == sparse_run) continue;
        total += run.length;
        if (!readable || !load()) {
            readable = false;
            continue;
        }
        auto n = free_clusters(uint64_t(run.lcn), run.length);
        if (n) free += *n;
        else readable = false;
    }
    if (total == 0) return 100;
    if (!readable) return 0;
    return int(free * 100 / total);
}

} // namespace ntscan
