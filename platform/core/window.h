#pragma once
// Message windows, thread message queues and timers, with the semantics the program's
// code is written against:
//
//  - A window is an object with a window procedure, an owning thread and a parent. Its
//    HWND is an opaque number looked up in a table: a message to a window that is gone
//    returns 0 and does nothing.
//  - SendMessage on the owning thread calls the procedure directly. From another thread
//    it queues the call to the owner and blocks until the procedure has returned; while
//    blocked, the caller still answers messages sent to its own windows, so two threads
//    sending to each other cannot deadlock.
//  - PostMessage and PostThreadMessage queue in order. A thread that runs a message loop
//    (GetMessage/DispatchMessage, or plat::RunMessageLoop) receives them.
//  - The GUI thread's queue is drained by the GUI toolkit's event loop through a wake-up
//    hook (SetQueueWakeHook), so nested loops keep answering.

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

namespace plat {

// What a window is to the message layer: the procedure that answers its messages.
// The object must outlive its HWND (DestroyWindow it before it goes).
class WindowProcedure {
public:
    virtual ~WindowProcedure() = default;
    virtual LRESULT WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) = 0;
};

// Creates a message window owned by the calling thread (which gets a message queue if it
// has none). `parent` may be null. WM_CREATE is not sent; WM_DESTROY is sent by DestroyWindow.
HWND CreateMessageWindow(WindowProcedure* procedure, HWND parent = nullptr);

// The owning thread of a window, or 0 when the handle is not a live window.
DWORD GetWindowThreadId(HWND hwnd);

// Gives the calling thread a message queue (threads that only post elsewhere need none).
void EnsureMessageQueue();

// Called by the owning thread's queue whenever a message is queued for it from any thread.
// The GUI side installs one for the GUI thread so its event loop drains the queue
// (ProcessPendingMessages) even inside modal loops. Passing an empty function removes it.
void SetQueueWakeHook(DWORD threadId, std::function<void()> hook);

// Handles every message waiting in the calling thread's queue (sent calls and posts)
// without blocking. Returns false when a WM_QUIT was taken from the queue (it is kept
// available for the loop that owns the thread: see QuitRequested).
bool ProcessPendingMessages();

// Runs GetMessage/DispatchMessage until WM_QUIT; returns the quit code.
int RunMessageLoop();

// Window timers fire as WM_TIMER (wParam = id) to the window; thread timers (hwnd null)
// as WM_TIMER thread messages. Both fire on the owning thread's loop only.
}  // namespace plat

BOOL DestroyWindow(HWND hwnd);
BOOL IsWindow(HWND hwnd);
HWND GetParent(HWND hwnd);
HWND SetParent(HWND hwnd, HWND newParent);

LRESULT SendMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
// Like SendMessage, but gives up after `timeoutMs` (returns FALSE and leaves *result untouched).
BOOL SendMessageTimeout(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT timeoutMs,
                        LRESULT* result);
BOOL PostMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
BOOL PostThreadMessage(DWORD threadId, UINT message, WPARAM wParam, LPARAM lParam);
// Sends to every child of `hwnd`, and their children when `deep` (depth first, in creation order).
void SendMessageToDescendants(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, bool deep = true);

BOOL GetMessage(MSG* msg, HWND hwnd, UINT filterMin, UINT filterMax);
inline constexpr UINT PM_NOREMOVE = 0;
inline constexpr UINT PM_REMOVE = 1;
BOOL PeekMessage(MSG* msg, HWND hwnd, UINT filterMin, UINT filterMax, UINT removeFlags);
LRESULT DispatchMessage(const MSG* msg);
void PostQuitMessage(int exitCode);

using TIMERPROC = void (*)(HWND, UINT, UINT_PTR, DWORD);
UINT_PTR SetTimer(HWND hwnd, UINT_PTR id, UINT elapseMs, TIMERPROC proc = nullptr);
BOOL KillTimer(HWND hwnd, UINT_PTR id);

DWORD GetCurrentThreadId();
DWORD GetTickCount();
ULONGLONG GetTickCount64();
void Sleep(DWORD ms);
