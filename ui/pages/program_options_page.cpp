#include "ui/pages/program_options_page.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QMenu>
#include <QToolButton>
#include <QVBoxLayout>

#include "foundation/file_api.h"
#include "foundation/main_window.h"
#include "foundation/options/filter_options.h"
#include "foundation/path_utils.h"
#include "foundation/program_state.h"
#include "foundation/quoted_list.h"
#include "foundation/registry_utils.h"
#include "foundation/settings_keys.h"
#include "foundation/settings_store.h"
#include "platform/core/window.h"
#include "resources/command_ids.h"
#include "resources/control_ids.h"
#include "resources/dialog_ids.h"
#include "ui/pages/list_button_icons.h"

namespace {

constexpr const char* kRunKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr const char* kRunValue = "Quarrybend Sync";

// The settings file holds every option of the program; only another store would keep
// the start with the session in the Run value.
bool SettingsInFile() { return ProgramState().useIniFile; }

}  // namespace

bool IsAutoStartRegistered() { return !RegReadString(HKEY_CURRENT_USER, kRunKey, kRunValue, "").empty(); }

CConfigProgramPage::CConfigProgramPage() : COptionPage(IDD_PROGRAM_PAGE, "Program") {
    SetHelpTopic(kHelpTopic);
    autostart = SettingsInFile() ? false : IsAutoStartRegistered();
    autostartCopy_ = autostart;
    folders = ReadSettingW(settings::kFolders);

    auto* layout = new QVBoxLayout(this);
    QCheckBox* box = MakeCheckBox(IDC_AUTOSTART, "Load on Windows Startup and stay in Notification Area");
    MarkModifiedOnClick(box);
    layout->addWidget(box);

    folderList_ = new EditableList(IDC_PREFERRED_FOLDERS, this);
    auto* row = new QHBoxLayout;
    row->addWidget(folderList_);
    auto* buttons = new QVBoxLayout;
    for (const auto& [id, icon] :
         {std::pair{IDC_ADD_FOLDER, AddEntryIcon()}, std::pair{IDC_REMOVE_FOLDER, RemoveEntryIcon()}}) {
        auto* button = new QToolButton(this);
        button->setObjectName(QString::number(id));
        button->setIcon(icon);
        buttons->addWidget(button);
    }
    buttons->addStretch();
    row->addLayout(buttons);
    layout->addLayout(row);
    connect(folderList_, &EditableList::ItemEdited, this, [this] { SetModified(TRUE); });

    BuildAddMenu();
    connect(static_cast<QToolButton*>(GetDlgItem(IDC_ADD_FOLDER)), &QToolButton::clicked, this, [this] {
        const QWidget* button = GetDlgItem(IDC_ADD_FOLDER);
        addMenu_->popup(button->mapToGlobal(QPoint(0, button->height())));
    });
    connect(static_cast<QToolButton*>(GetDlgItem(IDC_REMOVE_FOLDER)), &QToolButton::clicked, this,
            &CConfigProgramPage::RemoveSelected);
}

void CConfigProgramPage::BuildAddMenu() {
    addMenu_ = new QMenu(this);
    // "Desktop" names the placeholder that task folders resolve, so the entry works
    // wherever the list is offered.
    const std::pair<const char*, const wchar_t*> places[] = {{"Documents", L"<Documents>"},
                                                             {"Pictures", L"<Pictures>"},
                                                             {"Music", L"<Music>"},
                                                             {"Video", L"<Video>"},
                                                             {"Desktop", L"<DESKTOPDIRECTORY>"}};
    for (const auto& [text, entry] : places) {
        const std::wstring item = entry;
        addMenu_->addAction(QString::fromUtf8(text), this, [this, item] { AddFolder(item, false); });
    }
    addMenu_->addAction(QStringLiteral("Browse For Folder..."), this, [this] { BrowseFolder(); });
    addMenu_->addAction(QStringLiteral("New"), this, [this] { AddFolder(L"New", true); });
}

BOOL CConfigProgramPage::OnInitDialog() {
    auto* box = static_cast<QCheckBox*>(GetDlgItem(IDC_AUTOSTART));
    box->setChecked(autostart);
    box->setEnabled(!SettingsInFile());
    std::vector<std::wstring> entries;
    SplitQuotedList(folders, entries);
    folderList_->SetItems(entries);
    return TRUE;
}

void CConfigProgramPage::AddFolder(const std::wstring& text, bool edit) {
    folderList_->AppendItem(text, edit);
    SetModified(TRUE);
}

void CConfigProgramPage::BrowseFolder() {
    std::wstring folder;
    if (!BrowseForFolder(GetSafeHwnd(), L"Get Folder Name", L"", folder)) return;
    AddFolder(L"\"" + folder + L"\"", false);
}

void CConfigProgramPage::RemoveSelected() {
    if (folderList_->RemoveSelected() == 0) {
        ShowMessage(kNothingSelectedToRemoveText);
        return;
    }
    SetModified(TRUE);
}

bool CConfigProgramPage::StoreAutostart() {
    if (SettingsInFile() || autostart == autostartCopy_) return true;
    bool ok = true;
    if (autostart) {
        ok = RegWriteStringValue(HKEY_CURRENT_USER, kRunKey, kRunValue, "\"" + GetFullExeName() + "\" /load");
    } else {
        ok = RegDeleteNamedValue(HKEY_CURRENT_USER, kRunKey, kRunValue);
    }
    SendMessage(GetMainWindow(), WM_COMMAND, ID_TOGGLE_TRAY_ICON, 0);
    ok &= WriteSetting(settings::kTrayIcon, autostart ? 1 : 0);
    autostartCopy_ = autostart;
    return ok;
}

BOOL CConfigProgramPage::OnApply() {
    autostart = static_cast<const QCheckBox*>(GetDlgItem(IDC_AUTOSTART))->isChecked();
    bool ok = StoreAutostart();
    // The same rebuild as the filter texts: trimmed entries, one blank after each. An
    // empty list removes the key, so the default folders come back.
    folders = CConfigCompressFilterPage::BuildFilterText(folderList_->Items());
    ok &= WriteSettingW(settings::kFolders, folders);
    if (!ok) ReportSettingsNotWritten();
    return TRUE;
}
