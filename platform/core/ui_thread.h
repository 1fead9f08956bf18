#pragma once
// A thread with a message queue and a message loop, in the manner of the framework's
// user-interface threads. A derived class maps thread messages to member handlers in its
// constructor, may override InitInstance and ExitInstance, and is started with Begin:
//
//   class RunThread : public plat::UiThread {
//   public:
//       RunThread() { MapThreadMessage(WM_SYNC_START_RUN, &RunThread::OnStartRun); }
//   private:
//       void OnStartRun(WPARAM task, LPARAM mode);
//   };
//   const plat::ThreadHandle run = plat::UiThread::Begin(std::make_unique<RunThread>());
//   ::PostThreadMessage(run.ThreadId(), WM_SYNC_START_RUN, task, mode);
//
// The loop runs until WM_QUIT; then ExitInstance runs and the object is deleted on its
// own thread (so its destructor may still kill the thread's timers), after which the
// thread's queue goes and its handle is signalled with ExitInstance's result.

#include <functional>
#include <memory>
#include <type_traits>
#include <unordered_map>

#include "platform/core/thread.h"
#include "platform/core/window.h"

namespace plat {

class UiThread {
public:
    virtual ~UiThread() = default;
    UiThread(const UiThread&) = delete;
    UiThread& operator=(const UiThread&) = delete;

    // Starts `thread` on a new thread, which owns the object from then on. Its queue
    // exists when Begin returns, so a message posted to it at once is never lost. Returns
    // an empty handle, and deletes the object, when no thread could be made.
    static ThreadHandle Begin(std::unique_ptr<UiThread> thread);

    DWORD ThreadId() const { return threadId_; }
    // Posts a thread message to this thread (::PostThreadMessage is the global one).
    BOOL PostThreadMessage(UINT message, WPARAM wParam, LPARAM lParam) const;

protected:
    UiThread() = default;

    // TRUE runs the message loop; FALSE goes straight to ExitInstance.
    virtual BOOL InitInstance() { return TRUE; }
    // The thread's exit code; by default the code of the WM_QUIT that ended the loop.
    virtual int ExitInstance() { return quitCode_; }
    // The message loop: thread messages go to the map, window messages to their windows.
    // Returns ExitInstance's result after WM_QUIT.
    virtual int Run();

    // Calls the mapped handler of a thread message; false when none is mapped.
    bool DispatchThreadMessage(const MSG& msg);

    template <class T>
    void MapThreadMessage(UINT message, void (T::*handler)(WPARAM, LPARAM)) {
        static_assert(std::is_base_of_v<UiThread, T>, "the handler's class must derive from UiThread");
        T* self = static_cast<T*>(this);
        messageMap_[message] = [self, handler](WPARAM w, LPARAM l) { (self->*handler)(w, l); };
    }

private:
    DWORD Main();

    std::unordered_map<UINT, std::function<void(WPARAM, LPARAM)>> messageMap_;
    DWORD threadId_ = 0;
    int quitCode_ = 0;
};

}  // namespace plat
