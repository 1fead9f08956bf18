#pragma once
// The first stage of a Check: both folders of a task read into two folder trees, the
// target side first, then the source side, whose every entry is matched by relative
// path against the finished target tree. Afterwards the target records that nothing
// matched are target only and, with the filter option "Empty", folders without an
// included file are excluded. Every record's state word then holds what the decision
// needs from the file system, with the default action of the scan.

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "engine/model/folder_tree.h"
#include "engine/scan/scan_folder.h"
#include "foundation/quoted_list.h"
#include "platform/core/win_types.h"

struct SyncRunBlock;

// What ScanTaskFolders returns.
inline constexpr int kScanDone = 1;
inline constexpr int kScanStopped = -1;
// A root could not be listed: the Check ends there, and nothing may be synced.
inline constexpr int kScanRootUnreadable = 0;

// What a scan of two folders needs, taken from the run.
struct ScanRequest {
    std::wstring_view sourceFolder;
    std::wstring_view targetFolder;
    const FilterPatterns* patterns = nullptr;  // null or empty lists: no name filter
    DWORD attributeMask = 0;                   // read-only 1, hidden 2, system 4
    bool caseSensitive = true;
    bool excludeEmpty = false;  // the filter option "Empty"
    HWND taskWindow = nullptr;  // progress, status lines and stop queries
    // A run's scan (see ScanOptions), for each side the run copies into.
    bool removeSourceLeftovers = false;
    bool removeTargetLeftovers = false;
};

struct FolderPairScan {
    int result = kScanDone;
    // Whatever was read, also when the scan stopped or failed.
    std::unique_ptr<FolderTreeNode> sourceRoot;
    std::unique_ptr<FolderTreeNode> targetRoot;
    // With kScanRootUnreadable: the root and why it could not be listed.
    std::wstring unreadableRoot;
    DWORD rootError = ERROR_SUCCESS;
    // Full paths of the items excluded because their name differs from another of the
    // same folder only in case.
    std::vector<std::wstring> caseConflicts;
    // Links, special files and folders that could not be listed: not synced, and neither
    // is what the other side holds at their place.
    std::vector<SkippedEntry> skipped;
};

// Scans both folders as ScanTaskFolders does, without a run. A root that does not exist
// reads as empty (a folder the run may still create); one that exists but cannot be
// listed, completely, gives kScanRootUnreadable.
FolderPairScan ScanFolderPair(const ScanRequest& request);

// The scan step of a run: the task's resolved folders with the run's pattern lists and
// the task's filter and sync options. The trees go into the run (also when the scan
// stopped or failed; the run frees them). Items excluded for a case-only name clash get a
// line each in the run log when the task logs; a root that cannot be listed, and each
// entry skipped, get a red line whatever the log option. Leftover temporary files of the
// copier are removed in the sides the task's type copies into: the target side, and the
// source side of a Mirror; a side no copy goes to is never written, so a file of that
// name there is the user's. Returns kScanDone, kScanStopped or kScanRootUnreadable.
int ScanTaskFolders(SyncRunBlock& run);

// The run-log lines of the scan.
std::wstring FormatUnreadableRootLine(std::wstring_view folder, DWORD error);
std::wstring FormatCaseConflictLine(std::wstring_view path);
std::wstring FormatSkippedLine(const SkippedEntry& entry);
