#include "engine/run/run_log.h"

#include <string>
#include <vector>

#include "engine/run/run_block.h"
#include "foundation/log_file.h"
#include "foundation/options/filter_options.h"
#include "foundation/options/log_options.h"
#include "foundation/options/sync_options.h"
#include "foundation/program_state.h"
#include "foundation/resource_strings.h"
#include "foundation/sync_task.h"
#include "foundation/text_utils.h"
#include "platform/core/window.h"
#include "resources/sync_messages.h"

namespace {

// Stands for a pattern list that the filter does not use.
constexpr wchar_t kNoFilterText[] = L"No";

HWND LogControlOf(const SyncRunBlock& run) { return run.task ? run.task->logControl : nullptr; }

// `line` already ends with its CR LF.
void SendControlLine(HWND control, const std::string& line, COLORREF colour) {
    if (!control) return;
    SendMessage(control, WM_SYNC_LOG_LINE, reinterpret_cast<WPARAM>(line.c_str()), static_cast<LPARAM>(colour));
}

void SendControlLineW(HWND control, const std::wstring& line, COLORREF colour) {
    if (!control) return;
    SendMessage(control, WM_SYNC_LOG_LINE_W, reinterpret_cast<WPARAM>(line.c_str()), static_cast<LPARAM>(colour));
}

void SendControlText(HWND control, std::string_view text, COLORREF colour) {
    if (control) SendControlLine(control, std::string(text) + "\r\n", colour);
}

void SendControlTextW(HWND control, std::wstring_view text, COLORREF colour) {
    if (control) SendControlLineW(control, std::wstring(text) + L"\r\n", colour);
}

// Writes a framing line to each present log and returns the first log's text (with its
// CR LF), or nothing when the run has no log.
std::string WriteBanner(SyncRunBlock& run, UINT formatId, std::string_view word) {
    std::string shown;
    for (CLog* log : {run.sourceLog.get(), run.targetLog.get()}) {
        if (!log) continue;
        std::string line = log->WriteHeader(formatId, word);
        if (shown.empty()) shown = std::move(line);
    }
    return shown;
}

std::wstring SyncLineOf(const SyncRunBlock& run) {
    const DWORD type = run.syncOptions ? run.syncOptions->type : static_cast<DWORD>(kSyncLeftToRight);
    const std::wstring source = run.task ? run.task->sourceFolder : std::wstring();
    const std::wstring target = run.task ? run.task->targetFolder : std::wstring();
    switch (SyncKindOfType(type)) {
    case kSyncKindMirror: return L"'" + source + L"' Mirror with '" + target + L"'";
    case kSyncKindBackup: return L"'" + source + L"' Back up to '" + target + L"'";
    default: return L"'" + source + L"' Sync with '" + target + L"'";
    }
}

std::string OptionsLineOf(const SyncOptionValues& options) {
    std::string line = "Options:";
    line += options.allowDelete ? " Del Allowed;" : " No Del;";
    line += options.saveDelete ? " Save Changed;" : " No Save Changed;";
    line += options.lock ? " Copy Lock;" : " No Copy Lock;";
    if (options.readOnly) line += " Src Readonly;";
    if (options.readOnlyTarget) line += " Target Readonly;";
    line += options.caseSensitive ? " Case-Aware;" : " No Case-Aware;";
    return line;
}

// The two filter lines in the order the filter mode gives them.
std::vector<std::wstring> FilterLinesOf(const FilterOptionValues& filter) {
    const auto inclusion = [](std::wstring_view text) { return L"Inclusion Filter - " + std::wstring(text) + L" "; };
    const auto exclusion = [](std::wstring_view text) { return L"Exclusion Filter - " + std::wstring(text); };
    switch (filter.filterMode) {
    case 0: return {inclusion(kNoFilterText), exclusion(kNoFilterText)};
    case kFilterModeExclusion: return {exclusion(filter.excludeText), inclusion(kNoFilterText)};
    case kFilterModeInclusion: return {inclusion(filter.includeText), exclusion(kNoFilterText)};
    default: return {inclusion(filter.includeText), exclusion(filter.excludeText)};
    }
}

// "Exclude: ..." for the attribute and empty-folder exclusions, or empty when none is set.
std::string ExcludeLineOf(const FilterOptionValues& filter) {
    if (!filter.hidden && !filter.system && !filter.readonly && !filter.empty) return {};
    std::string line = "Exclude: ";
    if (filter.hidden) line += "Hidden;";
    if (filter.system) line += "System;";
    if (filter.readonly) line += "RdOnly;";
    if (filter.empty) line += "Empty Folder;";
    return line;
}

std::wstring LogFailureReason(DWORD error) {
    switch (error) {
    case ERROR_ACCESS_DENIED: return L"Access Denied";
    case ERROR_DISK_FULL: return L"Disk Full";
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND: return L"its folder does not exist";
    default: return L"Error " + std::to_wstring(error);
    }
}

// A log file the run cannot write loses the run's lines. Each says so once per run, in
// red, in the other log and the log control; nothing asks the user (a run's threads write).
void ReportUnwritableLogs(SyncRunBlock& run) {
    for (CLog* log : {run.sourceLog.get(), run.targetLog.get()}) {
        DWORD error = ERROR_SUCCESS;
        if (!log || !log->TakeFirstFailure(error)) continue;
        const std::wstring line = L"Cannot write the log file '" + log->Path() + L"' (" + LogFailureReason(error) +
                                  L"): this run's lines are not kept there.";
        for (CLog* other : {run.sourceLog.get(), run.targetLog.get()}) {
            if (other && other != log) other->WriteLineW(line);
        }
        SendControlTextW(LogControlOf(run), line, kLogRed);
    }
}

}  // namespace

