#include "libcarve/device_stream.h"

#include "platform/device.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include <sys/mman.h>

namespace libcarve {

namespace {

constexpr size_t far_chunk = 1u << 20;

constexpr size_t huge_page = 2u << 20;

// Block buffers on huge-page boundaries, with huge pages asked for: the
// kernel pins them far faster for unbuffered reads.
uint8_t* aligned_buffer(size_t size)
{
    const size_t alignment = size % huge_page == 0 ? huge_page : platform::transfer_alignment;
    auto* buffer = static_cast<uint8_t*>(std::aligned_alloc(alignment, size));
    if (buffer && alignment == huge_page)
        ::madvise(buffer, size, MADV_HUGEPAGE);
    return buffer;
}

// Volume length from the device; for a disk or an image file, the length of
// the file behind it. Unknown otherwise: the scan then runs until a read
// comes back empty.
uint64_t device_size(platform::device::handle* h, const std::string& path)
{
    platform::partition_information info;
    if (platform::device::partition_info(h, &info))
        return info.partition_length;
    const std::string backing = platform::device::backing_path(path);
    std::error_code error;
    const auto length = std::filesystem::file_size(backing.empty() ? path : backing, error);
    return error ? device_stream::unknown_size : uint64_t(length);
}

// Fills `buffer` from `offset`; the bytes read (short only at the end or on
// a read failure).
size_t read_at(platform::device::handle* h, uint64_t offset, uint8_t* buffer, size_t length)
{
    if (!platform::device::seek(h, offset))
        return 0;
    size_t total = 0;
    while (total < length) {
        uint32_t got = 0;
        if (!platform::device::read(h, buffer + total, uint32_t(length - total), &got) || got == 0)
            break;
        total += got;
    }
    return total;
}

} // namespace

void aligned_free::operator()(uint8_t* p) const { std::free(p); }

device_stream::~device_stream()
{
    {
        std::lock_guard lock(mutex_);
        quit_ = true;
    }
    changed_.notify_all();
    if (thread_.joinable())
        thread_.join();
    platform::device::close(sequential_);
    platform::device::close(own_);
}

bool device_stream::open(const std::string& path)
{
    using namespace platform::device;
    path_ = path;
    sequential_ = platform::device::open(path, generic_read, no_buffering);
    if (!sequential_)
        return false;
    size_ = device_size(sequential_, path);
    if (size_ != unknown_size)
        end_ = (size_ + block_size - 1) / block_size;
    for (size_t i = 0; i < blocks_in_hand; ++i) {
        buffers_.emplace_back(aligned_buffer(block_size));
        if (!buffers_.back())
            return false;
        slots_.push_back(slot{buffers_.back().get()});
    }
    thread_ = std::thread(&device_stream::read_ahead, this);
    return true;
}

size_t device_stream::load(platform::device::handle* h, uint64_t index, uint8_t* data)
{
    size_t wanted = block_size;
    if (size_ != unknown_size)
        wanted = size_t(std::min<uint64_t>(block_size, size_ - index * block_size));
    size_t got = h ? read_at(h, index * block_size, data, wanted) : 0;
    if (got < wanted && size_ != unknown_size) {
        // An unreadable stretch inside the device reads as zeros.
        std::memset(data + got, 0, wanted - got);
        got = wanted;
    }
    return got;
}

void device_stream::loaded(slot& s, uint64_t index, size_t length)
{
    s.loading = false;
    s.length = length;
    next_ = std::max(next_, index + 1);
    if (length < block_size && end_ > index + 1)
        end_ = length == 0 ? index : index + 1;
    changed_.notify_all();
}

void device_stream::read_ahead()
{
    std::unique_lock lock(mutex_);
    for (;;) {
        // Blocks the scan has already passed are never read.
        auto candidate = [&] { return std::max(next_, first_); };
        changed_.wait(lock, [&] {
            return quit_ || (candidate() < first_ + blocks_in_hand && candidate() < end_);
        });
        if (quit_)
            return;
        const uint64_t index = candidate();
        slot& s = slots_[index % blocks_in_hand];
        if (s.loading) {
            changed_.wait(lock, [&] { return quit_ || !s.loading; });
            continue;
        }
        if (s.block == index) { // the scan read it itself
            next_ = index + 1;
            continue;
        }
        s.block = index;
        s.loading = true;
        lock.unlock();
        const size_t length = load(sequential_, index, s.data);
        lock.lock();
        loaded(s, index, length);
    }
}

const device_stream::slot* device_stream::wait_for(uint64_t index, std::unique_lock<std::mutex>& lock,
                                                   bool scanning)
{
    slot& s = slots_[index % blocks_in_hand];
    for (;;) {
        if (index >= end_)
            return nullptr;
        if (s.loading) {
            changed_.wait(lock);
            continue;
        }
        if (s.block == index)
            return &s;
        if (!scanning) { // the read-ahead thread gets to it
            changed_.wait(lock);
            continue;
        }
        // Not started yet: reading it here beats waiting for the read-ahead
        // thread to be scheduled.
        s.block = index;
        s.loading = true;
        lock.unlock();
        const size_t length = load(own_handle(), index, s.data);
        lock.lock();
        loaded(s, index, length);
    }
}

platform::device::handle* device_stream::own_handle()
{
    if (!own_)
        own_ = platform::device::open(path_, platform::device::generic_read, platform::device::no_buffering);
    return own_;
}

const uint8_t* device_stream::block(uint64_t index, size_t& length)
{
    length = 0;
    std::unique_lock lock(mutex_);
    if (index >= end_)
        return nullptr;
    if (index > first_) {
        first_ = index;
        changed_.notify_all();
    }
    const slot* s = wait_for(index, lock, true);
    if (!s)
        return nullptr;
    length = s->length;
    return s->data;
}

size_t device_stream::read_in_hand(uint64_t offset, void* out, size_t length, bool& at_end)
{
    const uint64_t index = offset / block_size;
    const size_t inside = size_t(offset % block_size);
    std::unique_lock lock(mutex_);
    at_end = index >= end_;
    if (at_end || index < first_ || index >= first_ + blocks_in_hand)
        return 0;
    const slot* s = wait_for(index, lock, false);
    at_end = !s || inside >= s->length;
    if (at_end)
        return 0;
    const size_t got = std::min(length, s->length - inside);
    std::memcpy(out, s->data + inside, got);
    return got;
}

stream_reader::~stream_reader() { platform::device::close(handle_); }

size_t stream_reader::read(uint64_t offset, void* out, size_t length)
{
    auto* to = static_cast<uint8_t*>(out);
    size_t done = 0;
    while (done < length) {
        bool at_end = false;
        size_t got = stream_.read_in_hand(offset + done, to + done, length - done, at_end);
        if (at_end)
            break;
        if (got == 0)
            got = read_far(offset + done, to + done, length - done);
        if (got == 0)
            break;
        done += got;
    }
    return done;
}

size_t stream_reader::read_far(uint64_t offset, void* out, size_t length)
{
    if (!(offset >= far_at_ && offset < far_at_ + far_length_)) {
        if (!handle_)
            handle_ = platform::device::open(stream_.path(), platform::device::generic_read,
                                             platform::device::no_buffering);
        if (!far_)
            far_.reset(aligned_buffer(far_chunk));
        if (!handle_ || !far_)
            return 0;
        far_at_ = offset - offset % far_chunk;
        size_t wanted = far_chunk;
        const uint64_t size = stream_.size();
        if (size != device_stream::unknown_size)
            wanted = size_t(std::min<uint64_t>(far_chunk, size > far_at_ ? size - far_at_ : 0));
        far_length_ = read_at(handle_, far_at_, far_.get(), wanted);
        if (offset >= far_at_ + far_length_)
            return 0;
    }
    const size_t n = size_t(std::min<uint64_t>(length, far_at_ + far_length_ - offset));
    std::memcpy(out, far_.get() + (offset - far_at_), n);
    return n;
}

} // namespace libcarve
