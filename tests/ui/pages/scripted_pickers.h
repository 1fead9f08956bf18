#pragma once
// Pickers that answer from a script and record what they were asked.

#include <optional>
#include <string>

#include "platform/core/gui_services.h"

namespace pagetest {

class ScriptedPickers : public plat::GuiServices {
public:
    ScriptedPickers() : previous_(plat::SetGuiServices(this)) {}
    ~ScriptedPickers() override { plat::SetGuiServices(previous_); }
    ScriptedPickers(const ScriptedPickers&) = delete;
    ScriptedPickers& operator=(const ScriptedPickers&) = delete;

    std::optional<std::wstring> OpenFileName(const plat::OpenFileRequest& request) override {
        title = request.title;
        start = request.initialFile;
        return answer;
    }
    std::optional<std::wstring> BrowseForFolder(HWND, const std::wstring& dialogTitle,
                                                const std::wstring& initial) override {
        title = dialogTitle;
        start = initial;
        return answer;
    }
    HWND CreateComboBoxEx(HWND, DWORD, const RECT&, UINT) override { return nullptr; }

    std::optional<std::wstring> answer;
    std::wstring title;
    std::wstring start;

private:
    plat::GuiServices* previous_;
};

}  // namespace pagetest
