#include "engine/run/run_figures.h"

#include <string>

#include "engine/run/run_block.h"
#include "engine/run/run_log.h"
#include "engine/run/run_messages.h"
#include "engine/run/volume_queries.h"
#include "foundation/size_text.h"
#include "foundation/sync_task.h"
#include "platform/core/text.h"

namespace {

// One physical side as the figures show it.
struct SideFigures {
    std::string drive;  // the share of a network folder, else the root
    bool spaceKnown = false;
    ULONGLONG total = 0;
    ULONGLONG free = 0;
    ULONGLONG required = 0;  // bytes the copies write into the folder
    DWORD files = 0;
    DWORD excludedFiles = 0;
    DWORD skippedFiles = 0;
    DWORD folders = 0;
    DWORD excludedFolders = 0;
    DWORD skippedFolders = 0;
};

std::string SizeOrUnavailable(ULONGLONG bytes) { return bytes == 0 ? "Unavailable" : FormatSizeText(bytes); }

SideFigures FiguresOf(const std::wstring& folder, ULONGLONG required) {
    SideFigures side;
    // On this platform a local folder's "drive" is the root; a network folder's is its share.
    side.drive = plat::WideToUtf8(ResolveNetworkPath(folder));
    side.spaceKnown = GetFreeDiskSpace(folder, &side.total, &side.free) != 0;
    side.required = required;
    return side;
}

void TakeSourceCounts(const SyncRunBlock& run, SideFigures& side) {
    const RunCounters& c = run.counters;
    side.files = c.sourceFiles;
    side.excludedFiles = c.sourceExcludedFiles;
    side.folders = c.sourceFolders;
    side.excludedFolders = c.sourceExcludedFolders;
}

void TakeTargetCounts(const SyncRunBlock& run, SideFigures& side) {
    const RunCounters& c = run.counters;
    side.files = c.targetFiles;
    side.excludedFiles = c.targetExcludedFiles;
    side.folders = c.targetFolders;
    side.excludedFolders = c.targetExcludedFolders;
}

std::string SpaceLine(const char* sideWord, const SideFigures& side) {
    return plat::Format("%s: Drive %s Total: %s Free: %s Required: %s", sideWord, side.drive.c_str(),
                        SizeOrUnavailable(side.total).c_str(), SizeOrUnavailable(side.free).c_str(),
                        FormatSizeText(side.required).c_str());
}

void LogSide(SyncRunBlock& run, const char* sideWord, const SideFigures& side) {
    AddRunLogLine(run, SpaceLine(sideWord, side), kLogBlack);
    // A volume that cannot tell its space is not reported as short of it.
    if (side.spaceKnown && side.free < side.required) {
        AddRunLogLine(
            run,
            plat::Format("On drive %s required for sync is %s.  You have only %s free space.", side.drive.c_str(),
                         FormatSizeText(side.required).c_str(), FormatSizeText(side.free).c_str()),
            kLogRed);
    }
    AddRunLogLine(run,
                  plat::Format("%s: Files: %u (Exclude: %u) Skip: %u Folders: %u (Exclude: %u) Skip: %u", sideWord,
                               static_cast<unsigned>(side.files), static_cast<unsigned>(side.excludedFiles),
                               static_cast<unsigned>(side.skippedFiles), static_cast<unsigned>(side.folders),
                               static_cast<unsigned>(side.excludedFolders), static_cast<unsigned>(side.skippedFolders)),
                  kLogBlack);
}

}  // namespace

void ReportCheckFigures(SyncRunBlock& run, bool logging) {
    if (!run.task) return;
    const SyncTask& task = *run.task;
    const bool swapped = task.swapped != 0;
    SideFigures left = FiguresOf(swapped ? task.targetFolder : task.sourceFolder, run.bytesToLeft);
    SideFigures right = FiguresOf(swapped ? task.sourceFolder : task.targetFolder, run.bytesToRight);
    if (swapped) {
        TakeTargetCounts(run, left);
        TakeSourceCounts(run, right);
    } else {
        TakeSourceCounts(run, left);
        TakeTargetCounts(run, right);
    }
    left.skippedFiles = run.leftSkippedFiles;
    left.skippedFolders = run.leftSkippedFolders;
    right.skippedFiles = run.rightSkippedFiles;
    right.skippedFolders = run.rightSkippedFolders;

    SendTaskLine(run, SpaceLine("Left", left), kLeftLabel);
    SendTaskLine(run, SpaceLine("Right", right), kRightLabel);
    if (!logging) return;

    LogSide(run, "Left", left);
    LogSide(run, "Right", right);
    const RunCounters& c = run.counters;
    const DWORD changed = c.changed;
    const DWORD conflicts = c.conflicts;
    if (changed == 0 && conflicts == 0) AddRunLogLine(run, "No changs detected", kLogRed);
    AddRunLogLine(run,
                  plat::Format("Changes: %u (Conflicts: %u) Warning: %u", static_cast<unsigned>(changed + conflicts),
                               static_cast<unsigned>(conflicts), static_cast<unsigned>(c.warnings.load())),
                  kLogBlack);
}
