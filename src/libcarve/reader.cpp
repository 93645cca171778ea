#include "libcarve/reader.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <thread>

namespace libcarve {

namespace {
constexpr size_t cache_size = 64 * 1024;
}

reader::reader(byte_source& source, uint64_t start, uint64_t limit)
    : source_(source), start_(start), limit_(limit),
      within_source_(source.size() != byte_source::unknown_size && start <= source.size() &&
                     limit <= source.size() - start)
{
}

bool reader::stopped() const
{
    auto flag = [](int32_t* f) { return f && std::atomic_ref<int32_t>(*f).load(std::memory_order_relaxed) != 0; };
    while (flag(paused_) && !flag(stop_))
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    return flag(stop_);
}

bool reader::fill(uint64_t at)
{
    if (stopped()) {
        cache_len_ = 0;
        return fail();
    }
    // Bytes the source holds in memory are used in place. Others are copied:
    // small first, growing while the walk reads on from where the last fill
    // ended, so header checks and hops through tables copy little and scans
    // of content copy in large runs.
    size_t in_place = 0;
    if (const uint8_t* p = source_.view(start_ + at, in_place)) {
        data_ = p;
        cache_at_ = at;
        cache_len_ = size_t(std::min<uint64_t>(in_place, limit_ - at));
        return true;
    }
    const uint64_t aligned = at - at % 4096;
    fill_size_ = aligned == cache_at_ + cache_len_ ? std::min(fill_size_ * 2, cache_size) : 4096;
    const size_t wanted = size_t(std::min<uint64_t>(fill_size_, limit_ - aligned));
    if (!cache_)
        cache_ = std::make_unique_for_overwrite<uint8_t[]>(cache_size);
    data_ = cache_.get();
    cache_at_ = aligned;
    cache_len_ = source_.read(start_ + aligned, cache_.get(), wanted);
    return at < cache_at_ + cache_len_;
}

const uint8_t* reader::window_through(uint64_t at, size_t wanted, size_t& got)
{
    got = 0;
    if (at >= limit_)
        return nullptr;
    if (!(at >= cache_at_ && at < cache_at_ + cache_len_) && !fill(at))
        return nullptr;
    got = size_t(std::min<uint64_t>({wanted, cache_at_ + cache_len_ - at, limit_ - at}));
    return data_ + (at - cache_at_);
}

bool reader::copy_through(uint64_t at, void* out, size_t length)
{
    auto* to = static_cast<uint8_t*>(out);
    if (at > limit_ || length > limit_ - at) {
        std::fill(to, to + length, 0);
        return fail();
    }
    while (length > 0) {
        size_t got = 0;
        const uint8_t* p = window(at, length, got);
        if (!p) {
            std::fill(to, to + length, 0);
            return fail();
        }
        std::copy(p, p + got, to);
        to += got;
        at += got;
        length -= got;
    }
    return true;
}

bool reader::has(uint64_t at, uint64_t length)
{
    if (at > limit_ || length > limit_ - at)
        return false;
    if (length == 0 || within_source_)
        return true;
    size_t got = 0;
    return window(at + length - 1, 1, got) != nullptr;
}

bool reader::equals_through(uint64_t at, std::string_view text)
{
    uint8_t buffer[64];
    if (text.size() > sizeof buffer)
        return false;
    const bool saved = ok_;
    const bool read = bytes(at, buffer, text.size());
    ok_ = saved;
    return read && std::equal(text.begin(), text.end(), buffer,
                              [](char a, uint8_t b) { return uint8_t(a) == b; });
}

uint16_t reader::le16(uint64_t at)
{
    uint8_t b[2];
    bytes(at, b, 2);
    return uint16_t(b[0] | b[1] << 8);
}

uint32_t reader::le32(uint64_t at)
{
    uint8_t b[4];
    bytes(at, b, 4);
    return uint32_t(b[0]) | uint32_t(b[1]) << 8 | uint32_t(b[2]) << 16 | uint32_t(b[3]) << 24;
}

uint64_t reader::le64(uint64_t at)
{
    return uint64_t(le32(at)) | uint64_t(le32(at + 4)) << 32;
}

uint16_t reader::be16(uint64_t at)
{
    uint8_t b[2];
    bytes(at, b, 2);
    return uint16_t(b[0] << 8 | b[1]);
}

uint32_t reader::be32(uint64_t at)
{
    uint8_t b[4];
    bytes(at, b, 4);
    return uint32_t(b[0]) << 24 | uint32_t(b[1]) << 16 | uint32_t(b[2]) << 8 | uint32_t(b[3]);
}

uint64_t reader::be64(uint64_t at)
{
    return uint64_t(be32(at)) << 32 | be32(at + 4);
}

uint64_t reader::find(uint64_t from, std::string_view needle, uint64_t to)
{
    to = std::min(to, limit_);
    if (needle.empty() || from >= to || needle.size() > to - from)
        return npos;
    const size_t n = needle.size();
    uint8_t carry[64];
    if (n > sizeof carry)
        return npos;
    // Scan window by window; the last n-1 bytes of one window are kept so a
    // match across the edge is still seen.
    uint64_t at = from;
    while (at + n <= to) {
        size_t got = 0;
        const uint8_t* p = window(at, size_t(std::min<uint64_t>(to - at, cache_size)), got);
        if (!p)
            return npos;
        if (got >= n) {
            const auto* end = p + got;
            const auto* hit = std::search(p, end, needle.begin(), needle.end(),
                                          [](uint8_t a, char b) { return a == uint8_t(b); });
            if (hit != end)
                return at + uint64_t(hit - p);
            at += got - (n - 1);
        } else {
            // Too few bytes left in this window: compare directly.
            const bool saved = ok_;
            if (bytes(at, carry, n) &&
                std::equal(needle.begin(), needle.end(), carry,
                           [](char a, uint8_t b) { return uint8_t(a) == b; })) {
                ok_ = saved;
                return at;
            }
            ok_ = saved;
            ++at;
        }
    }
    return npos;
}

} // namespace libcarve
