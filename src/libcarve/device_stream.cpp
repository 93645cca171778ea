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
constexpr size_t far_first_read = 64u << 10;

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

// Block buffers outlive a scan for the next one: fresh memory costs more to
// touch the first time than the reads into it.
class kept_buffers {
public:
    static kept_buffers& instance()
    {
        static kept_buffers buffers;
        return buffers;
    }
    aligned_bytes take()
    {
        {
            std::lock_guard lock(mutex_);
            if (!kept_.empty()) {
                aligned_bytes b = std::move(kept_.back());
                kept_.pop_back();
                return b;
            }
        }
        return aligned_bytes(aligned_buffer(device_stream::block_size));
    }
    void give(aligned_bytes b)
    {
        std::lock_guard lock(mutex_);
        if (b && kept_.size() < device_stream::blocks_in_hand)
            kept_.push_back(std::move(b));
    }

private:
    std::mutex mutex_;
    std::vector<aligned_bytes> kept_;
};

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
    for (slot& s : slots_)
        kept_buffers::instance().give(std::move(s.data));
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
    // One buffer now, the others when walks lag behind enough to need them:
    // fresh memory costs more than the reads it would spare.
    slots_.resize(blocks_in_hand);
    slots_[0].data = kept_buffers::instance().take();
    if (!slots_[0].data)
        return false;
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
    if (length < block_size && end_ > index + 1)
        end_ = length == 0 ? index : index + 1;
    changed_.notify_all();
}

device_stream::slot* device_stream::holding(uint64_t index)
{
    for (slot& s : slots_)
        if (s.block == index)
            return &s;
    return nullptr;
}

device_stream::slot* device_stream::free_slot()
{
    // A buffer the scan has passed and no walk reads in place: one whose
    // walks are all settled, else a new one, else the newest block; the
    // oldest block with walks to come is kept for them longest.
    slot* best = nullptr;
    auto rank = [&](const slot& s) {
        if (s.data && (s.block == UINT64_MAX || s.block < keep_))
            return std::pair<int, uint64_t>{3, s.block + 1};
        if (!s.data)
            return std::pair<int, uint64_t>{2, 0};
        return std::pair<int, uint64_t>{s.block == keep_ ? 0 : 1, s.block};
    };
    for (slot& s : slots_) {
        const bool passed = s.block == UINT64_MAX || s.block < current_;
        if (!passed || s.loading || s.pins || s.unusable)
            continue;
        if (!best || rank(s) > rank(*best))
            best = &s;
    }
    if (best && !best->data) {
        best->data = kept_buffers::instance().take();
        if (!best->data) {
            best->unusable = true;
            return free_slot();
        }
    }
    return best;
}

bool device_stream::coming(uint64_t index) const
{
    return index >= current_ && index < current_ + blocks_in_hand && index < end_;
}

void device_stream::read_ahead()
{
    std::unique_lock lock(mutex_);
    for (;;) {
        slot* s = nullptr;
        changed_.wait(lock, [&] {
            if (quit_)
                return true;
            while (holding(next_)) // read by the scan itself, or already here
                ++next_;
            return coming(next_) && (s = free_slot()) != nullptr;
        });
        if (quit_)
            return;
        const uint64_t index = next_++;
        s->block = index;
        s->loading = true;
        lock.unlock();
        const size_t length = load(sequential_, index, s->data.get());
        lock.lock();
        loaded(*s, index, length);
    }
}

const device_stream::slot* device_stream::wait_for(uint64_t index, std::unique_lock<std::mutex>& lock)
{
    for (;;) {
        if (index >= end_)
            return nullptr;
        slot* s = holding(index);
        if (s && !s->loading)
            return s;
        if (s) {
            changed_.wait(lock);
            continue;
        }
        // Not started yet: reading it here beats waiting for the read-ahead
        // thread to be scheduled.
        s = free_slot();
        if (!s) {
            changed_.wait(lock);
            continue;
        }
        s->block = index;
        s->loading = true;
        lock.unlock();
        const size_t length = load(own_handle(), index, s->data.get());
        lock.lock();
        loaded(*s, index, length);
    }
}

