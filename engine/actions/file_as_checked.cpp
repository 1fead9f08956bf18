#include "engine/actions/file_as_checked.h"

#include "engine/model/item_state.h"
#include "platform/core/file_system.h"
#include "platform/core/file_time.h"
#include "platform/core/text.h"

bool IsFileAsChecked(const std::wstring& path, ULONGLONG size, LONGLONG lastWrite) {
    plat::FileInfo info;
    if (path.empty() || !plat::GetFileInfo(plat::WideToUtf8(path), info) || !info.IsFile()) return false;
    return info.size == size && !TimesDiffer(plat::FileTimeToUnixSeconds(info.lastWriteTime), lastWrite);
}
