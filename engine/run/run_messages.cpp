#include "engine/run/run_messages.h"

#include "engine/actions/action_support.h"
#include "engine/run/run_block.h"
#include "foundation/sync_task.h"
#include "platform/core/window.h"
#include "resources/sync_messages.h"

HWND RunMainWindow(const SyncRunBlock& run) { return run.task ? run.task->startThread : nullptr; }

void SendTaskLine(const SyncRunBlock& run, const std::string& text, LPARAM where) {
    if (const HWND window = TaskWindowOf(run)) {
        SendMessage(window, WM_SYNC_LOG_LINE, reinterpret_cast<WPARAM>(text.c_str()), where);
    }
}

void SendMainWindowLine(const SyncRunBlock& run, const std::string& text, LPARAM kind) {
    if (const HWND window = RunMainWindow(run)) {
        SendMessage(window, WM_SYNC_LOG_LINE, reinterpret_cast<WPARAM>(text.c_str()), kind);
    }
}
