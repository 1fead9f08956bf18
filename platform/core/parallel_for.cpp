#include "platform/core/parallel_for.h"

#include <algorithm>
#include <atomic>
#include <list>
#include <thread>

#include "platform/core/thread.h"

namespace plat {

unsigned ParallelThreads() { return std::clamp(std::thread::hardware_concurrency(), 1u, 8u); }

void ParallelFor(std::size_t count, const std::function<void(std::size_t)>& job) {
    std::atomic<std::size_t> next{0};
    const auto work = [&] {
        for (std::size_t i = next++; i < count; i = next++) job(i);
    };
    std::list<WorkerThread> helpers;
    const std::size_t wanted = std::min<std::size_t>(ParallelThreads() - 1, count > 0 ? count - 1 : 0);
    for (std::size_t i = 0; i < wanted; ++i) {
        if (!helpers.emplace_back().Start(work)) {
            helpers.pop_back();
            break;
        }
    }
    work();
    for (WorkerThread& helper : helpers) helper.Join();
}

}  // namespace plat
