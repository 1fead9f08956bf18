#include "engine/actions/copy_actions.h"

#include <string>

#include "engine/actions/action_support.h"
#include "engine/actions/backup.h"
#include "engine/actions/copies_ahead.h"
#include "engine/actions/file_as_checked.h"
#include "engine/actions/file_copier.h"
#include "engine/actions/target_names.h"
#include "engine/model/file_info.h"
#include "engine/model/file_info_array.h"
#include "engine/model/folder_tree.h"
#include "engine/model/tree_walk.h"
#include "engine/run/run_block.h"
#include "engine/run/run_log.h"
#include "foundation/file_utils.h"
#include "foundation/options/sync_options.h"
#include "foundation/path_utils.h"
#include "foundation/sync_task.h"
#include "platform/core/errors.h"
#include "platform/core/file_system.h"
#include "platform/core/file_time.h"
#include "platform/core/folder_handle.h"
#include "platform/core/text.h"

namespace {

// The scan never goes through a symbolic link, so neither may a copy: a link that stands
// where the item's parent folder should be would take the new file or folder outside the
// side's root (and the catalog would then list it as there). True when every folder
// between `root` and the item that exists is a real folder.
bool ParentsAreRealFolders(const std::wstring& root, std::string_view relativePath) {
    const std::size_t slash = relativePath.rfind('/');
    if (slash == std::string_view::npos) return true;
    return plat::FoldersBelowAreReal(plat::WideToUtf8(root), std::string(relativePath.substr(0, slash)));
}

// Why a new item cannot be made as `path` before anything is written, or ERROR_SUCCESS:
// a name the destination's FAT file system would not hold as it is, or a name it holds
// already in other case (a file system that folds case finds "Docs" for "docs").
DWORD NewNameProblem(const std::wstring& path) {
    const std::string narrow = plat::WideToUtf8(path);
    const std::string folder = plat::ParentPath(narrow);
    const std::string name = plat::FileNamePart(narrow);
    if (IsNameFatCannotHold(plat::Utf8ToWide(name)) && KeepsFatNames(folder)) return kErrorNameNotHeld;
    if (plat::PathExists(narrow) && !FolderHoldsExactName(folder, name)) return kErrorNameInOtherCase;
    return ERROR_SUCCESS;
}

// The folder and its parents; only a real folder (not a link to one) counts as made.
// `attributes` are the made folder's. False with the last error set.
bool CreateRealFolder(const std::wstring& folder, DWORD& attributes) {
    if (const DWORD problem = NewNameProblem(folder); problem != ERROR_SUCCESS) {
        SetLastError(problem);
        return false;
    }
    if (!CreateFolderTree(folder)) {
        const std::string narrow = plat::WideToUtf8(folder);
        SetLastError(
            NameErrorOf(plat::ParentPath(narrow), plat::Utf8ToWide(plat::FileNamePart(narrow)), GetLastError()));
        return false;
    }
    plat::FileInfo info;
    if (plat::GetFileInfo(plat::WideToUtf8(folder), info) && info.IsFolder()) {
        attributes = info.attributes;
        return true;
    }
    SetLastError(ERROR_ACCESS_DENIED);
    return false;
}

// The two roots of a copy pass, open for the whole pass, and the helpers that copy small
// new files ahead of their turn.
struct PassFolders {
    explicit PassFolders(DWORD speed) : ahead(CopyHelperCount(speed), speed) {}

    plat::FolderHandle sourceRoot;
    plat::FolderHandle targetRoot;
    // The roots as the records made in the pass share them.
    SideRoot sourceRootPath;
    SideRoot targetRootPath;
    CopiesAhead ahead;
};

// The two open folders of one folder pair of the walk: each side's folder below its root,
// opened as a real folder (no link on the way) when the pair's first new file is copied.
// Its new files are then checked and copied by name in them, so the kernel walks no path
// for each file. When either cannot be opened the files go by path, which reports why.
class PairFolders {
public:
    PairFolders(PassFolders* pass, FolderPair pair) : pass_(pass), pair_(pair) {}

