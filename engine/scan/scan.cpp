#include "engine/scan/scan.h"

#include <string>

#include "engine/run/run_block.h"
#include "engine/run/run_log.h"
#include "engine/run/run_messages.h"
#include "engine/scan/listing_ahead.h"
#include "engine/scan/scan_folder.h"
#include "engine/scan/scan_marks.h"
#include "foundation/options/filter_options.h"
#include "foundation/options/log_options.h"
#include "foundation/options/sync_options.h"
#include "foundation/sync_task.h"
#include "platform/core/parallel_for.h"
#include "platform/core/paths.h"
#include "platform/core/text.h"
#include "platform/core/window.h"
#include "resources/sync_messages.h"

namespace {

constexpr const char* kScanningTargetText = "Scanning target folder...";
constexpr const char* kScanningSourceText = "Scanning source folder...";

// The progress bar runs in its text mode while the scan cannot know its total.
constexpr WPARAM kScanProgressTotal = 100;
constexpr LPARAM kScanProgressMode = 20;

bool HasPatterns(const FilterPatterns* patterns) {
    return patterns && !(patterns->includePatterns.empty() && patterns->excludePatterns.empty() &&
                         patterns->includeFolders.empty() && patterns->excludeFolders.empty());
}

// The path of `other` below `root` when the other side's folder lies inside this one, as
// the file system resolves both; empty otherwise. Scanned as an item, the other root would
// be copied into itself once more by every run.
std::wstring NestedRootBelow(std::wstring_view root, std::wstring_view other) {
    const std::string rootPath = plat::CanonicalPath(plat::WideToUtf8(root), true);
    const std::string otherPath = plat::CanonicalPath(plat::WideToUtf8(other), true);
    if (rootPath.empty() || otherPath.empty()) return {};
    const std::string prefix = rootPath.back() == '/' ? rootPath : rootPath + '/';
    if (otherPath.size() <= prefix.size() || otherPath.compare(0, prefix.size(), prefix) != 0) return {};
    return plat::Utf8ToWide(std::string_view(otherPath).substr(prefix.size()));
}

// Half the cores: more helpers on the same folder trees only wait for each other in the
// kernel (four list two sides of a million files on eight cores fastest, six take a
// third longer).
unsigned ListingHelperCount() { return std::max(2u, plat::ParallelThreads() / 2); }

std::wstring ErrorWords(DWORD error) {
    if (error == ERROR_ACCESS_DENIED) return L"Access Denied";
    return L"Error " + std::to_wstring(error);
}

}  // namespace

FolderPairScan ScanFolderPair(const ScanRequest& request) {
    FolderPairScan scan;
    const HWND window = request.taskWindow;

    scan.sourceRoot = std::make_unique<FolderTreeNode>();
    ScanOptions options;
    options.patterns = request.patterns;
    options.attributeMask = request.attributeMask;
    if (HasPatterns(request.patterns)) options.flags |= kScanNameLists;
    if (request.attributeMask != 0) options.flags |= kScanAttributeExclusion;
    FolderScanner scanner(options, request.caseSensitive ? kScanCaseSensitive : 0, window);

    if (window) SendMessage(window, WM_SYNC_PROGRESS, kScanProgressTotal, kScanProgressMode);

    const auto sideFailed = [&](FolderScanResult result, std::wstring_view root) {
        if (result != FolderScanResult::kUnreadable) return false;
        scan.unreadableRoot = root;
        scan.rootError = scanner.RootError();
        return true;
    };
    const auto finish = [&](int result) {
        scan.result = result;
        scan.caseConflicts = scanner.CaseConflicts();
        scan.skipped = scanner.Skipped();
        return std::move(scan);
    };

    // Both sides are listed from the start on helper threads, each ahead of the scan that
    // reads it: the source side is mostly listed by the time the target side is done.
    ListingHelpers helpers(ListingHelperCount());
    ListingAhead targetListing(FolderScanner::NarrowRootOf(request.targetFolder), &helpers, nullptr, scanner.Compare());
    ListingAhead sourceListing(FolderScanner::NarrowRootOf(request.sourceFolder), &helpers, &targetListing,
                               scanner.Compare());

    scan.targetRoot = std::make_unique<FolderTreeNode>();
    options.removeCopyLeftovers = request.removeTargetLeftovers;
    SendWindowLine(window, kScanningTargetText, kStatusLine);
    const std::wstring sourceInTarget = NestedRootBelow(request.targetFolder, request.sourceFolder);
    const std::wstring targetInSource = NestedRootBelow(request.sourceFolder, request.targetFolder);
    if (sideFailed(scanner.ScanSide(request.targetFolder, *scan.targetRoot, sourceInTarget, &targetListing),
                   request.targetFolder)) {
        return finish(kScanRootUnreadable);
    }
    // A scan cut short by Stop leaves a partial tree: the stop counts whatever the
    // window answers now.
    if (scanner.Stopped() || scanner.QueryStop()) return finish(kScanStopped);

    SendWindowLine(window, kScanningSourceText, kStatusLine);
    options.flags |= kScanMatchOtherSide;
    options.removeCopyLeftovers = request.removeSourceLeftovers;
    scan.sourceRoot->counterpart = scan.targetRoot.get();
    scan.targetRoot->counterpart = scan.sourceRoot.get();
    if (sideFailed(scanner.ScanSide(request.sourceFolder, *scan.sourceRoot, targetInSource, &sourceListing),
                   request.sourceFolder)) {
        return finish(kScanRootUnreadable);
    }
    if (scanner.Stopped() || scanner.QueryStop()) return finish(kScanStopped);

    MarkUnmatchedTargetItems(*scan.targetRoot);
    if (request.excludeEmpty) {
        ExcludeEmptyFolders(*scan.sourceRoot);
        ExcludeEmptyTargetFolders(*scan.targetRoot);
    }
    if (scanner.QueryStop()) return finish(kScanStopped);
    return finish(kScanDone);
}

