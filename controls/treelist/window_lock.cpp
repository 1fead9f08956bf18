#include "controls/treelist/window_lock.h"

void WindowLock::Lock() {
    std::unique_lock guard(mutex_);
    const auto self = std::this_thread::get_id();
    if (depth_ > 0 && owner_ == self) {
        ++depth_;
        return;
    }
    free_.wait(guard, [this] { return depth_ == 0; });
    owner_ = self;
    depth_ = 1;
}

void WindowLock::Unlock() {
    std::unique_lock guard(mutex_);
    if (depth_ == 0 || owner_ != std::this_thread::get_id()) return;
    if (--depth_ == 0) {
        owner_ = {};
        guard.unlock();
        free_.notify_one();
    }
}

int WindowLock::ReleaseAll() {
    std::unique_lock guard(mutex_);
    if (depth_ == 0 || owner_ != std::this_thread::get_id()) return 0;
    const int depth = depth_;
    depth_ = 0;
    owner_ = {};
    guard.unlock();
    free_.notify_one();
    return depth;
}

void WindowLock::Reacquire(int depth) {
    if (depth <= 0) return;
    std::unique_lock guard(mutex_);
    const auto self = std::this_thread::get_id();
    if (depth_ > 0 && owner_ == self) {
        depth_ += depth;
        return;
    }
    free_.wait(guard, [this] { return depth_ == 0; });
    owner_ = self;
    depth_ = depth;
}

bool WindowLock::HeldByCurrentThread() const {
    std::lock_guard guard(mutex_);
    return depth_ > 0 && owner_ == std::this_thread::get_id();
}
