#include "libcarve/walk_queue.h"

namespace libcarve {

namespace {
constexpr int walker_count = 2;
}

walk_queue::walk_queue(device_stream& stream, walk w) : walk_(std::move(w))
{
    for (int i = 0; i < walker_count; ++i)
        walkers_.emplace_back(&walk_queue::run_walker, this, std::ref(stream));
}

walk_queue::~walk_queue()
{
    {
        std::lock_guard lock(mutex_);
        quit_ = true;
    }
    work_.notify_all();
    for (std::thread& t : walkers_)
        t.join();
}

void walk_queue::push(uint64_t offset)
{
    {
        std::lock_guard lock(mutex_);
        entries_.push_back({offset, {}});
    }
    work_.notify_one();
}

uint64_t walk_queue::oldest() const
{
    std::lock_guard lock(mutex_);
    return entries_.empty() ? UINT64_MAX : entries_.front().offset;
}

bool walk_queue::take(walked& out, bool wait)
{
    std::unique_lock lock(mutex_);
    if (wait)
        finished_.wait(lock, [&] { return entries_.empty() || entries_.front().done; });
    if (entries_.empty() || !entries_.front().done)
        return false;
    out = {entries_.front().offset, entries_.front().file};
    entries_.pop_front();
    ++taken_back_;
    return true;
}

void walk_queue::skip_below(uint64_t offset)
{
    std::lock_guard lock(mutex_);
    skip_below_ = offset;
}

void walk_queue::run_walker(device_stream& stream)
{
    stream_reader device(stream);
    std::unique_lock lock(mutex_);
    for (;;) {
        work_.wait(lock, [&] { return quit_ || next_ < taken_back_ + entries_.size(); });
        if (quit_)
            return;
        const uint64_t index = next_++;
        const uint64_t offset = entries_[index - taken_back_].offset;
        std::optional<found_file> file = found_file{};
        if (offset >= skip_below_) {
            lock.unlock();
            file = walk_(offset, device);
            device.end_walk();
            lock.lock();
        }
        // Entries are only taken back once done, so this one is still here.
        entry& e = entries_[index - taken_back_];
        e.file = file;
        e.done = true;
        finished_.notify_all();
    }
}

} // namespace libcarve