platform::device::handle* device_stream::own_handle()
{
    if (!own_)
        own_ = platform::device::open(path_, platform::device::generic_read, platform::device::no_buffering);
    return own_;
}

const uint8_t* device_stream::block(uint64_t index, uint64_t keep, size_t& length)
{
    length = 0;
    std::unique_lock lock(mutex_);
    if (index >= end_)
        return nullptr;
    current_ = index;
    keep_ = keep;
    next_ = std::max(next_, index);
    changed_.notify_all();
    const slot* s = wait_for(index, lock);
    if (!s)
        return nullptr;
    length = s->length;
    return s->data.get();
}

const uint8_t* device_stream::in_hand(uint64_t offset, size_t& length, bool& at_end,
                                      std::vector<uint64_t>& pinned)
{
    length = 0;
    const uint64_t index = offset / block_size;
    const size_t inside = size_t(offset % block_size);
    std::unique_lock lock(mutex_);
    for (;;) {
        at_end = index >= end_;
        if (at_end)
            return nullptr;
        slot* s = holding(index);
        if (s && !s->loading) {
            at_end = inside >= s->length;
            if (at_end)
                return nullptr;
            if (std::find(pinned.begin(), pinned.end(), index) == pinned.end()) {
                ++s->pins;
                pinned.push_back(index);
            }
            length = s->length - inside;
            return s->data.get() + inside;
        }
        // Wait for a block on its way, unless this walk pins a block the
        // scan has passed: its slot may be what the reading waits for.
        const bool pins_passed = std::any_of(pinned.begin(), pinned.end(), [&](uint64_t b) { return b < current_; });
        if (!(s || coming(index)) || pins_passed)
            return nullptr;
        changed_.wait(lock);
    }
}

void device_stream::unpin(std::vector<uint64_t>& pinned)
{
    if (pinned.empty())
        return;
    {
        std::lock_guard lock(mutex_);
        for (const uint64_t b : pinned)
            --holding(b)->pins;
    }
    pinned.clear();
    changed_.notify_all();
}

stream_reader::~stream_reader()
{
    end_walk();
    platform::device::close(handle_);
}

size_t stream_reader::read(uint64_t offset, void* out, size_t length)
{
    auto* to = static_cast<uint8_t*>(out);
    size_t done = 0;
    while (done < length) {
        bool at_end = false;
        size_t got = 0;
        if (const uint8_t* p = stream_.in_hand(offset + done, got, at_end, pinned_)) {
            got = std::min(got, length - done);
            std::memcpy(to + done, p, got);
        } else if (at_end) {
            break;
        } else {
            got = read_far(offset + done, to + done, length - done);
        }
        if (got == 0)
            break;
        done += got;
    }
    return done;
}

const uint8_t* stream_reader::view(uint64_t offset, size_t& length)
{
    bool at_end = false;
    return stream_.in_hand(offset, length, at_end, pinned_);
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
        // Small reads for a hop, growing while a walk reads on.
        const uint64_t at = offset - offset % platform::transfer_alignment;
        const bool reading_on = far_length_ > 0 && at == far_at_ + far_length_;
        far_size_ = reading_on ? std::min(far_size_ * 2, far_chunk) : far_first_read;
        far_at_ = at;
        size_t wanted = far_size_;
        const uint64_t size = stream_.size();
        if (size != device_stream::unknown_size)
            wanted = size_t(std::min<uint64_t>(wanted, size > far_at_ ? size - far_at_ : 0));
        far_length_ = read_at(handle_, far_at_, far_.get(), wanted);
        if (offset >= far_at_ + far_length_)
            return 0;
    }
    const size_t n = size_t(std::min<uint64_t>(length, far_at_ + far_length_ - offset));
    std::memcpy(out, far_.get() + (offset - far_at_), n);
    return n;
}

} // namespace libcarve
