#pragma once
// The GUI services over Qt: QFileDialog for files and folders, ComboBoxEx for the
// editable combo box. Install once on the GUI thread after the QApplication exists.

#include <QStringList>
#include <string_view>

#include "platform/core/gui_services.h"

namespace plat {

class QtGuiServices : public GuiServices {
public:
    QtGuiServices();
    ~QtGuiServices() override;
    QtGuiServices(const QtGuiServices&) = delete;
    QtGuiServices& operator=(const QtGuiServices&) = delete;

    std::optional<std::wstring> OpenFileName(const OpenFileRequest& request) override;
    std::optional<std::wstring> SaveFileName(const OpenFileRequest& request) override;
    std::optional<std::wstring> BrowseForFolder(HWND owner, const std::wstring& title,
                                                const std::wstring& initialFolder) override;
    HWND CreateComboBoxEx(HWND parent, DWORD style, const RECT& rect, UINT id) override;
    int SmallIconIndex(const std::wstring& path, IconKind kind, bool onDisk) override;

private:
    GuiServices* previous_;
};

// A filter list "Name|patterns|..." as the file dialog's name filters: each name keeps
// its text without a trailing "(...)", followed by its patterns in parentheses, blank
// separated, with "*.*" as "*" (any name, with or without a dot). A name without
// patterns is dropped.
QStringList FileDialogFilters(std::wstring_view filter);

}  // namespace plat
