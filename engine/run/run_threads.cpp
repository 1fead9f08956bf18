#include "engine/run/run_threads.h"

#include <mutex>
#include <utility>

#include "engine/run/run_block.h"
#include "engine/run/run_driver.h"
#include "engine/run/run_log.h"
#include "engine/run/run_messages.h"
#include "foundation/folder_locks.h"
#include "foundation/history_store.h"
#include "foundation/program_state.h"
#include "foundation/resource_strings.h"
#include "foundation/script_table.h"
#include "foundation/shell_utils.h"
#include "foundation/sync_task.h"
#include "foundation/task_store.h"
#include "platform/core/clock.h"
#include "platform/core/text.h"
#include "platform/core/window.h"
#include "resources/sync_messages.h"

namespace {

constexpr bool kGlobalLocks = true;

struct AutoStartTimerHandler {
    std::mutex lock;
    std::function<void()> handler;
};

AutoStartTimerHandler& TimerHandler() {
    static AutoStartTimerHandler slot;
    return slot;
}

void ArmAutoStartTimer() {
    std::function<void()> handler;
    {
        const std::lock_guard<std::mutex> guard(TimerHandler().lock);
        handler = TimerHandler().handler;
    }
    if (handler) handler();
}

RunMode RunModeOf(const SyncRunBlock& run) {
    if (run.doCheck && run.doSync) return kRunModeCheckAndSync;
    return run.doCheck ? kRunModeCheck : kRunModeSync;
}

// A Check and Sync that ended in its Check (stopped, refused, held for the user) ran no
// Sync half: its summary speaks of the Check, and its trees wait for the user.
bool RanSyncHalf(const SyncRunBlock& run) { return run.syncHalfRan; }

DWORD NeedsAttention(const SyncRunBlock& run, const SyncTask& task) {
    if (!run.sourceTree && !run.targetTree) return 0;
    const RunCounters& c = run.counters;
    if (c.errors != 0 || c.conflicts != 0 || c.userNoAction != 0) return 1;
    if (StopPressedIn(task.taskWindow)) return 1;
    return RanSyncHalf(run) ? 0 : 1;
}

// A run whose record could not be stored did not end well, however its work went: a
// successful one ends with kRunRecordNotWritten, and says why in red in the task's log
// whether the task logs or not.
void TellRecordNotWritten(SyncRunBlock& run, const std::string& line) {
    AddRunLogLine(run, line, kLogRed);
    if (run.Result() == kRunSucceeded) run.SetResult(kRunRecordNotWritten);
}

void WriteLastRunFields(SyncRunBlock& run, SyncTask& task) {
    std::string reason;
    if (WriteTaskRunFields(task, RunModeOf(run), &reason) != TaskRunFieldsResult::Failed) return;
    const std::string text =
        plat::Format(LoadResString(IDS_TASK_FILE_WRITE_FAILED).c_str(), GetTaskListFilePath().c_str());
    SendTaskLine(run, text, kStatusLine);
    TellRecordNotWritten(run, text + ": " + reason + ".");
}

void SetLastRunStatus(SyncTask& task, DWORD status) {
    task.runFacts.Update([status](TaskRunFacts& facts) { facts.lastRunStatus = status; });
}

void WriteRunHistoryRecord(SyncRunBlock& run, SyncTask& task) {
    SetLastRunStatus(task, run.Result());
    const HistoryAppend appended = AddRunHistoryRecord(run.history.get(), task);
    if (!appended.setAside.empty()) AddRunLogLine(run, appended.SetAsideLine(), kLogRed);
    if (!appended.written) TellRecordNotWritten(run, appended.failure);
    SetLastRunStatus(task, run.Result());
}

// The state of the automatic start that began the run, when one did: 0 again after a
// refusal, 2 once the run is over.
void SetAutoStartState(SyncTask& task, DWORD state) {
    const DWORD source = task.startSource;
    task.runFacts.Update([source, state](TaskRunFacts& facts) {
        if (source == kStartedAtProgramStart) facts.startRunState = state;
        if (source == kStartedForDevice) facts.deviceRunState = state;
    });
}

}  // namespace

const plat::Event& RunStartGate() {
    static const plat::Event gate(false, true);
    return gate;
}

void IncrementRunningCount() {
    if (ProgramState().unattendedCounting) ++RunningTaskCount();
}

void DecrementRunningCount() {
    if (ProgramState().unattendedCounting) --RunningTaskCount();
}

void SetAutoStartTimerHandler(std::function<void()> handler) {
    const std::lock_guard<std::mutex> guard(TimerHandler().lock);
    TimerHandler().handler = std::move(handler);
}

CAddWizardThread::CAddWizardThread(CWorkQueue::ThreadStarter startWorker) : startWorker_(std::move(startWorker)) {
    MapThreadMessage(WM_SYNC_START_RUN, &CAddWizardThread::OnStartRun);
    MapThreadMessage(WM_SYNC_RUN_ENDED, &CAddWizardThread::OnRunFinished);
}

CAddWizardThread::~CAddWizardThread() {
    if (worker_.Joinable()) worker_.Join();
    LeaveRunningCount();
}

