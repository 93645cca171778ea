// The scanned device as a sequence of large aligned blocks, read ahead by a
// thread of its own while the current block is tested. Walkers read any
// offset: blocks in hand come from memory, farther ones from a second handle.
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

class device_stream final : public byte_source {
public:
    static constexpr size_t block_size = 4u << 20;
    static constexpr size_t blocks_in_hand = 4;
    static constexpr uint64_t unknown_size = UINT64_MAX;

    device_stream() = default;
    ~device_stream() override;
    device_stream(const device_stream&) = delete;
    device_stream& operator=(const device_stream&) = delete;

    // Opens the device and starts reading ahead; false if it cannot be read.
    bool open(const std::string& path);
    uint64_t size() const { return size_; }

    // Block `index`, which becomes the oldest block kept; null past the end.
    const uint8_t* block(uint64_t index, size_t& length);
    size_t read(uint64_t offset, void* out, size_t length) override;

private:
    struct slot {
        uint8_t* data = nullptr;
        uint64_t block = UINT64_MAX;
        size_t length = 0;
        bool loading = false;
    };
    struct aligned_free { void operator()(uint8_t* p) const; };

    void read_ahead();
    // Reads block `index` into `data` (without the lock); its length.
    size_t load(platform::device::handle* h, uint64_t index, uint8_t* data);
    // Under the lock: the slot now holds block `index`.
    void loaded(slot& s, uint64_t index, size_t length);
    // The scan thread's own handle, for blocks it reads itself and far reads.
    platform::device::handle* own_handle();
    // Waits until block `index` is in its slot; null when the device ends first.
    const slot* wait_for(uint64_t index, std::unique_lock<std::mutex>& lock);
    size_t read_far(uint64_t offset, void* out, size_t length);

    platform::device::handle* sequential_ = nullptr;
    platform::device::handle* random_ = nullptr; // used by the scan thread only
    std::string path_;
    uint64_t size_ = unknown_size;

    std::vector<std::unique_ptr<uint8_t, aligned_free>> buffers_;
    std::vector<slot> slots_;
    std::mutex mutex_;
    std::condition_variable changed_;
    uint64_t first_ = 0;          // oldest block kept
    uint64_t next_ = 0;           // next block to read ahead
    uint64_t end_ = UINT64_MAX;   // first block past the device
    bool quit_ = false;
    std::thread thread_;

    std::unique_ptr<uint8_t, aligned_free> far_;
    uint64_t far_at_ = 0;
    size_t far_length_ = 0;
};

} // namespace libcarve
