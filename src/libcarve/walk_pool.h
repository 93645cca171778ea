// The scanning thread and one helper working through the candidates of a
// block together, each with a device reader of its own. Candidates are taken
// in order; the scanning thread settles finished ones in order as it goes.
#pragma once

#include "libcarve/device_stream.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace libcarve {

class walk_pool {
public:
    using work = std::function<void(size_t index, byte_source& device)>;

    explicit walk_pool(device_stream& stream);
    ~walk_pool();
    walk_pool(const walk_pool&) = delete;
    walk_pool& operator=(const walk_pool&) = delete;

    // Runs `walk` for every index below `count` on both threads and
    // `settle` on the calling thread after each of its own walks and once
    // at the end, when every walk is done.
    void run(size_t count, const work& walk, const std::function<void()>& settle);
    // True once the walk of `index` in the current run has finished.
    bool done(size_t index) const;

private:
    void take_walks(byte_source& device, const std::function<void()>* settle);
    void help();

    stream_reader own_;
    stream_reader helper_reader_;
    std::mutex mutex_;
    std::condition_variable changed_;
    const work* walk_ = nullptr;
    size_t count_ = 0;
    std::atomic<size_t> next_{0};
    std::vector<uint8_t> done_; // read and written through atomic_ref
    uint64_t run_number_ = 0;
    bool helping_ = false;
    bool quit_ = false;
    std::thread helper_;
};

} // namespace libcarve