    // The root of the target side (`target`) or the source side as records share it; null
    // when the pass has none.
    const SideRoot* RootPath(bool target) const {
        if (!pass_) return nullptr;
        return target ? &pass_->targetRootPath : &pass_->sourceRootPath;
    }

    // The folder on the target side (`target`) or the source side; null when not open.
    const plat::FolderHandle* Side(bool target) {
        if (!Open()) return nullptr;
        return target ? &target_ : &source_;
    }

    // The pass's helpers, or null.
    CopiesAhead* Ahead() const { return pass_ && pass_->ahead.Helps() ? &pass_->ahead : nullptr; }

private:
    bool Open() {
        if (tried_) return target_.IsOpen() && source_.IsOpen();
        tried_ = true;
        if (!pass_ || !pass_->sourceRoot.IsOpen() || !pass_->targetRoot.IsOpen()) return false;
        const CFileInfo* folder = pair_.source && pair_.source->folder ? pair_.source->folder.get()
                                  : pair_.target                       ? pair_.target->folder.get()
                                                                       : nullptr;
        const std::string relative = folder ? folder->relativePath : std::string();
        return source_.OpenBelow(pass_->sourceRoot, relative) && target_.OpenBelow(pass_->targetRoot, relative);
    }

    PassFolders* pass_;
    FolderPair pair_;
    plat::FolderHandle source_;
    plat::FolderHandle target_;
    bool tried_ = false;
};

// A file that does not exist on the side its action copies it to: it has one name on both
// sides and is copied by name in its folder pair's open folders.
bool IsNewFileCopy(const CFileInfo& record) {
    const ItemState state = record.state;
    if (IsLeftAloneByPasses(state) || state.IsFolder()) return false;
    return (state.IsAction(ItemState::kCopyToRight) && state.IsSourceOnly()) ||
           (state.IsAction(ItemState::kCopyToLeft) && state.IsTargetOnly());
}

// NewNameProblem for the entry `name` of the open folder `folder`. `taken` tells whether
// something is at the name.
DWORD NewNameProblemIn(const plat::FolderHandle& folder, const std::string& name, bool& taken) {
    taken = false;
    if (IsNameFatCannotHold(plat::Utf8ToWide(name)) && KeepsFatNames(folder)) return kErrorNameNotHeld;
    plat::FileInfo there;
    taken = folder.LookUp(name, there);
    if (taken && !FolderHoldsExactName(folder.path(), name)) return kErrorNameInOtherCase;
    return ERROR_SUCCESS;
}

// The last part of a relative path, as the file system spells it.
std::string NameOf(std::string_view relativePath) {
    const std::size_t slash = relativePath.rfind('/');
    return std::string(slash == std::string_view::npos ? relativePath : relativePath.substr(slash + 1));
}

int CreateFolderAction(SyncRunBlock& run, CFileInfo& record, DWORD& counter) {
    const ItemState state = record.state;
    bool toTarget = false;
    if (state.IsAction(ItemState::kCopyToRight) && state.IsSourceOnly()) {
        toTarget = true;
    } else if (!(state.IsAction(ItemState::kCopyToLeft) && state.IsTargetOnly())) {
        return 1;
    }
    const std::wstring& root = toTarget ? run.task->targetFolder : run.task->sourceFolder;
    const std::wstring folder = PathJoinW(root, plat::Utf8ToWide(record.relativePath));
    DWORD attributes = FILE_ATTRIBUTE_DIRECTORY;
    const bool created = ParentsAreRealFolders(root, record.relativePath) && CreateRealFolder(folder, attributes);
    if (created) {
        LogAction(run, L"Create New " + folder, kLogBlack);
        ++run.counters.done;
        record.state.Set(ItemState::kDone | (toTarget ? ItemState::kOnTarget : ItemState::kOnSource));
        // The new folder as the side now holds it: its row and its catalog row say "folder".
        record.SetCounterpart(folder, record.relativePath, attributes, 0, 0);
    } else {
        const DWORD error = GetLastError();
        MarkActionFailed(run, record, error);
        LogAction(run, WithReason(L"Failed to Create New " + folder, error), kLogRed);
    }
    ++counter;
    ReportItemDone(run, record);
    ReportProgress(run, counter);
    return created ? 1 : 0;
}

// One file copy as the action and the record's side give it.
struct FileCopy {
    std::wstring from;
    std::wstring to;
    bool toTarget = false;
    bool newFile = false;
    // What the Check saw of the file about to be overwritten.
    std::string_view replacedRelativePath;
    ULONGLONG replacedSize = 0;
    LONGLONG replacedLastWrite = 0;
    const SideRoot* toRoot = nullptr;  // the root `to` lies in, as records share it; null: none
};

FileCopy PlanFileCopy(const SyncTask& task, const CFileInfo& record) {
    FileCopy copy;
    copy.toTarget = record.state.IsAction(ItemState::kCopyToRight);
    if (copy.toTarget && record.state.IsSourceOnly()) {
        copy.newFile = true;
        copy.from = record.path();
        copy.to = PathJoinW(task.targetFolder, plat::Utf8ToWide(record.relativePath));
    } else if (copy.toTarget) {
        copy.from = record.path();
        copy.to = record.counterpartPath();
        copy.replacedRelativePath = record.counterpartRelativePath();
        copy.replacedSize = record.counterpartSize;
        copy.replacedLastWrite = record.counterpartLastWrite;
    } else if (record.state.IsTargetOnly()) {
        copy.newFile = true;
        copy.from = record.path();
        copy.to = PathJoinW(task.sourceFolder, plat::Utf8ToWide(record.relativePath));
    } else {
        copy.from = record.counterpartPath();
        copy.to = record.path();
        copy.replacedRelativePath = record.relativePath;
        copy.replacedSize = record.size;
        copy.replacedLastWrite = record.lastWrite;
    }
    return copy;
}

std::wstring CopyLine(std::wstring_view prefix, const FileCopy& copy) {
    return std::wstring(prefix) + copy.from + L" -> " + copy.to;
}

// A failed copy that is not a locked source: the item ends with an error.
int FailCopy(SyncRunBlock& run, CFileInfo& record, const FileCopy& copy, DWORD error) {
    MarkActionFailed(run, record, error);
    std::wstring text;
    const int result = ActionErrorText(error, text);
    LogAction(run, CopyLine(L"Failed to Copy ", copy) + L" " + text, kLogRed);
    ReportItemDone(run, record);
    return result;
}

// Backs up the file about to be overwritten. 1 to go on with the copy, else the action's
// result.
int BackUpReplacedFile(SyncRunBlock& run, CFileInfo& record, const FileCopy& copy) {
    const std::wstring& backupFolder = copy.toTarget ? run.task->targetBackup : run.task->sourceBackup;
    DWORD error = ERROR_SUCCESS;
    const int backup = BackUpFile(run, copy.to, copy.replacedRelativePath, backupFolder, error);
    if (backup == kBackupMade) {
        LogAction(run, L"Backup " + copy.to, kLogBlack);
        return 1;
    }
    if (backup == kBackupStopped) return 0;
    record.state.Set(ItemState::kBackupError);
    record.SetFailure(error);
    ++run.counters.errors;
    ReportItemDone(run, record);
    std::wstring text;
    const int result = ActionErrorText(error, text);
    // Either side says why.
    LogAction(run, L"Failed to Back up " + copy.to + L" " + text, kLogRed);
    // A full disk ends the pass whichever side it is on.
    return result;
}

// Both sides of the record take what was copied: the source as the copier read it, which
// may be newer than what the Check saw. The catalogs record these values, so the next
// Check finds the pair in step and sees any later change of either side.
void RecordCopied(SyncRunBlock& run, CFileInfo& record, const FileCopy& copy, const plat::FileInfo& copied) {
    LogAction(run, CopyLine(L"Copy ", copy), kLogBlack);
    ++run.counters.done;
    const LONGLONG lastWrite = plat::FileTimeToUnixSeconds(copied.lastWriteTime);
    // Only an overwrite on the source side copies from the record's counterpart.
    const bool fromCounterpart = !copy.toTarget && !copy.newFile;
    if (fromCounterpart) {
        record.SetCounterpartState(copied.size, copied.attributes, lastWrite);
    } else {
        record.attributes = copied.attributes;
        record.size = copied.size;
        record.lastWrite = lastWrite;
    }
    if (copy.newFile && copy.toRoot && *copy.toRoot) {
        record.SetCounterpart(*copy.toRoot, record.relativePath, record.attributes, record.size, record.lastWrite);
        record.state.Set(ItemState::kDone | (copy.toTarget ? ItemState::kOnTarget : ItemState::kOnSource));
    } else if (copy.newFile) {
        record.SetCounterpart(copy.to, record.relativePath, record.attributes, record.size, record.lastWrite);
        record.state.Set(ItemState::kDone | (copy.toTarget ? ItemState::kOnTarget : ItemState::kOnSource));
    } else if (copy.toTarget) {
        record.SetCounterpartState(record.size, record.attributes, record.lastWrite);
        record.state.Set(ItemState::kDone);
    } else {
        record.attributes = record.counterpartAttributes;
        record.size = record.counterpartSize;
        record.lastWrite = record.counterpartLastWrite;
        record.state.Set(ItemState::kDone);
    }
    ReportItemDone(run, record);
}

// The source is held by another program: with "Lock" on it waits for the shadow-copy
// step, with its action still open; else the item fails.
int HandleLockedSource(SyncRunBlock& run, CFileInfo& record, const FileCopy& copy) {
    if (run.syncOptions && run.syncOptions->lock) {
        run.shadowSourcePaths.push_back(copy.from);
        run.shadowTargetPaths.push_back(copy.to);
        record.state.Set(ItemState::kShadowCopy);
        run.shadowWaiting.push_back(record);
        record.shadowIndex = static_cast<int>(run.shadowWaiting.size() - 1);
        LogAction(run, CopyLine(L"Shadow Copy ", copy), kLogBlack);
    } else {
        MarkActionFailed(run, record, kErrorFileLocked);
        if (copy.toTarget) {
            LogAction(run, CopyLine(L"Failed to Copy ", copy) + L" (File Locked)", kLogRed);
        } else {
            LogAction(run, CopyLine(L"Failed Shadow Copy ", copy) + L" (File Locked)", kLogRed);
        }
    }
    ReportItemDone(run, record);
    return record.state.IsError() ? 0 : 1;
}

// `folders`: the open folders of the record's folder pair, or null.
int CopyFileAction(SyncRunBlock& run, CFileInfo& record, DWORD& counter, PairFolders* folders) {
    FileCopy copy = PlanFileCopy(*run.task, record);
    if (folders) copy.toRoot = folders->RootPath(copy.toTarget);
    // A new file has one name on both sides: it is copied by name in the pair's open folders.
    const plat::FolderHandle* fromFolder = copy.newFile && folders ? folders->Side(!copy.toTarget) : nullptr;
    const plat::FolderHandle* toFolder = fromFolder ? folders->Side(copy.toTarget) : nullptr;
    const std::string name = toFolder ? NameOf(record.relativePath) : std::string();
    CopyMadeAhead made;
    if (toFolder && folders->Ahead()) made = folders->Ahead()->Take(&record);
    // A copy made ahead takes its name first: a link never replaces what is at the name, so
    // a name it took was free for the look below, which it spares. Any other goes on below.
    NamedAhead named;
    if (made.file.IsOpen() && !(IsNameFatCannotHold(plat::Utf8ToWide(name)) && KeepsFatNames(*toFolder))) {
        named = NameCopyMadeAhead(made, *toFolder, name);
    }
    if (toFolder) {
        // The folder was opened as a real folder below its root: no link on the way.
        bool taken = false;
        const DWORD problem = named.named || named.failed ? ERROR_SUCCESS : NewNameProblemIn(*toFolder, name, taken);
        // Something at the name: the copy made ahead goes, and the copy below reports it.
        if (taken) made = {};
        if (problem != ERROR_SUCCESS) {
            ++counter;
            ReportProgress(run, counter);
            return FailCopy(run, record, copy, problem);
        }
    } else if (copy.newFile) {
        if (const DWORD problem = NewNameProblem(copy.to); problem != ERROR_SUCCESS) {
            ++counter;
            ReportProgress(run, counter);
            return FailCopy(run, record, copy, problem);
        }
    }
    if (copy.newFile && !toFolder &&
        !ParentsAreRealFolders(copy.toTarget ? run.task->targetFolder : run.task->sourceFolder, record.relativePath)) {
        const DWORD error = GetLastError();  // a link on the way: access denied; a file: path not found
        ++counter;
        ReportProgress(run, counter);
        return FailCopy(run, record, copy, error);
    }
    if (!copy.newFile) {
        if (!IsFileAsChecked(copy.to, copy.replacedSize, copy.replacedLastWrite)) {
            ++counter;
            ReportProgress(run, counter);
            return FailCopy(run, record, copy, kErrorChangedSinceCheck);
        }
        if (SavesReplacedFiles(run)) {
            if (const int result = BackUpReplacedFile(run, record, copy); result != 1) return result;
        }
    }

    // Only a new file is asked about Stop: an overwrite runs to its end.
    const HWND window = TaskWindowOf(run);
    const bool madeAhead = made.file.IsOpen() || named.named || named.failed;
    plat::FileInfo copiedSource;
    CopyOptions options;
    options.copied = &copiedSource;
    const std::wstring& catalog = copy.toTarget ? run.task->targetCatalog : run.task->sourceCatalog;
    options.noteFolder = plat::ParentPath(plat::WideToUtf8(catalog));
    const int copied =
        madeAhead ? FinishCopyMadeAhead(made, *toFolder, name, window, window, named)
        : toFolder
            ? CopyFileBetween(*fromFolder, name, *toFolder, name, window, window, CopySpeedOf(run),
                              CopyDisposition::kCreateNew, options)
            : CopyFileChunked(copy.from, copy.to, copy.newFile ? window : nullptr, window, CopySpeedOf(run),
                              copy.newFile ? CopyDisposition::kCreateNew : CopyDisposition::kCreateAlways, options);
    const DWORD error = GetLastError();
    ++counter;
    ReportProgress(run, counter);

    if (copied == 1) {
        RecordCopied(run, record, copy, madeAhead ? made.source : copiedSource);
        return 1;
    }
    // A stopped copy leaves no partial file and the destination as it was.
    if (copied == -1) return 0;
    if (IsFileLocked(copy.from)) return HandleLockedSource(run, record, copy);
    return FailCopy(run, record, copy, error);
}

int CopyTimeAction(SyncRunBlock& run, CFileInfo& record, DWORD& counter) {
    const bool toTarget = record.state.IsAction(ItemState::kCopyTimeToRight);
    const std::wstring path = toTarget ? record.counterpartPath() : record.path();
    const LONGLONG time = toTarget ? record.lastWrite : record.counterpartLastWrite;
    // A file changed since the Check must not be given a time that makes it look in step.
    const bool asChecked = toTarget ? IsFileAsChecked(path, record.counterpartSize, record.counterpartLastWrite)
                                    : IsFileAsChecked(path, record.size, record.lastWrite);
    const bool set = asChecked && CopyFileTime(path, time);
    const DWORD error = asChecked ? GetLastError() : kErrorChangedSinceCheck;
    if (set) {
        ++run.counters.done;
        if (toTarget) {
            record.counterpartLastWrite = time;
        } else {
            record.lastWrite = time;
        }
        record.state.Set(ItemState::kDone);
        LogAction(run, L"Set File Time to " + path, kLogBlack);
        ReportItemDone(run, record);
        ++counter;
        ReportProgress(run, counter);
        return 1;
    }
    MarkActionFailed(run, record, error);
    LogAction(run, WithReason(L"Failed to Set File Time to " + path, error), kLogRed);
    ReportItemDone(run, record);
    return 0;
}

int ExecuteAction(SyncRunBlock& run, CFileInfo& record, DWORD& counter, PairFolders* folders) {
    if (IsLeftAloneByPasses(record.state)) return 1;
    if (record.state.IsFolder()) return CreateFolderAction(run, record, counter);
    switch (record.state.Action()) {
    case ItemState::kCopyToRight:
    case ItemState::kCopyToLeft: return CopyFileAction(run, record, counter, folders);
    case ItemState::kCopyTimeToRight:
    case ItemState::kCopyTimeToLeft: return CopyTimeAction(run, record, counter);
    default: return 1;  // deletes belong to the delete pass
    }
}

// Acts on `record` and asks the Stop question. Returns -1 when the pass must end.
int ActThenAskStop(SyncRunBlock& run, CFileInfo& record, DWORD& counter, PairFolders* folders = nullptr) {
    if (ExecuteAction(run, record, counter, folders) == -1) {
        run.SetResult(kRunDiskFull);
        return -1;
    }
    return StopPressedAfterItem(run) ? -1 : 1;
}

// What a new folder that could not be made holds is not copied either, so that none of
// it lands in another folder of a similar name: each item ends failed, with one line.
void FailContentsOfUnmadeFolder(SyncRunBlock& run, FolderTreeNode& node) {
    const CFileInfo& folder = *node.folder;
    const bool creation = (folder.state.IsSourceOnly() && folder.state.IsAction(ItemState::kCopyToRight)) ||
                          (folder.state.IsTargetOnly() && folder.state.IsAction(ItemState::kCopyToLeft));
    if (!creation || !folder.state.IsError()) return;
    DWORD items = 0;
    ForEachRecord(node, [&](CFileInfo& record) {
        if (&record != &folder && !IsLeftAloneByPasses(record.state)) {
            MarkActionFailed(run, record, folder.failure());
            ReportItemDone(run, record);
            ++items;
        }
        return true;
    });
    if (items != 0) {
        LogAction(run, L"Not copied: " + std::to_wstring(items) + L" items in " + plat::Utf8ToWide(folder.relativePath),
                  kLogRed);
    }
}

// The new files of one folder pair queued to the pass's helpers a few ahead of the pass,
// in the order the pass copies them (the source side's files, then the target side's).
// What is still queued when the pair is left (Stop, a full disk) is dropped.
class PairCopiesAhead {
public:
    PairCopiesAhead(PairFolders& folders, FolderPair pair, DWORD speed)
        : folders_(folders), ahead_(folders.Ahead()), chunk_(CopyChunkSizeForSpeed(speed)) {
        if (pair.source && pair.source->files) lists_[0] = pair.source->files.get();
        if (pair.target && pair.target->files) lists_[1] = pair.target->files.get();
    }
    ~PairCopiesAhead() {
        if (ahead_) ahead_->DropAll();
    }
    PairCopiesAhead(const PairCopiesAhead&) = delete;
    PairCopiesAhead& operator=(const PairCopiesAhead&) = delete;