int CAddWizardThread::ExitInstance() {
    LeaveRunningCount();
    return UiThread::ExitInstance();
}

void CAddWizardThread::LeaveRunningCount() {
    if (!counted_) return;
    counted_ = false;
    DecrementRunningCount();
}

void CAddWizardThread::OnStartRun(WPARAM taskParam, LPARAM mode) {
    SyncTask* const task = reinterpret_cast<SyncTask*>(taskParam);
    if (run_) return;
    if (!task) {
        // Nothing to run: the thread ends, and its count with it.
        PostQuitMessage(0);
        return;
    }
    WaitForSingleObject(RunStartGate(), INFINITE);

    run_ = CreateRunBlock();
    SyncRunBlock& run = *run_;
    run.task = task;
    run.thread = this;
    SetRunMode(run, mode);
    run.filterOptions = task->filterOptions.get();
    run.logOptions = task->logOptions.get();
    run.syncOptions = task->syncOptions.get();

    if (!LockTaskFolders(task->sourceFolder, task->targetFolder, kGlobalLocks, false)) {
        SendTaskLine(run, plat::Format(LoadResString(IDS_TASK_FOLDER_LOCKED).c_str(), task->name.c_str()), kStatusLine);
        RunStartGate().Set();
        PostThreadMessage(WM_SYNC_RUN_ENDED, 1, 0);
        return;
    }

    run.history = std::make_unique<HistoryRecord>(MakeRunHistoryRecord(*task, RunModeOf(run)));
    const FILETIME start = plat::NowLocalFileTime();
    task->runFacts.Update([&start](TaskRunFacts& facts) {
        facts.lastRunStart = start;
        facts.lastRunStatus = kRunSucceeded;
    });
    KeepSystemAwake(true);

    auto body = [&run] { CheckSyncThreadProc(run); };
    const bool started = startWorker_ ? startWorker_(worker_, body) : worker_.Start(body);
    if (!started) {
        // The run ends as any other does: recorded, locks released, the task free again.
        run.SetResult(kRunLowMemory);
        AddRunLogLine(run, "The run could not start: no thread could be made for it.", kLogRed);
        PostThreadMessage(WM_SYNC_RUN_ENDED, 0, 0);
    }
    RunStartGate().Set();
}

void CAddWizardThread::OnRunFinished(WPARAM refused, LPARAM) {
    if (!run_) return;
    SyncRunBlock& run = *run_;
    SyncTask& task = *run.task;

    if (refused) {
        switch (task.startSource) {
        case kStartedByScheduler: EndTaskScriptRun(task, kScriptRunRefused); break;
        case kStartedAtProgramStart:
        case kStartedForDevice:
            SetAutoStartState(task, 0);
            ArmAutoStartTimer();
            break;
        default: break;
        }
    } else {
        // The worker posted this as its last act; it must be gone before its block is.
        if (worker_.Joinable()) worker_.Join();
        const DWORD result = run.Result();
        const FILETIME end = plat::NowLocalFileTime();
        task.runFacts.Update([result, &end](TaskRunFacts& facts) {
            facts.lastRunStatus = result;
            facts.lastRunEnd = end;
        });
        // The last-run fields first: when they cannot be stored the history record says so.
        WriteLastRunFields(run, task);
        WriteRunHistoryRecord(run, task);
        // Asked outside the facts' lock: the task window answers whether it was stopped.
        const DWORD attention = NeedsAttention(run, task);
        task.runFacts.Update([attention](TaskRunFacts& facts) { facts.needsAttention = attention; });
        PostMessage(task.startThread, WM_SYNC_TASK_CHANGED, static_cast<WPARAM>(task.rowIndex), 0);
        SendTaskLine(run, FormatRunSummary(run.Result(), run.doCheck && !RanSyncHalf(run)), kStatusLine);
        HandRunTreesToTask(run);
        if (task.startSource == kStartedByScheduler) EndTaskScriptRun(task, kScriptRunDone);
        SetAutoStartState(task, 2);
        UnlockTaskFolders(task.sourceFolder, task.targetFolder, kGlobalLocks);
    }

    const HWND mainWindow = task.startThread;
    run.history.reset();
    run.sourceLog.reset();
    run.targetLog.reset();
    DeleteRunBlock(std::move(run_));
    SendMessageToDescendants(mainWindow, WM_SYNC_TASK_DONE, reinterpret_cast<WPARAM>(&task), 1);

    KeepSystemAwake(false);
    LeaveRunningCount();
    PostQuitMessage(0);
}

plat::ThreadHandle StartRunThread(SyncTask& task, LPARAM mode, CWorkQueue::ThreadStarter startWorker) {
    IncrementRunningCount();
    std::unique_ptr<CAddWizardThread> thread(new CAddWizardThread(std::move(startWorker)));
    plat::ThreadHandle handle = plat::UiThread::Begin(std::move(thread));
    if (!handle) {
        // Begin deleted the object, which gave its count back.
        return {};
    }
    ::PostThreadMessage(handle.ThreadId(), WM_SYNC_START_RUN, reinterpret_cast<WPARAM>(&task), mode);
    return handle;
}