void AddRunLogLine(SyncRunBlock& run, std::string_view text, COLORREF colour) {
    if (run.sourceLog) run.sourceLog->WriteLine(text);
    if (run.targetLog) run.targetLog->WriteLine(text);
    SendControlText(LogControlOf(run), text, colour);
    ReportUnwritableLogs(run);
}

void AddRunLogLineW(SyncRunBlock& run, std::wstring_view text, COLORREF colour) {
    if (run.sourceLog) run.sourceLog->WriteLineW(text);
    if (run.targetLog) run.targetLog->WriteLineW(text);
    SendControlTextW(LogControlOf(run), text, colour);
    ReportUnwritableLogs(run);
}

void AddDialogLogLine(SyncTask& task, std::string_view text, COLORREF colour) {
    if (task.logOptions && task.logOptions->log && !task.sourceLog.empty()) {
        CLog(task.sourceLog, 0, false).WriteLine(text);
        CLog(task.targetLog, 0, false).WriteLine(text);
    }
    SendControlText(task.logControl, text, colour);
}

void AddDialogLogLineW(SyncTask& task, std::wstring_view text, COLORREF colour) {
    if (task.logOptions && task.logOptions->log && !task.sourceLog.empty()) {
        CLog(task.sourceLog, 0, false).WriteLineW(text);
        CLog(task.targetLog, 0, false).WriteLineW(text);
    }
    SendControlTextW(task.logControl, text, colour);
}

void LogRunBanner(SyncRunBlock& run, std::string_view word, COLORREF colour) {
    const std::string shown = WriteBanner(run, IDS_RUN_START_BANNER, word);
    if (!shown.empty()) SendControlLine(LogControlOf(run), shown, colour);
    ReportUnwritableLogs(run);
}

void LogRunCompleted(SyncRunBlock& run) {
    const std::string shown = WriteBanner(run, IDS_RUN_END_BANNER, RunModeWord(run));
    if (shown.empty()) return;
    const HWND control = LogControlOf(run);
    // Said before the end banner when only that line failed.
    ReportUnwritableLogs(run);
    SendControlLine(control, shown, kLogBlack);
    SendControlLine(control, "\r\n", kLogBlack);
}