    // Keeps the helpers a few files ahead of the pass.
    void QueueMore() {
        if (!ahead_) return;
        for (std::size_t queued = ahead_->Queued(); queued < kQueueAhead && list_ < 2;) {
            CFileInfoArray* files = lists_[list_];
            if (!files || next_ >= static_cast<std::size_t>(files->GetSize())) {
                ++list_;
                next_ = 0;
                continue;
            }
            CFileInfo& record = (*files)[static_cast<int>(next_++)];
            if (!IsNewFileCopy(record) || record.size > chunk_) continue;
            const bool toTarget = record.state.IsAction(ItemState::kCopyToRight);
            const plat::FolderHandle* from = folders_.Side(!toTarget);
            const plat::FolderHandle* to = folders_.Side(toTarget);
            if (!from || !to) {
                ahead_ = nullptr;  // the pass copies by path, which reports why
                return;
            }
            ahead_->Queue(&record, *from, *to, NameOf(record.relativePath));
            ++queued;
        }
    }

private:
    static constexpr std::size_t kQueueAhead = 48;

    PairFolders& folders_;
    CopiesAhead* ahead_;
    const ULONGLONG chunk_;
    CFileInfoArray* lists_[2] = {nullptr, nullptr};
    int list_ = 0;
    std::size_t next_ = 0;
};

// The copy actions of one folder of the walk: its own records and its files, each side's
// in turn. -1 when Stop was pressed.
int CopyActionsOfFolder(SyncRunBlock& run, FolderPair pair, DWORD& counter, PassFolders* pass) {
    FolderTreeNode* const sourceNode = pair.source;
    FolderTreeNode* const targetNode = pair.target;
    if (sourceNode && sourceNode->folder) {
        if (ActThenAskStop(run, *sourceNode->folder, counter) == -1) return -1;
        FailContentsOfUnmadeFolder(run, *sourceNode);
    }
    if (targetNode && targetNode->folder && targetNode->folder->state.IsTargetOnly()) {
        if (ActThenAskStop(run, *targetNode->folder, counter) == -1) return -1;
        FailContentsOfUnmadeFolder(run, *targetNode);
    }

    // Made after the folder records' actions, which may have made the folders.
    PairFolders folders(pass, pair);
    PairCopiesAhead ahead(folders, pair, CopySpeedOf(run));
    if (sourceNode && sourceNode->files) {
        for (CFileInfo& file : *sourceNode->files) {
            ahead.QueueMore();
            if (ActThenAskStop(run, file, counter, &folders) == -1) return -1;
        }
    }
    if (targetNode && targetNode->files) {
        for (CFileInfo& file : *targetNode->files) {
            if (file.state.IsTargetOnly()) {
                ahead.QueueMore();
                if (ActThenAskStop(run, file, counter, &folders) == -1) return -1;
            } else if (StopPressedAfterItem(run)) {
                return -1;
            }
        }
    }
    return 1;
}

}  // namespace

int ExecuteCopyAction(SyncRunBlock& run, CFileInfo& record, DWORD& counter) {
    return ExecuteAction(run, record, counter, nullptr);
}

int WalkCopyActions(SyncRunBlock& run, FolderTreeNode* sourceRoot, FolderTreeNode* targetRoot, DWORD& counter) {
    // A root that cannot be opened now sends every copy by path, which reports why.
    PassFolders pass(CopySpeedOf(run));
    pass.sourceRootPath = MakeSideRoot(run.task->sourceFolder);
    pass.targetRootPath = MakeSideRoot(run.task->targetFolder);
    if (pass.sourceRoot.Open(plat::WideToUtf8(run.task->sourceFolder)))
        pass.targetRoot.Open(plat::WideToUtf8(run.task->targetFolder));
    // Parents before their contents: a folder is made before what goes into it.
    const bool walked = WalkFolderPairs({sourceRoot, targetRoot}, [&](FolderPair pair) {
        return CopyActionsOfFolder(run, pair, counter, &pass) != -1;
    });
    return walked ? 1 : -1;
}
