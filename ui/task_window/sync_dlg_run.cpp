// A task window's runs: the start and its refusals, Stop, the engine's progress and line
// messages while the run goes on, and the way back to rest at its end.
#include <QString>
#include <algorithm>

#include "controls/static_control.h"
#include "controls/text_progress_bar.h"
#include "engine/model/file_info.h"
#include "engine/run/run_log.h"
#include "engine/run/run_messages.h"
#include "foundation/file_utils.h"
#include "foundation/history_record.h"
#include "foundation/history_store.h"
#include "foundation/resource_strings.h"
#include "foundation/script_table.h"
#include "foundation/sync_task.h"
#include "foundation/task_paths.h"
#include "foundation/task_store.h"
#include "foundation/text_utils.h"
#include "platform/core/file_system.h"
#include "platform/core/message_box.h"
#include "platform/core/text.h"
#include "resources/sync_messages.h"
#include "ui/task_window/run_paint_pace.h"
#include "ui/task_window/sync_dlg.h"
#include "ui/task_window/wait_cursor.h"

namespace {

// The folder range of the item bar, in percent.
constexpr LPARAM kPercentRange = MAKELONG(0, 100);

// Left and Right are one folder: the same text once "." and ".." parts and doubled
// separators are gone, or one file-system object (a link to the other, a second mount).
bool IsSameFolder(const std::wstring& left, const std::wstring& right) {
    if (left == right) return true;
    const std::string a = plat::WideToUtf8(left);
    const std::string b = plat::WideToUtf8(right);
    const std::string canonical = plat::CanonicalPath(a);
    if (!canonical.empty() && canonical == plat::CanonicalPath(b)) return true;
    return plat::IsSameFileObject(a, b);
}

// Sets the flag for the object's lifetime.
class FlagScope {
public:
    explicit FlagScope(bool& flag) : flag_(flag) { flag_ = true; }
    ~FlagScope() { flag_ = false; }
    FlagScope(const FlagScope&) = delete;
    FlagScope& operator=(const FlagScope&) = delete;

private:
    bool& flag_;
};

}  // namespace

void CSyncDlg::MapRunMessages() {
    MapMessage(WM_SYNC_START, &CSyncDlg::OnStart);
    MapMessage(WM_SYNC_STOP, &CSyncDlg::OnStop);
    MapMessage(WM_SYNC_QUERY_STOP, &CSyncDlg::OnQueryStop);
    MapMessage(WM_SYNC_PROGRESS, &CSyncDlg::OnProgress);
    MapMessage(WM_SYNC_PROGRESS_POS, &CSyncDlg::OnProgressPos);
    MapMessage(WM_SYNC_PROGRESS_TEXT, &CSyncDlg::OnProgressText);
    MapMessage(WM_SYNC_COPY_BEGIN, &CSyncDlg::OnCopyBegin);
    MapMessage(WM_SYNC_COPY_SIZE, &CSyncDlg::OnCopySize);
    MapMessage(WM_SYNC_COPY_BYTES, &CSyncDlg::OnCopyBytes);
    MapMessage(WM_SYNC_LOG_LINE, &CSyncDlg::OnLogLine);
    MapMessage(WM_SYNC_LOG_LINE_W, &CSyncDlg::OnLogLineW);
    MapMessage(WM_SYNC_ITEM_DONE, &CSyncDlg::OnItemDone);
    MapMessage(WM_SYNC_AFTER_RUN, &CSyncDlg::OnAfterRun);
    MapMessage(WM_SYNC_CHECK_REFRESH, &CSyncDlg::OnCheckRefresh);
}

// ---------------------------------------------------------------- reports

void CSyncDlg::SendCaption(const std::string& text, COLORREF colour) {
    SendMessage(mainFrame_, WM_SYNC_LOG_LINE, reinterpret_cast<WPARAM>(text.c_str()), static_cast<LPARAM>(colour));
}

bool CSyncDlg::IsShownTask() const { return !parentWidget() || !isHidden(); }

void CSyncDlg::ShowCurrentHint() {
    // A start under way sends its own tips.
    if (running_ || starting_ || !IsShownTask()) return;
    const CaptionHint hint = CurrentHint();
    SendCaption(hint.text, hint.colour);
}

CSyncDlg::CaptionHint CSyncDlg::CurrentHint() const {
    if (running_ && runTip_ != 0) return {LoadResString(runTip_), kLogBlack};
    for (int side = 0; side < 2; ++side) {
        if (folderText_[static_cast<size_t>(side)].empty()) {
            return {LoadResString(side == 0 ? IDS_SPECIFY_LEFT_FOLDER : IDS_SPECIFY_RIGHT_FOLDER), kLogBlack};
        }
    }
    const bool syncPending = task_ && task_->runFacts.Get().needsAttention != 0;
    return {LoadResString(syncPending ? IDS_SYNC_HINT : IDS_CHECK_HINT), kLogBlack};
}

