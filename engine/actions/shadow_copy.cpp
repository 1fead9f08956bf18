#include "engine/actions/shadow_copy.h"

#include <vector>

#include "engine/actions/action_support.h"
#include "engine/actions/file_as_checked.h"
#include "engine/actions/shadow_copy_blocks.h"
#include "engine/catalog/catalog_building.h"
#include "engine/model/file_info.h"
#include "engine/model/folder_tree.h"
#include "engine/model/tree_walk.h"
#include "engine/run/run_block.h"
#include "engine/run/run_log.h"
#include "foundation/options/log_options.h"
#include "foundation/program_state.h"
#include "platform/core/file_info.h"
#include "platform/core/file_time.h"
#include "platform/core/shadow_copy_library.h"
#include "platform/core/text.h"
#include "platform/core/window.h"
#include "resources/sync_messages.h"

namespace {

bool TaskLogs(const SyncRunBlock& run) { return run.logOptions && run.logOptions->log != 0; }

BOOL CopyThroughLibrary(const SyncRunBlock& run, const plat::VolumeSources& volumes) {
    const std::string_view library = ShadowCopyLibraryName(ProgramState().windowsVersionClass);
    if (library.empty()) return FALSE;
    const plat::VssCopyEntry vssCopy = plat::FindVssCopy(library);
    if (!vssCopy) return FALSE;
    const ShadowCopyGroups grouped = GroupShadowCopyFiles(run.shadowSourcePaths, volumes);
    const ShadowCopyBlocks blocks = BuildShadowCopyBlocks(grouped, run.shadowTargetPaths);
    return vssCopy(blocks.driveList, blocks.fileList);
}

// The copy is there and is the source's version: the same size, last-write times at most
// 2 seconds apart.
bool CopiedAsSource(const std::wstring& from, const std::wstring& to) {
    plat::FileInfo source;
    if (!plat::GetFileInfo(plat::WideToUtf8(from), source) || !source.IsFile()) return false;
    return IsFileAsChecked(to, source.size, plat::FileTimeToUnixSeconds(source.lastWriteTime));
}

void CompleteCopy(SyncRunBlock& run, CFileInfo& record, const std::wstring& from, const std::wstring& to) {
    if (record.state.IsAction(ItemState::kCopyToRight)) {
        if (record.state.IsSourceOnly()) {
            record.SetCounterpart(to, record.relativePath, record.attributes, record.size, record.lastWrite);
            record.state.Set(ItemState::kDone | ItemState::kOnTarget);
        } else {
            record.SetCounterpartState(record.size, record.attributes, record.lastWrite);
            record.state.Set(ItemState::kDone);
        }
    } else if (record.state.IsTargetOnly()) {
        record.SetCounterpart(to, record.relativePath, record.attributes, record.size, record.lastWrite);
        record.state.Set(ItemState::kDone | ItemState::kOnSource);
    } else {
        record.attributes = record.counterpartAttributes;
        record.size = record.counterpartSize;
        record.lastWrite = record.counterpartLastWrite;
        record.state.Set(ItemState::kDone);
    }
    LogAction(run, L"Shadow Copy " + from + L" -> " + to, kLogBlack);
    ++run.counters.done;
}

// Puts the completed record back into its tree and queues its catalog rows: a record of
// the source tree gives the target row from its counterpart values, a target-only record
// gives both rows from its own.
void ReturnToTree(SyncRunBlock& run, const CFileInfo& record, int index) {
    CFileInfo* stored = run.sourceTree ? UpdateTreeRecord(*run.sourceTree, record, index) : nullptr;
    bool targetOwnFields = false;
    if (!stored && run.targetTree) {
        stored = UpdateTreeRecord(*run.targetTree, record, index);
        targetOwnFields = true;
    }
    if (!stored) return;
    BuildSourceCatalogWorkItem(run, *stored, true);
    BuildCatalogWorkItem(run, *stored, targetOwnFields);
    ReportItemDone(run, *stored);
}

}  // namespace

std::string_view ShadowCopyLibraryName(int versionClass) {
    if (versionClass == 4) return "zvkvssxp.dll";
    if (versionClass >= 5 && versionClass <= 7) return "zvkvss.dll";
    return {};
}

BOOL ShadowCopyFiles(SyncRunBlock& run, const plat::VolumeSources& volumes) {
    if (const HWND window = TaskWindowOf(run)) {
        SendMessage(window, WM_SYNC_LOG_LINE,
                    reinterpret_cast<WPARAM>("Create Shadow Copy.  It may take several minutes... "), 2);
    }
    // This platform runs no 32-bit programs on a 64-bit system, so the script route is
    // never the one to take.
    const BOOL result = CopyThroughLibrary(run, volumes);
    if (TaskLogs(run)) {
        if (result) {
            AddRunLogLineW(run, L"Shadow Copy done", kLogBlack);
        } else {
            AddRunLogLineW(run, L"Failed to start shadow copy. ", kLogRed);
        }
    }

    for (std::size_t i = 0; i < run.shadowWaiting.size(); ++i) {
        CFileInfo record = run.shadowWaiting[i];
        const std::wstring from = i < run.shadowSourcePaths.size() ? run.shadowSourcePaths[i] : std::wstring();
        const std::wstring to = i < run.shadowTargetPaths.size() ? run.shadowTargetPaths[i] : std::wstring();
        if (record.state.IsAction(ItemState::kCopyToRight) || record.state.IsAction(ItemState::kCopyToLeft)) {
            // Each copy is judged by what is there, whatever the route answered.
            if (CopiedAsSource(from, to)) {
                CompleteCopy(run, record, from, to);
            } else {
                LogAction(run, L"Failed Shadow Copy " + from + L" -> " + to + L" (File Locked)", kLogRed);
                MarkActionFailed(run, record, kErrorFileLocked);
            }
        }
        record.shadowIndex = -1;
        ReturnToTree(run, record, static_cast<int>(i));
    }
    return result;
}

CFileInfo* UpdateTreeRecord(FolderTreeNode& node, const CFileInfo& record, int index) {
    CFileInfo* found = nullptr;
    ForEachRecord(node, [&](CFileInfo& candidate) {
        if (candidate.shadowIndex == index) found = &candidate;
        return !found;
    });
    if (found) *found = record;
    return found;
}

void ResetShadowCopyState(SyncRunBlock& run) {
    const auto forget = [](CFileInfo& record) {
        if (record.shadowIndex != -1) {
            record.shadowIndex = -1;
            if (!record.state.HasResult()) record.state.Clear(ItemState::kShadowCopy);
        }
        return true;
    };
    if (run.sourceTree) ForEachRecord(*run.sourceTree, forget);
    if (run.targetTree) ForEachRecord(*run.targetTree, forget);
    run.shadowSourcePaths.clear();
    run.shadowTargetPaths.clear();
    run.shadowWaiting.clear();
}
