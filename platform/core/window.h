#pragma once
// Message windows, thread message queues and timers, with the semantics the program's
// code is written against:
//
//  - A window is an object with a window procedure, an owning thread and a parent. Its
//    HWND is an opaque number looked up in a table (numbers are never reused): a message
//    to a window that is gone returns 0 and does nothing.
//  - SendMessage on the owning thread calls the procedure directly. From another thread
//    it queues the call to the owner and blocks until the procedure has returned; while
//    blocked, the caller still answers messages sent to its own windows, so two threads
//    sending to each other cannot deadlock. A send whose window is destroyed, or whose
//    owning thread ends, before it is answered returns 0.
//  - PostMessage and PostThreadMessage queue in order. A thread that runs a message loop
//    (GetMessage/DispatchMessage, or plat::RunMessageLoop) receives them. Sent calls are
//    served before posted messages, posted messages before WM_QUIT, WM_QUIT before timers.
//  - The GUI thread's queue is drained by the GUI toolkit's event loop through a wake-up
//    hook (SetQueueWakeHook), so nested loops keep answering.
//  - A thread's queue, windows and timers go when the thread ends.

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>

#include "platform/core/win_types.h"

struct MSG {
    HWND hwnd = nullptr;
    UINT message = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
    DWORD time = 0;
};

inline constexpr DWORD ERROR_INVALID_WINDOW_HANDLE = 1400;
inline constexpr DWORD ERROR_INVALID_THREAD_ID = 1444;

namespace plat {

// What a window is to the message layer: the procedure that answers its messages.
// The object must outlive its HWND (DestroyWindow it before it goes).
class WindowProcedure {
public:
    virtual ~WindowProcedure() = default;
    virtual LRESULT WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) = 0;
};

// Creates a message window owned by the calling thread (which gets a message queue if it
// has none). `parent` may be null; a parent that is not a window makes the creation fail
// (null). WM_CREATE is not sent; WM_DESTROY is sent by DestroyWindow.
HWND CreateMessageWindow(WindowProcedure* procedure, HWND parent = nullptr);

// The owning thread of a window, or 0 when the handle is not a live window.
DWORD GetWindowThreadId(HWND hwnd);

// Gives the calling thread a message queue (threads that only post elsewhere need none).
void EnsureMessageQueue();

// Called (with no lock held, on the queuing thread) when something is queued for the
// thread: a sent call, a post, a quit, or a timer set on that thread. Calls are coalesced:
// after one call the hook is not called again until the thread has looked at its queue.
// The GUI side installs one for the GUI thread so its event loop drains the queue
// (ProcessPendingMessages) even inside modal loops. Passing an empty function removes it.
void SetQueueWakeHook(DWORD threadId, std::function<void()> hook);

// Handles, without blocking, the sent calls and the posts that were waiting when it was
// called, and the timers that are due. Returns false when WM_QUIT was taken from the
// queue; `quitCode` (when given) then receives its code.
bool ProcessPendingMessages(int* quitCode = nullptr);

// Serves the calls other threads send to the calling thread as they come, as long as each
// comes within a few dozen microseconds of the last, for at most `limit`; true when it
// served any. A GUI loop that has just answered a worker calls it, so a worker that sends
// message after message is answered without a trip through the loop for each.
bool ServeSentCallsAsTheyCome(std::chrono::microseconds limit);
// How many calls were ever sent to the calling thread from other threads.
std::uint64_t SentCallCount();

// Milliseconds until the calling thread's next timer is due (0 when one is due now), or
// INFINITE when the thread has no timer. A GUI loop arms its own timer with it.
DWORD TimeToNextTimer();

// Runs GetMessage/DispatchMessage until WM_QUIT; returns the quit code.
int RunMessageLoop();

// Runs `call` on the thread `threadId` the way SendMessage runs a window procedure: served
// by that thread's loop before its posts, while the caller waits and keeps answering its
// own sent messages. Runs at once when `threadId` is the caller. Returns the call's result,
// or 0 without running it when the thread has no queue or ends first.
LRESULT CallOnThread(DWORD threadId, std::function<LRESULT()> call, bool* ran = nullptr);

}  // namespace plat

// Destroys the window and its children (WM_DESTROY to a window before its children,
// WM_NCDESTROY after them). Only the owning thread may destroy a window, so a child owned
// by another thread is not destroyed with its parent: it is left without a parent.
BOOL DestroyWindow(HWND hwnd);
BOOL IsWindow(HWND hwnd);
HWND GetParent(HWND hwnd);
// Returns the previous parent, or null on failure (not a window, or a loop).
HWND SetParent(HWND hwnd, HWND newParent);

LRESULT SendMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
// Like SendMessage, but gives up after `timeoutMs` (returns FALSE and leaves *result untouched).
BOOL SendMessageTimeout(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT timeoutMs, LRESULT* result);
// A null hwnd posts a thread message to the calling thread.
BOOL PostMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
BOOL PostThreadMessage(DWORD threadId, UINT message, WPARAM wParam, LPARAM lParam);
// Sends to every child of `hwnd`, and their children when `deep` (depth first, in creation order).
void SendMessageToDescendants(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, bool deep = true);

// `hwnd` filters: null takes every message of the thread, HWND_THREAD_MESSAGES only thread
// messages, a window only that window's. filterMin = filterMax = 0 takes every number;
// WM_QUIT is taken whatever the filter. Returns 0 for WM_QUIT, -1 for a bad filter window.
inline const HWND HWND_THREAD_MESSAGES = HwndFromId(static_cast<std::uintptr_t>(-1));
BOOL GetMessage(MSG* msg, HWND hwnd, UINT filterMin, UINT filterMax);
inline constexpr UINT PM_NOREMOVE = 0;
inline constexpr UINT PM_REMOVE = 1;
BOOL PeekMessage(MSG* msg, HWND hwnd, UINT filterMin, UINT filterMax, UINT removeFlags);
// Calls the procedure of the message's window (owned by the calling thread), or the timer
// procedure of a WM_TIMER that carries one. Thread messages are not dispatched.
LRESULT DispatchMessage(const MSG* msg);
void PostQuitMessage(int exitCode);

// Window timers fire as WM_TIMER (wParam = id) to the window, and only the owning thread
// may set them. A null hwnd sets a thread timer: the id given is used only to replace a
// timer of the calling thread; otherwise a new program-wide unique id is returned. Both
// fire on the owning thread's loop only, at most one WM_TIMER per timer at a time, and
// go when their window is destroyed or their thread ends. Returns 0 on failure.
using TIMERPROC = void (*)(HWND, UINT, UINT_PTR, DWORD);
UINT_PTR SetTimer(HWND hwnd, UINT_PTR id, UINT elapseMs, TIMERPROC proc = nullptr);
BOOL KillTimer(HWND hwnd, UINT_PTR id);

// Small stable numbers, one per thread, never 0.
DWORD GetCurrentThreadId();
DWORD GetTickCount();
ULONGLONG GetTickCount64();
void Sleep(DWORD ms);
DWORD SleepEx(DWORD ms, BOOL alertable);