void WriteRunHeader(SyncRunBlock& run) {
    const std::string taskName = run.task ? run.task->name : std::string();
    const DWORD startSource = run.task ? run.task->startSource : 0;
    const std::string banner =
        FormatString("Task '%s' '%s' Started by '%s' at '%s'", taskName.c_str(), RunModeWord(run).c_str(),
                     RunTriggerWord(startSource).c_str(), ProgramState().computerName.c_str());
    LogRunBanner(run, banner, kLogBlack);

    AddRunLogLineW(run, SyncLineOf(run), kLogBlack);
    AddRunLogLine(run, OptionsLineOf(run.syncOptions ? *run.syncOptions : SyncOptionValues{}), kLogBlack);

    if (!run.filterOptions) return;
    const std::vector<std::wstring> filterLines = FilterLinesOf(*run.filterOptions);
    const std::string excludeLine = ExcludeLineOf(*run.filterOptions);
    // Each log gets the lines; the control gets them once, with the first log.
    HWND control = LogControlOf(run);
    for (CLog* log : {run.sourceLog.get(), run.targetLog.get()}) {
        if (!log) continue;
        for (const std::wstring& line : filterLines) {
            log->WriteLineW(line);
            SendControlTextW(control, line, kLogBlack);
        }
        if (!excludeLine.empty()) {
            log->WriteLine(excludeLine);
            SendControlText(control, excludeLine, kLogBlack);
        }
        control = nullptr;
    }
    ReportUnwritableLogs(run);
}

std::string RunModeWord(const SyncRunBlock& run) {
    if (run.doCheck && run.doSync) return "CHECK+SYNC";
    return run.doCheck ? "CHECK" : "SYNC";
}

std::string RunTriggerWord(DWORD startSource) {
    switch (startSource) {
    case kStartedByUser: return ProgramState().userName;
    case kStartedByContainer: return LoadResString(IDS_RUN_FROM_CONTAINER);
    case kStartedByRepeat: return LoadResString(IDS_RUN_FROM_TIMER);
    case kStartedByScheduler: return LoadResString(IDS_RUN_FROM_SCHEDULER);
    case kStartedAtProgramStart: return LoadResString(IDS_RUN_FROM_AUTO_START);
    case kStartedForDevice: return LoadResString(IDS_RUN_FROM_AUTO_CONNECT);
    default: return {};
    }
}

std::string FormatRunSummary(DWORD result, bool isCheck) {
    std::string summary = isCheck ? "Check has finished" : "Sync has finished";
    switch (result) {
    case kRunSucceeded: return summary + " Successfully";
    case kRunStopped: return summary + " (User stops operation)";
    case kRunShadowCopyFailed: return summary + " (Shadow Copy failed)";
    case kRunConflictsLeft: return summary + " (Warning: Unresolved conflicts)";
    case kRunCopiesFailed: return summary + " (Warning: Failed to copy files)";
    case kRunNothingToDo: return summary + " (Nothing to do)";
    case kRunOverChangeLimit: return summary + " (Error: Over limit)";
    case kRunDiskFull: return summary + " (Error: Disk Full)";
    case kRunCatalogFolderFailed: return summary + " (Error: Failed to create catalog folder)";
    case kRunLowMemory: return summary + " (Error: Low Memory)";
    case kRunFolderEmptyOrUnmounted: return summary + " (Error: Folder is empty or not mounted)";
    case kRunFolderUnreadable: return summary + " (Error: Folder cannot be read)";
    case kRunItemsSkipped: return summary + " (Warning: Some items were skipped)";
    default: return summary;
    }
}

int FormatCopyError(DWORD error, std::string& text) {
    switch (error) {
    case ERROR_ACCESS_DENIED: text = "(Error: Access Denied)"; return 0;
    case ERROR_DISK_FULL: text = "(Error: Disk Full)"; return -1;
    default: text = FormatString("Error: %u", static_cast<unsigned>(error)); return 0;
    }
}