void CSyncDlg::ReportRefusal(const std::string& text, bool byUser) {
    if (byUser) {
        SendCaption(text, kLogRed);
    } else {
        AddDialogLogLine(*task_, text, kLogRed);
    }
}

void CSyncDlg::ReportBusy(bool byUser) {
    const std::string text = FormatString(LoadResString(IDS_BUSY_TRY_LATER).c_str(), task_->name.c_str());
    if (byUser) {
        MessageBox(GetSafeHwnd(), text, LoadResString(IDS_APP_TITLE), MB_OK | MB_ICONEXCLAMATION);
    } else {
        AddDialogLogLine(*task_, text, kLogRed);
    }
}

void CSyncDlg::SetStatusLine(const std::string& text) {
    // The bar repaints at once when its text changes.
    if (statusLine_) statusLine_->SetWindowText(QString::fromStdString(text));
}

// ---------------------------------------------------------------- starting a run

LRESULT CSyncDlg::OnStart(WPARAM mode, LPARAM source) {
    if (!task_) return 0;
    const bool byUser = source == kStartedByUser;
    LRESULT started = 0;
    if (running_ || starting_) {
        ReportBusy(byUser);
    } else {
        const FlagScope starting(starting_);
        started = StartRun(mode, source);
    }
    // A scheduled start that did not take place must fall due again, not stay due.
    if (!started && source == kStartedByScheduler) EndTaskScriptRun(*task_, kScriptRunRefused);
    return started;
}

bool CSyncDlg::TakeFolderBoxes() {
    for (int side = 0; side < 2; ++side) {
        std::wstring& text = folderText_[static_cast<size_t>(side)];
        text = ReadFolderBox(side);
        std::vector<std::wstring>& history = folderHistory_[static_cast<size_t>(side)];
        if (!text.empty() && std::find(history.begin(), history.end(), text) == history.end()) {
            history.insert(history.begin(), text);
        }
    }
    for (int side = 0; side < 2; ++side) {
        if (folderText_[static_cast<size_t>(side)].empty()) {
            SendCaption(LoadResString(side == 0 ? IDS_SPECIFY_LEFT_FOLDER : IDS_SPECIFY_RIGHT_FOLDER), kLogRed);
            return false;
        }
    }
    return true;
}

LRESULT CSyncDlg::StartRun(WPARAM mode, LPARAM source) {
    const bool byUser = source == kStartedByUser;
    if (byUser) {
        if (!TakeFolderBoxes()) return 0;
        if (folderText_[0] != task_->leftFolder || folderText_[1] != task_->rightFolder) {
            // A run works on the task's folders: the boxes' texts become the task's first,
            // and the list of the old folders goes, so a Sync has nothing left to carry out.
            StoreAndReset();
            PostMessage(mainFrame_, WM_SYNC_TASK_CHANGED, static_cast<WPARAM>(taskRow_), 0);
            if (mode == kRunModeSync) {
                SendCaption(LoadResString(IDS_CHECK_HINT), kLogBlack);
                return 0;
            }
        }
    } else if (task_->leftFolder.empty() || task_->rightFolder.empty()) {
        // An unattended start runs on the stored folders, never on what the boxes hold.
        ReportRefusal(LoadResString(task_->leftFolder.empty() ? IDS_SPECIFY_LEFT_FOLDER : IDS_SPECIFY_RIGHT_FOLDER),
                      false);
        return 0;
    }

    BuildTaskDataPaths(*task_);
    const bool swapped = task_->swapped != 0;
    const std::wstring left = swapped ? task_->targetFolder : task_->sourceFolder;
    const std::wstring right = swapped ? task_->sourceFolder : task_->targetFolder;
    if (left.empty() || right.empty()) {
        // A folder that resolves to nothing (an unknown placeholder, a volume not there).
        const bool leftResolves = !ResolveTaskPathToken(task_->leftFolder).empty();
        const bool rightResolves = !ResolveTaskPathToken(task_->rightFolder).empty();
        const bool blameRight = leftResolves && !rightResolves;
        ReportRefusal(LoadResString(blameRight ? IDS_RIGHT_FOLDER_MISSING : IDS_LEFT_FOLDER_MISSING), byUser);
        return 0;
    }
    if (!MakeSureFolderExists(0, left, byUser) || !MakeSureFolderExists(1, right, byUser)) return 0;
    if (IsSameFolder(left, right)) {
        ReportRefusal(LoadResString(IDS_SAME_FOLDER), byUser);
        return 0;
    }

    EnableActionControls(false);
    // A Check replaces the trees; a Sync carries out the rows shown and updates them.
    if (mode != kRunModeSync) ClearItemList(TRUE);
    running_ = 1;
    stopRequested_ = 0;
    runPaint_->Begin(task_->logControl);
    if (byUser) SendMessage(mainFrame_, WM_SYNC_BUSY_STATE, 1, 0);

    // The source is the task's only once the start is accepted: a refused start must not
    // rewrite the source of a run under way.
    const DWORD previousSource = task_->startSource;
    task_->startSource = static_cast<DWORD>(source);
    runEnded_ = false;
    if (SendMessage(mainFrame_, WM_SYNC_RUN_TASK, reinterpret_cast<WPARAM>(task_), static_cast<LPARAM>(mode)) == 0) {
        task_->startSource = previousSource;
        // A run thread that could not start ended the task's busy state, which brought the
        // window to rest already; otherwise the task list holds the task busy.
        if (!runEnded_) {
            ReportBusy(byUser);
            ComeToRest();
        }
        return 0;
    }
    runTip_ = mode != kRunModeSync ? IDS_STOP_TO_CANCEL_TIP : IDS_STOP_TO_PAUSE_TIP;
    // A run that starts on its own in a tab out of view must not tell of a task not shown.
    if (IsShownTask()) SendCaption(LoadResString(runTip_), kLogBlack);
    return 1;
}