int ScanTaskFolders(SyncRunBlock& run) {
    SyncTask& task = *run.task;
    ScanRequest request;
    request.sourceFolder = task.sourceFolder;
    request.targetFolder = task.targetFolder;
    request.patterns = &run.patterns;
    if (run.filterOptions) {
        request.attributeMask = run.filterOptions->AttributeMask();
        request.excludeEmpty = run.filterOptions->empty;
    }
    request.caseSensitive = !run.syncOptions || run.syncOptions->caseSensitive != 0;
    request.taskWindow = task.taskWindow;
    request.removeTargetLeftovers = true;
    request.removeSourceLeftovers = task.syncKind == kSyncKindMirror;

    FolderPairScan scan = ScanFolderPair(request);
    run.sourceTree = std::move(scan.sourceRoot);
    run.targetTree = std::move(scan.targetRoot);

    const bool logging = run.logOptions && run.logOptions->log != 0;
    if (logging) {
        for (const std::wstring& path : scan.caseConflicts) AddRunLogLineW(run, FormatCaseConflictLine(path), kLogRed);
    }
    // Written whatever the log option: each makes the run end with a warning.
    for (const SkippedEntry& entry : scan.skipped) AddRunLogLineW(run, FormatSkippedLine(entry), kLogRed);
    if (scan.result == kScanRootUnreadable) {
        // Written whatever the log option: the user must learn why the Check ended.
        AddRunLogLineW(run, FormatUnreadableRootLine(scan.unreadableRoot, scan.rootError), kLogRed);
    }
    return scan.result;
}

std::wstring FormatUnreadableRootLine(std::wstring_view folder, DWORD error) {
    std::wstring line = L"Cannot read the folder '";
    line += folder;
    line += L"' (";
    line += ErrorWords(error);
    line += L"). The Check ends here and nothing is synced.";
    return line;
}

std::wstring FormatSkippedLine(const SkippedEntry& entry) {
    std::wstring line;
    switch (entry.kind) {
    case SkippedEntry::Kind::kLink: line = L"Skipped the link '" + entry.path + L"': links are not synced"; break;
    case SkippedEntry::Kind::kSpecialFile:
        line = L"Skipped '" + entry.path + L"': devices, pipes and sockets are not synced";
        break;
    case SkippedEntry::Kind::kUnreadableFolder:
        line = L"Cannot read the folder '" + entry.path + L"' (" + ErrorWords(entry.error) + L"): it is skipped";
        break;
    }
    return line + L", and what the other side holds at its place is left alone.";
}

std::wstring FormatCaseConflictLine(std::wstring_view path) {
    std::wstring line = L"Excluded '";
    line += path;
    line += L"': another name in its folder differs from it only in case.";
    return line;
}
