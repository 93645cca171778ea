// A walker's view of one candidate file: offsets relative to its first byte,
// never past `limit`. A read that falls outside sets a sticky failure flag
// and yields zeros, so a walk checks `ok()` where it decides.
#pragma once

#include "libcarve/byte_source.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string_view>
#include <memory>

namespace libcarve {

class reader {
public:
    reader(byte_source& source, uint64_t start, uint64_t limit);

    uint64_t limit() const { return limit_; }
    // Flags written by another thread: a pause holds the walk, a stop ends it.
    void watch(int32_t* paused, int32_t* stop)
    {
        paused_ = paused;
        stop_ = stop;
    }
    bool ok() const { return ok_; }
    explicit operator bool() const { return ok_; }
    // Marks the walk as failed (a structure check did not hold).
    bool fail() { ok_ = false; return false; }

    // True when `length` bytes at `at` lie within the limit and the device.
    bool has(uint64_t at, uint64_t length);
    bool bytes(uint64_t at, void* out, size_t length)
    {
        if (const uint8_t* p = in_cache(at, length)) {
            std::memcpy(out, p, length);
            return true;
        }
        return copy_through(at, out, length);
    }
    bool equals(uint64_t at, std::string_view text)
    {
        if (const uint8_t* p = in_cache(at, text.size()))
            return std::memcmp(p, text.data(), text.size()) == 0;
        return equals_through(at, text);
    }

    uint8_t u8(uint64_t at)
    {
        if (const uint8_t* p = in_cache(at, 1))
            return *p;
        uint8_t v = 0;
        copy_through(at, &v, 1);
        return v;
    }
    uint16_t le16(uint64_t at);
    uint32_t le32(uint64_t at);
    uint64_t le64(uint64_t at);
    uint16_t be16(uint64_t at);
    uint32_t be32(uint64_t at);
    uint64_t be64(uint64_t at);

    // Offset of the first `needle` at or after `from` that ends before `to`
    // (clamped to the limit), or npos. Does not touch the failure flag.
    uint64_t find(uint64_t from, std::string_view needle, uint64_t to = UINT64_MAX);

    // A pointer to up to `wanted` bytes at `at` (at least 1 unless at the
    // end), valid until the next call; `got` receives the count.
    const uint8_t* window(uint64_t at, size_t wanted, size_t& got)
    {
        if (at >= cache_at_ && at - cache_at_ < cache_len_) {
            got = size_t(std::min<uint64_t>(wanted, cache_len_ - (at - cache_at_)));
            return data_ + (at - cache_at_);
        }
        return window_through(at, wanted, got);
    }

    static constexpr uint64_t npos = UINT64_MAX;

private:
    // The `length` bytes at `at` when the bytes in hand hold them all.
    const uint8_t* in_cache(uint64_t at, size_t length) const
    {
        return at >= cache_at_ && at - cache_at_ <= cache_len_ && length <= cache_len_ - (at - cache_at_)
                   ? data_ + (at - cache_at_)
                   : nullptr;
    }
    // The same operations when the bytes must be fetched first.
    bool copy_through(uint64_t at, void* out, size_t length);
    bool equals_through(uint64_t at, std::string_view text);
    const uint8_t* window_through(uint64_t at, size_t wanted, size_t& got);
    bool fill(uint64_t at);
    // Waits while paused; true when the walk must end.
    bool stopped() const;

    byte_source& source_;
    uint64_t start_;
    uint64_t limit_;
    bool within_source_; // every byte below the limit exists
    bool ok_ = true;
    int32_t* paused_ = nullptr;
    int32_t* stop_ = nullptr;
    std::unique_ptr<uint8_t[]> cache_; // made at the first copy
    const uint8_t* data_ = nullptr;    // the bytes from cache_at_ on: in place or cache_
    uint64_t cache_at_ = 0;
    size_t cache_len_ = 0;
    size_t fill_size_ = 4096;
};

} // namespace libcarve