bool CSyncDlg::MakeSureFolderExists(int side, const std::wstring& resolved, bool byUser) {
    if (GetPathKindW(resolved) == kPathFolder) return true;
    const std::string missing = LoadResString(side == 0 ? IDS_LEFT_FOLDER_MISSING : IDS_RIGHT_FOLDER_MISSING);
    // Only the user may have a folder made: an unattended run must not bring back the
    // mount point of a disk that is not there as an empty folder and fill it.
    if (!byUser) {
        ReportRefusal(missing, false);
        return false;
    }
    const int answer =
        MessageBox(GetSafeHwnd(), LoadResString(side == 0 ? IDS_ASK_CREATE_LEFT_FOLDER : IDS_ASK_CREATE_RIGHT_FOLDER),
                   LoadResString(IDS_APP_TITLE), MB_YESNO | MB_ICONQUESTION);
    if (answer != IDYES) return false;
    if (CreateFolderTree(resolved) && GetPathKindW(resolved) == kPathFolder) return true;
    ReportRefusal(missing, true);
    return false;
}

// ---------------------------------------------------------------- Stop

LRESULT CSyncDlg::OnStop(WPARAM, LPARAM) {
    if (running_) stopRequested_ = 1;
    return 0;
}

LRESULT CSyncDlg::OnQueryStop(WPARAM, LPARAM) { return stopRequested_; }

// ---------------------------------------------------------------- following a run

LRESULT CSyncDlg::OnProgress(WPARAM total, LPARAM step) {
    if (itemProgress_) {
        itemProgress_->Message(PBM_SETRANGE, 0, kPercentRange);
        itemProgress_->Message(PBM_SETPOS, 0, 0);
        itemProgress_->Message(PBM_SETSTEP, 1, 0);
    }
    progressStep_ = step < 1 ? 1u : static_cast<UINT>(step);
    progressTotal_ = static_cast<UINT>(total);
    progressCount_ = 0;
    return 0;
}

LRESULT CSyncDlg::OnProgressPos(WPARAM done, LPARAM) {
    const auto percent =
        static_cast<UINT>(progressTotal_ == 0 ? done : static_cast<ULONGLONG>(done) * 100 / progressTotal_);
    if (percent == progressCount_) return 0;
    progressCount_ = percent;
    if (itemProgress_) itemProgress_->Message(PBM_SETPOS, percent, 0);  // repaints at once
    return 0;
}

LRESULT CSyncDlg::OnProgressText(WPARAM, LPARAM text) {
    ++progressCount_;
    if (progressCount_ % progressStep_ != 0) return 0;
    if (itemProgress_) itemProgress_->Message(PBM_STEPIT, 0, 0);
    if (text) SetStatusLine(reinterpret_cast<const char*>(text));
    return 0;
}

LRESULT CSyncDlg::OnCopyBegin(WPARAM, LPARAM) {
    if (statusLine_) {
        statusLine_->Message(PBM_SETSHOWTEXT, 1, 0);
        statusLine_->Message(PBM_SETPOS, 0, 0);
    }
    return 0;
}

