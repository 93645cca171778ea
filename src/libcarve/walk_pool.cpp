#include "libcarve/walk_pool.h"

namespace libcarve {

walk_pool::walk_pool(device_stream& stream)
    : own_(stream), helper_reader_(stream), helper_(&walk_pool::help, this)
{
}

walk_pool::~walk_pool()
{
    {
        std::lock_guard lock(mutex_);
        quit_ = true;
    }
    changed_.notify_all();
    helper_.join();
}

bool walk_pool::done(size_t index) const
{
    return std::atomic_ref<uint8_t>(const_cast<uint8_t&>(done_[index])).load(std::memory_order_acquire) != 0;
}

void walk_pool::take_walks(byte_source& device, const std::function<void()>* settle)
{
    for (size_t i; (i = next_.fetch_add(1, std::memory_order_relaxed)) < count_;) {
        (*walk_)(i, device);
        std::atomic_ref<uint8_t>(done_[i]).store(1, std::memory_order_release);
        if (settle)
            (*settle)();
    }
}

void walk_pool::run(size_t count, const work& walk, const std::function<void()>& settle)
{
    {
        std::lock_guard lock(mutex_);
        walk_ = &walk;
        count_ = count;
        next_.store(0, std::memory_order_relaxed);
        done_.assign(count, 0);
        // A single walk is not worth waking the helper for.
        helping_ = count > 1;
        if (helping_)
            ++run_number_;
    }
    changed_.notify_all();
    take_walks(own_, &settle);
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [&] { return !helping_; });
    lock.unlock();
    settle();
}

void walk_pool::help()
{
    std::unique_lock lock(mutex_);
    uint64_t seen = 0;
    for (;;) {
        changed_.wait(lock, [&] { return quit_ || run_number_ != seen; });
        if (quit_)
            return;
        seen = run_number_;
        lock.unlock();
        take_walks(helper_reader_, nullptr);
        lock.lock();
        helping_ = false;
        changed_.notify_all();
    }
}

} // namespace libcarve
