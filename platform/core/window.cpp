// The window table: creation, the parent tree, destruction and the walk over descendants.
#include "platform/core/window.h"

#include <algorithm>

#include "platform/core/detail/message_state.h"
#include "platform/core/errors.h"

using plat::detail::MessageState;
using plat::detail::State;
using plat::detail::WindowEntry;

namespace {

WindowEntry* FindWindowLocked(HWND hwnd) {
    auto& windows = State().windows;
    const auto it = windows.find(IdFromHwnd(hwnd));
    return it == windows.end() ? nullptr : &it->second;
}

void UnlinkFromParentLocked(std::uintptr_t id, WindowEntry& entry) {
    if (entry.parent == 0) return;
    auto& windows = State().windows;
    const auto parent = windows.find(entry.parent);
    if (parent != windows.end()) std::erase(parent->second.children, id);
    entry.parent = 0;
}

// Removes the entry; its children stay, without a parent. Sent calls still waiting for
// the window in its owner's queue are answered with 0, its posts and timers dropped.
void EraseWindowLocked(std::uintptr_t id) {
    MessageState& state = State();
    const auto it = state.windows.find(id);
    if (it == state.windows.end()) return;
    WindowEntry& entry = it->second;
    UnlinkFromParentLocked(id, entry);
    for (const std::uintptr_t child : entry.children) {
        const auto c = state.windows.find(child);
        if (c != state.windows.end()) c->second.parent = 0;
    }
    if (plat::detail::ThreadContext* owner = plat::detail::FindQueueLocked(entry.owner)) {
        const HWND hwnd = HwndFromId(id);
        std::erase_if(owner->sent, [hwnd](const auto& call) {
            if (call->hwnd != hwnd || call->function) return false;
            plat::detail::AbandonLocked(*call);
            return true;
        });
        std::erase_if(owner->posted, [hwnd](const MSG& msg) { return msg.hwnd == hwnd; });
    }
    plat::detail::RemoveTimersLocked(id);
    state.windows.erase(it);
}

LRESULT CallProcedure(plat::WindowProcedure* procedure, HWND hwnd, UINT message) {
    return procedure->WindowProc(hwnd, message, 0, 0);
}

// WM_DESTROY to the window while its children still exist (its handler may still talk to
// them), then the children (each the same way), then WM_NCDESTROY, then the handle goes.
void DestroyTree(std::uintptr_t id) {
    const HWND hwnd = HwndFromId(id);
    const DWORD self = GetCurrentThreadId();
    std::unique_lock lock(State().mutex);
    WindowEntry* entry = FindWindowLocked(hwnd);
    if (!entry || entry->destroying) return;
    entry->destroying = true;
    plat::WindowProcedure* const procedure = entry->procedure;
    lock.unlock();
    CallProcedure(procedure, hwnd, WM_DESTROY);
    lock.lock();

    // Children are taken one at a time: a handler may create or destroy windows.
    std::vector<std::uintptr_t> done;
    for (;;) {
        entry = FindWindowLocked(hwnd);
        if (!entry) return;
        const auto next = std::find_if(entry->children.begin(), entry->children.end(), [&](std::uintptr_t c) {
            return std::find(done.begin(), done.end(), c) == done.end();
        });
        if (next == entry->children.end()) break;
        const std::uintptr_t child = *next;
        done.push_back(child);
        WindowEntry& childEntry = State().windows.at(child);
        if (childEntry.owner != self) {
            // Another thread's child cannot be destroyed from here; it loses its parent.
            UnlinkFromParentLocked(child, childEntry);
            continue;
        }
        lock.unlock();
        DestroyTree(child);
        lock.lock();
    }

    lock.unlock();
    CallProcedure(procedure, hwnd, WM_NCDESTROY);
    lock.lock();
    EraseWindowLocked(id);
}

bool IsAncestorLocked(std::uintptr_t candidate, std::uintptr_t of) {
    const auto& windows = State().windows;
    for (std::uintptr_t cur = of; cur != 0;) {
        if (cur == candidate) return true;
        const auto it = windows.find(cur);
        if (it == windows.end()) break;
        cur = it->second.parent;
    }
    return false;
}

std::vector<HWND> ChildrenOf(HWND hwnd) {
    std::lock_guard lock(State().mutex);
    std::vector<HWND> children;
    if (const WindowEntry* entry = FindWindowLocked(hwnd)) {
        for (const std::uintptr_t id : entry->children) children.push_back(HwndFromId(id));
    }
    return children;
}

}  // namespace

