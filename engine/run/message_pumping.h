#pragma once
// Waiting on the run's worker thread without blocking the windows it owns: a job runs on
// a helper thread while the calling thread keeps serving its sent and posted messages.

#include <functional>

// Runs `job` on a helper thread and serves the calling thread's messages until the job
// has ended; the helper thread has been joined when this returns. A quit message taken
// meanwhile is posted again afterwards, so the caller's own loop still ends, but only
// once the job is over (it may be using what the caller frees next). When no helper
// thread can be made, the job runs on the calling thread.
void RunPumpingMessages(const std::function<void()>& job);
