// Structure walks of candidate files, run by threads of their own while the
// scanning thread reads on. Candidates are walked in the order they come;
// the scanning thread takes them back, walked, in the same order.
#pragma once

#include "libcarve/carver.h"
#include "libcarve/device_stream.h"

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

namespace libcarve {

struct walked {
    uint64_t offset;
    std::optional<found_file> file; // none: the walk was cut short by a stop
};

class walk_queue {
public:
    // What a walk of the candidate at `offset` finds, reading the device
    // through `device`; none when a stop cut it short.
    using walk = std::function<std::optional<found_file>(uint64_t offset, byte_source& device)>;

    walk_queue(device_stream& stream, walk w);
    // Ends the walkers; walks still running end at the scan's stop flag.
    ~walk_queue();
    walk_queue(const walk_queue&) = delete;
    walk_queue& operator=(const walk_queue&) = delete;

    void push(uint64_t offset);
    // Offset of the oldest candidate not yet taken back.
    uint64_t oldest() const;
    // The oldest candidate, when its walk has finished (`wait`: once it has).
    bool take(walked& out, bool wait);
    // Candidates below `offset` lie inside a reported file: not walked.
    void skip_below(uint64_t offset);

private:
    struct entry {
        uint64_t offset;
        std::optional<found_file> file;
        bool done = false;
    };
    void run_walker(device_stream& stream);

    walk walk_;
    mutable std::mutex mutex_;
    std::condition_variable work_;     // a candidate to walk, or quit
    std::condition_variable finished_; // a walk finished
    std::deque<entry> entries_;
    uint64_t taken_back_ = 0; // entries removed from the front so far
    uint64_t next_ = 0;       // next entry to walk, counted from the first ever
    uint64_t skip_below_ = 0;
    bool quit_ = false;
    std::vector<std::thread> walkers_;
};

} // namespace libcarve
