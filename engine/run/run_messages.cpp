#include "engine/run/run_messages.h"

#include "engine/actions/action_support.h"
#include "engine/run/run_block.h"
#include "foundation/sync_task.h"
#include "platform/core/window.h"
#include "resources/sync_messages.h"

HWND RunMainWindow(const SyncRunBlock& run) { return run.task ? run.task->startThread : nullptr; }

bool StopPressedIn(HWND taskWindow) { return taskWindow && SendMessage(taskWindow, WM_SYNC_QUERY_STOP, 0, 0) != 0; }

void SendWindowLine(HWND window, const char* text, LPARAM where) {
    if (window) SendMessage(window, WM_SYNC_LOG_LINE, reinterpret_cast<WPARAM>(text), where);
}

void SendTaskLine(const SyncRunBlock& run, const std::string& text, LPARAM where) {
    SendWindowLine(TaskWindowOf(run), text.c_str(), where);
}

void SendMainWindowLine(const SyncRunBlock& run, const std::string& text, LPARAM kind) {
    if (const HWND window = RunMainWindow(run)) {
        SendMessage(window, WM_SYNC_LOG_LINE, reinterpret_cast<WPARAM>(text.c_str()), kind);
    }
}
