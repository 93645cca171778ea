// The scanned device as a sequence of large aligned blocks, read ahead by a
// thread of its own while the current block is tested. Walkers read any
// offset through a `stream_reader` of their own: blocks in hand come from
// memory, pinned until the walk ends; others through the reader's own handle.
#pragma once

#include "libcarve/byte_source.h"

#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace platform::device { class handle; }

namespace libcarve {

struct aligned_free { void operator()(uint8_t* p) const; };
using aligned_bytes = std::unique_ptr<uint8_t, aligned_free>;

class device_stream {
public:
    static constexpr size_t block_size = 4u << 20;
    static constexpr size_t blocks_in_hand = 6;
    static constexpr uint64_t unknown_size = byte_source::unknown_size;

    device_stream() = default;
    ~device_stream();
    device_stream(const device_stream&) = delete;
    device_stream& operator=(const device_stream&) = delete;

    // Opens the device and starts reading ahead; false if it cannot be read.
    bool open(const std::string& path);
    uint64_t size() const { return size_; }

    const std::string& path() const { return path_; }

    // Block `index`; null past the end. Blocks before it stay in hand for
    // walkers while slots last, block `keep` (the oldest with walks to come)
    // the longest; none is let go while a walk pins it. Called by the
    // scanning thread only.
    const uint8_t* block(uint64_t index, uint64_t keep, size_t& length);
    // What blocks in hand hold at `offset`, in place, up to the end of its
    // block; null when the offset is not in hand. `at_end` tells the device
    // ends there. The block is pinned (once) and listed in `pinned` until
    // `unpin`. Waits for a block on its way only while that cannot hold up
    // its reading: never with a block pinned that the scan has passed.
    const uint8_t* in_hand(uint64_t offset, size_t& length, bool& at_end, std::vector<uint64_t>& pinned);
    void unpin(std::vector<uint64_t>& pinned);

private:
    struct slot {
        aligned_bytes data; // made when first needed
        bool unusable = false; // its buffer could not be made
        uint64_t block = UINT64_MAX;
        size_t length = 0;
        bool loading = false;
        int pins = 0; // walks reading the block in place
    };

    void read_ahead();
    // Reads block `index` into `data` (without the lock); its length.
    size_t load(platform::device::handle* h, uint64_t index, uint8_t* data);
    // Under the lock: the slot now holds block `index`.
    void loaded(slot& s, uint64_t index, size_t length);
    // Under the lock: the slot holding (or reading) block `index`, or null.
    slot* holding(uint64_t index);
    // Under the lock: a slot that may take a new block, or null.
    slot* free_slot();
    // Under the lock: block `index` will be read ahead without asking.
    bool coming(uint64_t index) const;
    // The scanning thread's own handle, for blocks it reads itself.
    platform::device::handle* own_handle();
    // For the scanning thread: waits until block `index` is in its slot,
    // reading it itself when not yet started; null when the device ends first.
    const slot* wait_for(uint64_t index, std::unique_lock<std::mutex>& lock);

    platform::device::handle* sequential_ = nullptr;
    platform::device::handle* own_ = nullptr; // used by the scanning thread only
    std::string path_;
    uint64_t size_ = unknown_size;

    std::vector<slot> slots_;
    std::mutex mutex_;
    std::condition_variable changed_;
    uint64_t current_ = 0;        // the block the scan tests
    uint64_t keep_ = 0;           // the oldest block with walks to come
    uint64_t next_ = 0;           // next block to read ahead
    uint64_t end_ = UINT64_MAX;   // first block past the device
    bool quit_ = false;
    std::thread thread_;
};

// One walking thread's view of the device.
class stream_reader final : public byte_source {
public:
    explicit stream_reader(device_stream& stream) : stream_(stream) {}
    ~stream_reader() override;
    stream_reader(const stream_reader&) = delete;
    stream_reader& operator=(const stream_reader&) = delete;

    size_t read(uint64_t offset, void* out, size_t length) override;
    uint64_t size() const override { return stream_.size(); }
    // Blocks in hand only, pinned until `end_walk`.
    const uint8_t* view(uint64_t offset, size_t& length) override;
    // The walk reading through this reader has ended.
    void end_walk() { stream_.unpin(pinned_); }

private:
    size_t read_far(uint64_t offset, void* out, size_t length);

    device_stream& stream_;
    std::vector<uint64_t> pinned_; // blocks this walk reads in place
    platform::device::handle* handle_ = nullptr; // opened at the first far read
    aligned_bytes far_;
    uint64_t far_at_ = 0;
    size_t far_length_ = 0;
    size_t far_size_ = 0; // of the next far read
};

} // namespace libcarve