LRESULT CSyncDlg::OnCopySize(WPARAM, LPARAM) {
    if (statusLine_) {
        statusLine_->Message(PBM_SETSHOWTEXT, 0, 0);
        statusLine_->Message(PBM_SETPOS, 0, 0);
    }
    return 0;
}

LRESULT CSyncDlg::OnCopyBytes(WPARAM percent, LPARAM) {
    if (statusLine_) statusLine_->Message(PBM_SETPOS, percent, 0);
    return 0;
}

LRESULT CSyncDlg::OnLogLine(WPARAM text, LPARAM where) {
    const char* line = text ? reinterpret_cast<const char*>(text) : "";
    if (where == kLeftLabel || where == kRightLabel) {
        if (CStatic* label = where == kLeftLabel ? leftLabel_ : rightLabel_) label->setText(QString::fromUtf8(line));
    } else {
        SetStatusLine(line);
    }
    return 1;
}

LRESULT CSyncDlg::OnLogLineW(WPARAM text, LPARAM) {
    const wchar_t* line = text ? reinterpret_cast<const wchar_t*>(text) : L"";
    if (statusLine_) statusLine_->SetWindowText(QString::fromWCharArray(line));
    return 1;
}

LRESULT CSyncDlg::OnItemDone(WPARAM record, LPARAM row) {
    auto* item = reinterpret_cast<CFileInfo*>(record);
    if (!item || row <= 0) return 1;
    const auto handle = static_cast<HTREEITEM>(row);
    if (!SetItemRow(*item, handle, FALSE)) return 1;
    // During a run the tree scrolls to the newest row when it next paints.
    if (runPaint_->IsRunning()) {
        runPaint_->ShowRow(handle);
    } else {
        itemTree_.EnsureVisible(handle);
    }
    return 1;
}

// ---------------------------------------------------------------- the end of a run

LRESULT CSyncDlg::OnAfterRun(WPARAM, LPARAM) {
    runEnded_ = true;
    if (itemProgress_) itemProgress_->Message(PBM_SETPOS, 0, 0);
    if (!running_) return 0;
    if (IsItemListEmpty()) {
        // The Check's new trees become rows once this message is over.
        PostMessage(GetSafeHwnd(), WM_SYNC_CHECK_REFRESH, 0, 0);
        return 0;
    }
    ComeToRest();
    return 0;
}

LRESULT CSyncDlg::OnCheckRefresh(WPARAM, LPARAM) {
    if (!running_) return 0;
    {
        WaitCursor wait;
        ClearItemList(FALSE);
        RebuildTaskItems();
        listChanged_ = 0;
    }
    ComeToRest();
    return 0;
}

void CSyncDlg::ComeToRest() {
    const bool syncPending = task_ && task_->runFacts.Get().needsAttention != 0;
    UINT hint = syncPending ? IDS_SYNC_HINT : IDS_CHECK_HINT;
    if (stopRequested_) {
        hint = syncPending ? IDS_RESUME_HINT : IDS_CHECK_HINT;
        stopRequested_ = 0;
    }
    if (IsShownTask()) SendCaption(LoadResString(hint), kLogBlack);
    runPaint_->End();
    EnableActionControls(true);
    running_ = 0;
    runTip_ = 0;
    SendMessage(mainFrame_, WM_SYNC_BUSY_STATE, 0, 0);
}

// ---------------------------------------------------------------- storing the folders

void CSyncDlg::StoreFolders() {
    task_->leftFolder = folderText_[0];
    task_->rightFolder = folderText_[1];
    const TaskWriteResult written = WriteTaskRecord(*task_);
    if (!written.written && !written.failure.empty()) {
        MessageBox(GetSafeHwnd(), written.failure, LoadResString(IDS_APP_TITLE), MB_OK | MB_ICONERROR);
    }
}

void CSyncDlg::StoreAndReset() {
    if (!task_) return;
    StoreFolders();
    AddHistoryRecord(*task_, kHistoryTaskChanged, kHistoryChangeFolders, kHistoryEventDone, "");
    // Trees of the old folders must never be carried out on the new ones, shown or not.
    if (!IsItemListEmpty() || task_->sourceItems || task_->targetItems) {
        ClearItemList(TRUE);
        SetStatusLine(LoadResString(IDS_CLEARED_BY_FOLDER_CHANGE));
    }
    // New folders: a Sync pending went with the list, a folder missing may be there now.
    ShowCurrentHint();
}
