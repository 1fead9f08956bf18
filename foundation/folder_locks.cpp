#include "foundation/folder_locks.h"

#include "foundation/path_utils.h"
#include "platform/core/named_mutex.h"
#include "platform/core/paths.h"
#include "platform/core/text.h"

namespace {

constexpr std::wstring_view kGateName = L"qbsync";

}  // namespace

std::string TaskMutexName(std::wstring_view text, bool global) {
    return std::string(global ? "Global\\" : "Local\\") + plat::WideToUtf8(PathToFlatName(text));
}

std::wstring LockFolderText(const std::wstring& folder) {
    const std::string canonical = plat::CanonicalPath(plat::WideToUtf8(folder));
    return canonical.empty() ? folder : plat::Utf8ToWide(canonical);
}

int LockTaskMutex(std::wstring_view text, bool global, bool waitForever, unsigned waitMs) {
    const plat::NamedMutex mutex = plat::NamedMutex::Create(TaskMutexName(text, global));
    if (!mutex.IsOpen()) return 0;
    return plat::IsOwned(mutex.Wait(waitForever ? INFINITE : waitMs)) ? 1 : 0;
}

void UnlockTaskMutex(std::wstring_view text, bool global) {
    const plat::NamedMutex mutex = plat::NamedMutex::Open(TaskMutexName(text, global));
    if (mutex.IsOpen()) mutex.Release();
}

int LockTaskFolders(const std::wstring& sourceFolder, const std::wstring& targetFolder, bool global, bool waitForever,
                    unsigned waitMs) {
    const std::wstring source = LockFolderText(sourceFolder);
    const std::wstring target = LockFolderText(targetFolder);
    if (!LockTaskMutex(kGateName, global, waitForever, waitMs)) return 0;
    if (!LockTaskMutex(source, global, waitForever, waitMs)) {
        UnlockTaskMutex(kGateName, global);
        return 0;
    }
    if (!LockTaskMutex(target, global, waitForever, waitMs)) {
        UnlockTaskMutex(source, global);
        UnlockTaskMutex(kGateName, global);
        return 0;
    }
    UnlockTaskMutex(kGateName, global);
    return 1;
}

void UnlockTaskFolders(const std::wstring& sourceFolder, const std::wstring& targetFolder, bool global) {
    UnlockTaskMutex(LockFolderText(sourceFolder), global);
    UnlockTaskMutex(LockFolderText(targetFolder), global);
}