namespace plat {

HWND CreateMessageWindow(WindowProcedure* procedure, HWND parent) {
    if (!procedure) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    const auto& thread = detail::CurrentThread();
    MessageState& state = State();
    std::lock_guard lock(state.mutex);
    WindowEntry* parentEntry = nullptr;
    if (parent) {
        parentEntry = FindWindowLocked(parent);
        if (!parentEntry) {
            SetLastError(ERROR_INVALID_WINDOW_HANDLE);
            return nullptr;
        }
    }
    detail::EnsureQueueLocked(*thread);
    const std::uintptr_t id = state.nextWindowId;
    state.nextWindowId += 4;
    WindowEntry entry;
    entry.procedure = procedure;
    entry.owner = thread->id;
    entry.parent = parent ? IdFromHwnd(parent) : 0;
    state.windows.emplace(id, std::move(entry));
    if (parentEntry) state.windows.at(IdFromHwnd(parent)).children.push_back(id);
    return HwndFromId(id);
}

DWORD GetWindowThreadId(HWND hwnd) {
    std::lock_guard lock(State().mutex);
    const WindowEntry* entry = FindWindowLocked(hwnd);
    return entry ? entry->owner : 0;
}

}  // namespace plat

namespace plat::detail {

void RemoveThreadWindowsLocked(DWORD threadId) {
    std::vector<std::uintptr_t> owned;
    for (const auto& [id, entry] : State().windows) {
        if (entry.owner == threadId) owned.push_back(id);
    }
    for (const std::uintptr_t id : owned) EraseWindowLocked(id);
}

}  // namespace plat::detail

BOOL DestroyWindow(HWND hwnd) {
    {
        std::lock_guard lock(State().mutex);
        const WindowEntry* entry = FindWindowLocked(hwnd);
        if (!entry) {
            SetLastError(ERROR_INVALID_WINDOW_HANDLE);
            return FALSE;
        }
        if (entry->owner != GetCurrentThreadId()) {
            SetLastError(ERROR_ACCESS_DENIED);
            return FALSE;
        }
        // A second DestroyWindow from a handler of the first has nothing left to do.
        if (entry->destroying) return TRUE;
    }
    DestroyTree(IdFromHwnd(hwnd));
    return TRUE;
}

BOOL IsWindow(HWND hwnd) {
    std::lock_guard lock(State().mutex);
    return FindWindowLocked(hwnd) ? TRUE : FALSE;
}

HWND GetParent(HWND hwnd) {
    std::lock_guard lock(State().mutex);
    const WindowEntry* entry = FindWindowLocked(hwnd);
    return entry && entry->parent ? HwndFromId(entry->parent) : nullptr;
}

HWND SetParent(HWND hwnd, HWND newParent) {
    std::lock_guard lock(State().mutex);
    WindowEntry* entry = FindWindowLocked(hwnd);
    const std::uintptr_t id = IdFromHwnd(hwnd);
    const std::uintptr_t parentId = IdFromHwnd(newParent);
    if (!entry || (newParent && !FindWindowLocked(newParent))) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return nullptr;
    }
    if (newParent && IsAncestorLocked(id, parentId)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    const HWND previous = entry->parent ? HwndFromId(entry->parent) : nullptr;
    if (entry->parent == parentId) return previous;
    UnlinkFromParentLocked(id, *entry);
    if (newParent) {
        entry->parent = parentId;
        State().windows.at(parentId).children.push_back(id);
    }
    return previous;
}

void SendMessageToDescendants(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, bool deep) {
    for (const HWND child : ChildrenOf(hwnd)) {
        SendMessage(child, message, wParam, lParam);
        if (deep) SendMessageToDescendants(child, message, wParam, lParam, true);
    }
}
