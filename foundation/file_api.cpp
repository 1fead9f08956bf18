#include "foundation/file_api.h"

#include "platform/core/file_system.h"
#include "platform/core/gui_services.h"
#include "platform/core/text.h"

std::wstring MultiByteToUnicodeString(std::string_view text) { return plat::Utf8ToWide(text); }

std::string UnicodeStringToMultiByte(std::wstring_view text) { return plat::WideToUtf8(text); }

bool MyCreateDirectory(const std::wstring& path) { return plat::CreateFolder(plat::WideToUtf8(path)); }

bool CreateComplexDirectory(const std::wstring& path) {
    if (path.empty()) return false;
    const std::string native = plat::WideToUtf8(path);
    if (plat::IsRootPath(native)) return true;
    return plat::CreateFolderWithParents(native);
}

bool FileExistsWrapper(const std::wstring& path) { return plat::PathExists(plat::WideToUtf8(path)); }

bool MyGetOpenFileName(HWND owner, const std::wstring& title, const std::wstring& initialFile,
                       const std::wstring& filterDescription, std::wstring& result) {
    result = initialFile;
    plat::GuiServices* gui = plat::GetGuiServices();
    if (!gui) return false;
    plat::OpenFileRequest request;
    request.owner = owner;
    request.title = title;
    request.initialFile = initialFile;
    request.filterDescription = filterDescription;
    const auto chosen = gui->OpenFileName(request);
    if (!chosen) return false;
    result = *chosen;
    return true;
}

bool BrowseForFolder(HWND owner, const std::wstring& title, const std::wstring& initialFolder, std::wstring& result) {
    result.clear();
    plat::GuiServices* gui = plat::GetGuiServices();
    if (!gui) return false;
    const auto chosen = gui->BrowseForFolder(owner, title, initialFolder);
    if (!chosen || chosen->empty()) return false;
    result = *chosen;
    return true;
}

HWND CreateComboBoxExW(HWND parent, DWORD style, const RECT& rect, UINT id) {
    plat::GuiServices* gui = plat::GetGuiServices();
    return gui ? gui->CreateComboBoxEx(parent, style, rect, id) : nullptr;
}
