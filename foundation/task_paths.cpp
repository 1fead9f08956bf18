#include "foundation/task_paths.h"

#include <algorithm>
#include <string_view>

#include "foundation/path_utils.h"
#include "foundation/placeholders.h"
#include "foundation/program_state.h"
#include "foundation/sync_task.h"
#include "foundation/volume_labels.h"
#include "platform/core/sha256.h"
#include "platform/core/text.h"
#include "platform/core/xdg_base_dirs.h"

namespace {

constexpr std::wstring_view kSideDataFolder = L"_qb_sync";
constexpr std::wstring_view kCatalogName = L"_qb_sync._if";
constexpr std::wstring_view kBackupName = L"_backup";
constexpr std::wstring_view kProgramDrive = L"<qbsync>";

constexpr std::size_t kHashDigits = 12;
constexpr std::size_t kLongestFileName = 255;  // bytes, the file systems' limit

std::string ProgramFolderOf(const TaskPathSources& sources) {
    if (!sources.programFolder.empty()) return sources.programFolder;
    if (!ProgramState().programFolder.empty()) return ProgramState().programFolder;
    return GetProgramFolder();
}

std::wstring DataFolderOf(const TaskPathSources& sources) {
    return plat::Utf8ToWide(sources.dataFolder.empty() ? ProgramState().dataFolder : sources.dataFolder);
}

bool IsAbsolute(std::wstring_view path) { return !path.empty() && path.front() == kPathSeparatorW; }

// A stored "<name>:\rest" on the volume mounted at `mountPoint`. The form was written with
// a drive letter in mind: the ':' after the name goes and the rest's '\' become '/'.
std::wstring OnMount(const std::wstring& mountPoint, std::wstring_view rest) {
    if (!rest.empty() && rest.front() == L':') rest.remove_prefix(1);
    std::wstring tail(rest);
    std::replace(tail.begin(), tail.end(), L'\\', kPathSeparatorW);
    return RemoveTrailingBackslashW(PathJoinW(mountPoint, tail));
}

// The root of the file system that holds the program's folder, or "".
std::wstring ProgramRoot(const TaskPathSources& sources) {
    plat::MountEntry mount;
    if (!plat::GetMountOfPath(ProgramFolderOf(sources), mount, sources.volumes)) return {};
    return plat::Utf8ToWide(mount.mountPoint);
}

// The side's "_qb_sync" folder: in the side's own folder, or in the data area when the
// side must stay free of program data. "" when the data area is needed and unknown.
std::wstring SideDataFolder(const std::wstring& resolved, const std::wstring& asEntered, bool keepOut,
                            const TaskPathSources& sources) {
    if (!keepOut) return PathJoinW(resolved, kSideDataFolder);
    const std::wstring dataFolder = DataFolderOf(sources);
    if (!IsAbsolute(dataFolder)) return {};
    return PathJoinW(PathJoinW(dataFolder, kSideDataFolder), DataAreaFolderName(asEntered));
}

// "<task name>.log", or "" for a name that would reach outside the folder.
std::wstring LogFileName(const std::string& taskName) {
    if (taskName.empty() || taskName.find_first_of(std::string_view("/\0", 2)) != std::string::npos) return {};
    return plat::Utf8ToWide(taskName) + L".log";
}

}  // namespace

std::wstring ResolveTaskPathToken(const std::wstring& path, const TaskPathSources& sources) {
    // "~" and "~/..." as typed are the home folder; no other folder text can be relative.
    std::wstring resolved = ExpandTemplatePath(plat::ExpandHomeFolder(path));
    const std::wstring_view view(resolved);
    if (view.starts_with(kProgramDrive)) {
        const std::wstring root = ProgramRoot(sources);
        resolved = root.empty() ? std::wstring() : OnMount(root, view.substr(kProgramDrive.size()));
    } else if (view.starts_with(L'<')) {
        const std::size_t close = view.find(L'>');
        if (close == std::wstring_view::npos) return {};
        const std::wstring mount = FindDriveByVolumeLabel(std::wstring(view.substr(1, close - 1)), sources.volumes);
        resolved = mount.empty() ? std::wstring() : OnMount(mount, view.substr(close + 1));
    }
    return IsAbsolute(resolved) ? resolved : std::wstring();
}

std::wstring DataAreaFolderName(const std::wstring& folderAsEntered) {
    // The safe name alone is never unique: '/', '.', ':' and '_' all end as '_', and every
    // usable folder text holds a separator or a placeholder. The hash tells them apart.
    const std::string exact = plat::WideToUtf8(folderAsEntered);
    const std::string hash = plat::Sha256Hex(exact).substr(0, kHashDigits);
    const std::string safe = plat::WideToUtf8(PathToSafeNameW(folderAsEntered));
    const std::string_view kept = plat::CutUtf8(safe, kLongestFileName - kHashDigits - 1);
    return plat::Utf8ToWide(kept) + L'_' + plat::Utf8ToWide(hash);
}

void BuildTaskDataPaths(SyncTask& task, const TaskPathSources& sources) {
    task.UpdateSyncKind();
    for (std::wstring* path : {&task.sourceFolder, &task.targetFolder, &task.sourceLog, &task.targetLog,
                               &task.sourceCatalog, &task.targetCatalog, &task.sourceBackup, &task.targetBackup}) {
        path->clear();
    }

    const std::wstring& sourceEntered = task.swapped ? task.rightFolder : task.leftFolder;
    const std::wstring& targetEntered = task.swapped ? task.leftFolder : task.rightFolder;
    if (sourceEntered.empty() || targetEntered.empty()) return;
    const std::wstring source = ResolveTaskPathToken(sourceEntered, sources);
    const std::wstring target = ResolveTaskPathToken(targetEntered, sources);
    if (source.empty() || target.empty()) return;

    const SyncOptionValues defaults;
    const SyncOptionValues& options = task.syncOptions ? *task.syncOptions : defaults;
    const std::wstring sourceData = SideDataFolder(source, sourceEntered, options.readOnly != 0, sources);
    const std::wstring targetData = SideDataFolder(target, targetEntered, options.readOnlyTarget != 0, sources);
    if (sourceData.empty() || targetData.empty()) return;

    task.sourceFolder = source;
    task.targetFolder = target;
    const std::wstring logName = LogFileName(task.name);
    if (!logName.empty()) {
        task.sourceLog = PathJoinW(sourceData, logName);
        task.targetLog = PathJoinW(targetData, logName);
    }
    task.sourceCatalog = PathJoinW(sourceData, kCatalogName);
    task.targetCatalog = PathJoinW(targetData, kCatalogName);
    task.sourceBackup = PathJoinW(sourceData, kBackupName);
    task.targetBackup = PathJoinW(targetData, kBackupName);
}
