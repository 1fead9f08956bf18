#include "engine/actions/action_support.h"

#include "engine/actions/file_as_checked.h"
#include "engine/actions/target_names.h"
#include "engine/model/file_info.h"
#include "engine/run/run_block.h"
#include "engine/run/run_log.h"
#include "engine/run/run_messages.h"
#include "foundation/options/log_options.h"
#include "foundation/options/sync_options.h"
#include "foundation/sync_task.h"
#include "platform/core/text.h"
#include "platform/core/window.h"
#include "resources/sync_messages.h"

bool IsLeftAloneByPasses(const ItemState& state) {
    return state.IsExcluded() || state.Has(ItemState::kResultMask | ItemState::kDeleted) || state.IsNoAction();
}

void MarkActionFailed(SyncRunBlock& run, CFileInfo& record, DWORD error) {
    record.state.Set(ItemState::kError);
    record.SetFailure(error);
    ++run.counters.errors;
}

HWND TaskWindowOf(const SyncRunBlock& run) { return run.task ? run.task->taskWindow : nullptr; }

DWORD CopySpeedOf(const SyncRunBlock& run) { return run.syncOptions ? run.syncOptions->speed : 0; }

bool SavesReplacedFiles(const SyncRunBlock& run) { return run.syncOptions && run.syncOptions->saveDelete == 1; }

void LogAction(SyncRunBlock& run, std::wstring_view text, COLORREF colour) {
    if (!run.logOptions || !run.logOptions->log) return;
    // A summary must still name what failed and why.
    if (colour != kLogRed && run.logOptions->logLevel != kLogDetailed) return;
    AddRunLogLineW(run, text, colour);
}

void ReportItemDone(const SyncRunBlock& run, CFileInfo& record) {
    const HWND window = TaskWindowOf(run);
    if (!window || record.treeItem == -1) return;
    SendMessage(window, WM_SYNC_ITEM_DONE, reinterpret_cast<WPARAM>(&record), static_cast<LPARAM>(record.treeItem));
}

void ReportProgress(const SyncRunBlock& run, DWORD counter) {
    if (const HWND window = TaskWindowOf(run)) SendMessage(window, WM_SYNC_PROGRESS_POS, counter, 0);
}

bool StopPressed(const SyncRunBlock& run) { return StopPressedIn(TaskWindowOf(run)); }

// Most items of a Sync need nothing done, and each question is a round trip to the GUI
// thread: unpaced, a Sync of a large tree in step would spend seconds asking.
bool StopPressedAfterItem(SyncRunBlock& run) { return TaskWindowOf(run) && run.passStopPace.Due() && StopPressed(run); }

int ActionErrorText(DWORD error, std::wstring& text) {
    switch (error) {
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS: text = L"(Error: Already Exists)"; return 0;
    case kErrorChangedSinceCheck: text = L"(Error: Changed since the Check)"; return 0;
    case kErrorNameNotHeld: text = L"(Error: The target cannot hold this name)"; return 0;
    case kErrorNameInOtherCase: text = L"(Error: The target holds this name in other case)"; return 0;
    case ERROR_FILE_TOO_LARGE: text = L"(Error: File too large for the target)"; return 0;
    case kErrorFileLocked: text = L"(File Locked)"; return 0;
    // What the file system says most often, in words rather than a number.
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND: text = L"(Error: Not Found)"; return 0;
    case ERROR_DIR_NOT_EMPTY: text = L"(Error: Folder not empty)"; return 0;
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION: text = L"(Error: File in use)"; return 0;
    case ERROR_FILENAME_EXCED_RANGE: text = L"(Error: Name too long)"; return 0;
    case ERROR_READ_FAULT:
    case ERROR_WRITE_FAULT: text = L"(Error: Input/output error)"; return 0;
    default: {
        std::string narrow;
        const int result = FormatCopyError(error, narrow);
        text = plat::Utf8ToWide(narrow);
        return result;
    }
    }
}

std::wstring ActionErrorText(DWORD error) {
    std::wstring text;
    ActionErrorText(error, text);
    return text;
}

std::wstring WithReason(std::wstring line, DWORD error) {
    if (error != ERROR_SUCCESS) line.append(L" ").append(ActionErrorText(error));
    return line;
}
