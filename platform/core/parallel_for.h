#pragma once
// Runs many small independent jobs on the calling thread and a few helper threads at once:
// the machine's cores, at most eight. When no helper can be started, the calling thread
// runs them all. Returns once every job has run.

#include <cstddef>
#include <functional>

namespace plat {

// Calls job(i) for every i below `count`, each once, in no fixed order and on any of the
// threads. `job` must be safe to run on several threads at once, and must not throw.
void ParallelFor(std::size_t count, const std::function<void(std::size_t)>& job);

// The threads ParallelFor runs jobs on, the calling one included.
unsigned ParallelThreads();

}  // namespace plat
