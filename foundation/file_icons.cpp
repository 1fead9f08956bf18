#include "foundation/file_icons.h"

#include "foundation/file_utils.h"
#include "platform/core/gui_services.h"
#include "platform/core/text.h"

namespace {

int IconIndex(const std::wstring& path, plat::IconKind kind, bool onDisk) {
    plat::GuiServices* gui = plat::GetGuiServices();
    return gui ? gui->SmallIconIndex(path, kind, onDisk) : -1;
}

plat::IconKind KindOnDisk(const std::wstring& path) {
    return GetPathKindW(path) == kPathFolder ? plat::IconKind::Folder : plat::IconKind::File;
}

}  // namespace

int GetFileIconIndexW(const std::wstring& name) {
    const int index = IconIndex(name, plat::IconKind::File, false);
    return index < 0 ? 0 : index;
}

int GetPathIconIndexW(const std::wstring& path) {
    const int index = IconIndex(path, KindOnDisk(path), true);
    if (index >= 0) return index;
    const int fallback = IconIndex(path, plat::IconKind::File, false);
    return fallback < 0 ? 0 : fallback;
}

int GetSmallIconIndex(const std::string& path) {
    const std::wstring wide = plat::Utf8ToWide(path);
    const int index = IconIndex(wide, KindOnDisk(wide), true);
    if (index >= 0) return index;
    const int folder = IconIndex(L".", plat::IconKind::Folder, false);
    return folder < 0 ? 0 : folder;
}

int GetOpenFolderIconIndex(const std::string& path) {
    const int index = IconIndex(plat::Utf8ToWide(path), plat::IconKind::OpenFolder, false);
    return index < 0 ? 0 : index;
}
