#pragma once
// The "Program" page (IDD_PROGRAM_PAGE) of the "Default Options" sheet: starting with the
// desktop session, and the preferred folders that a task window offers for its folders.
// The page keeps its own fields and writes them to the settings file on OK.

#include <string>

#include "ui/pages/editable_list.h"
#include "ui/pages/option_page.h"

class QMenu;

class CConfigProgramPage : public COptionPage {
    Q_OBJECT
public:
    static constexpr UINT kHelpTopic = 10001;

    CConfigProgramPage();

    bool autostart = false;
    std::wstring folders;  // each folder followed by a blank, quoted when it holds blanks

    EditableList* FolderList() const { return folderList_; }
    QMenu* AddMenu() const { return addMenu_; }

    BOOL OnApply() override;

protected:
    BOOL OnInitDialog() override;

private:
    void BuildAddMenu();
    void AddFolder(const std::wstring& text, bool edit);
    void BrowseFolder();
    void RemoveSelected();
    bool StoreAutostart();

    bool autostartCopy_;  // as the page found it
    EditableList* folderList_;
    QMenu* addMenu_ = nullptr;
};

// Whether the session starts the program: its Run value is there and not empty.
bool IsAutoStartRegistered();
