// A task window's folder and option commands: Browse, a folder box's list and Enter, the
// volume-label form of a folder on a removable disk, the "Sync Options" sheet and the
// automatic-run sheet with what a change of automatic runs needs.
#include <QLineEdit>
#include <algorithm>

#include "controls/text_progress_bar.h"
#include "controls/tree_property_sheet/property_sheet.h"
#include "controls/tree_property_sheet/property_sheet_defs.h"
#include "controls/tree_property_sheet/tree_prop_sheet.h"
#include "engine/run/volume_queries.h"
#include "foundation/file_api.h"
#include "foundation/history_record.h"
#include "foundation/history_store.h"
#include "foundation/placeholders.h"
#include "foundation/registry_utils.h"
#include "foundation/resource_strings.h"
#include "foundation/settings_keys.h"
#include "foundation/settings_store.h"
#include "foundation/sync_task.h"
#include "foundation/task_paths.h"
#include "foundation/volume_labels.h"
#include "platform/core/clock.h"
#include "platform/core/text.h"
#include "platform/qt/combo_box_ex.h"
#include "resources/sync_messages.h"
#include "ui/dialogs/get_name_dlg.h"
#include "ui/dialogs/prompt_dlg.h"
#include "ui/frame/main_frame.h"
#include "ui/pages/auto_sync_page.h"
#include "ui/pages/options_sheets.h"
#include "ui/task_window/sync_dlg.h"

namespace {

constexpr char kRunKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr char kSchedulerValue[] = "QBSync";

// The placeholder of the program's own drive, which a label must not spell either.
constexpr std::wstring_view kProgramDrive = L"qbsync";

}  // namespace

// ---------------------------------------------------------------- storing the folders

LRESULT CSyncDlg::OnStoreFolders(WPARAM, LPARAM) {
    if (!task_) return 0;
    StoreFolders();
    return 1;
}

void CSyncDlg::TakeChosenFolder(int side, const std::wstring& folder, bool toHistoryHead) {
    auto& history = folderHistory_[static_cast<size_t>(side)];
    if (toHistoryHead && std::find(history.begin(), history.end(), folder) == history.end()) {
        history.insert(history.begin(), folder);
    }
    folderText_[static_cast<size_t>(side)] = folder;
    SetFolderBoxText(side, folder);
}

void CSyncDlg::OnBrowse(int side) {
    if (!task_ || running_) return;
    std::wstring chosen;
    const UINT title = side == 0 ? IDS_LEFT_FOLDER_TITLE : IDS_RIGHT_FOLDER_TITLE;
    if (!BrowseForFolder(GetSafeHwnd(), LoadResStringW(title), ReadFolderBox(side), chosen) || chosen.empty()) return;
    TakeChosenFolder(side, ToVolumeLabelPath(chosen), true);
    // The task list shows the new folder before the list of the old one goes.
    PostMessage(mainFrame_, WM_SYNC_TASK_CHANGED, static_cast<WPARAM>(taskRow_), 0);
    StoreAndReset();
}

void CSyncDlg::OnFolderChosenFromList(int side) {
    plat::ComboBoxEx* box = folderBoxes_[static_cast<size_t>(side)];
    const auto& history = folderHistory_[static_cast<size_t>(side)];
    if (!task_ || running_ || !box) return;
    const LRESULT index = box->Message(CB_GETCURSEL, 0, 0);
    if (index < 0 || static_cast<size_t>(index) >= history.size()) return;
    const std::wstring folder = history[static_cast<size_t>(index)];
    TakeChosenFolder(side, folder, false);
    PostMessage(mainFrame_, WM_SYNC_TASK_CHANGED, static_cast<WPARAM>(taskRow_), 0);
    StoreAndReset();
}

void CSyncDlg::OnOK(int side) {
    if (!task_ || running_ || side < 0 || side > 1) return;
    std::wstring text = ReadFolderBox(side);
    auto& history = folderHistory_[static_cast<size_t>(side)];
    if (!text.empty() && std::find(history.begin(), history.end(), text) == history.end()) {
        history.insert(history.begin(), text);
    }
    folderText_[static_cast<size_t>(side)] = std::move(text);
    // The new folder is the one resolved, not the one it replaces.
    task_->leftFolder = folderText_[0];
    task_->rightFolder = folderText_[1];
    BuildTaskDataPaths(*task_);
    PostMessage(mainFrame_, WM_SYNC_TASK_CHANGED, static_cast<WPARAM>(taskRow_), 0);
    StoreAndReset();
}

// ---------------------------------------------------------------- volume labels

std::wstring CSyncDlg::ToVolumeLabelPath(const std::wstring& path) {
    if (path.find(L'<') != std::wstring::npos) return path;
    plat::MountEntry mount;
    if (!plat::GetMountOfPath(plat::WideToUtf8(path), mount, volumeSources_)) return path;
    if (!IsRemovableDrive(path, volumeSources_)) return path;

    // The path below the mount point, from its separator on ("" for the mount point).
    const std::wstring mountPoint = plat::Utf8ToWide(mount.mountPoint);
    std::wstring below;
    if (path.size() > mountPoint.size() && path.compare(0, mountPoint.size(), mountPoint) == 0) {
        below = path.substr(mountPoint == L"/" ? mountPoint.size() - 1 : mountPoint.size());
    }
    std::wstring label = GetVolumeLabelOfDrive(path, volumeSources_);
    if (label.empty()) {
        GetNameDlg name(this, L"", path, volumeSources_);
        if (name.DoModal() != IDOK) return path;
        label = name.Name();
    }
    // The stored form must lead back to this folder: a label that spells a placeholder or
    // holds the form's own marks would resolve elsewhere, or nowhere.
    if (label.empty() || label.find_first_of(L"<>:") != std::wstring::npos ||
        plat::CompareNoCaseWide(label, kProgramDrive) == 0) {
        return path;
    }
    const std::wstring stored = L"<" + label + L">:" + below;
    if (ExpandTemplatePath(stored) != stored) return path;
    TaskPathSources sources;
    sources.volumes = volumeSources_;
    if (ResolveTaskPathToken(stored, sources) != path) return path;
    return stored;
}

// ---------------------------------------------------------------- options

LRESULT CSyncDlg::OnTaskOptions(WPARAM, LPARAM) {
    if (!task_ || running_ || !task_->syncOptions || !task_->filterOptions || !task_->logOptions) return 0;
    std::unique_ptr<CAutoSync> page = MakeAutoSyncPage(*task_);
    CAutoSync* automatic = page.get();
    const auto sheet =
        MakeTaskOptionsSheet(this, *task_->syncOptions, *task_->filterOptions, *task_->logOptions, std::move(page));
    const DWORD type = task_->syncOptions->type;
    const DWORD allowDelete = task_->syncOptions->allowDelete;
    const DWORD caseSensitive = task_->syncOptions->caseSensitive;
    task_->filterOptions->changed = false;
    if (sheet->DoModal() != IDOK) return 0;

    StoreFolders();
    AddHistoryRecord(*task_, kHistoryTaskChanged, kHistoryChangeOptions, kHistoryEventDone, "");
    // A new type or data-area choice can swap the sides and move the catalogs.
    BuildTaskDataPaths(*task_);
    UINT cleared = 0;
    if (task_->syncOptions->type != type) {
        UpdateSyncTypeIcon();
        cleared = IDS_CLEARED_BY_TYPE_CHANGE;
    } else if (task_->syncOptions->allowDelete != allowDelete || task_->filterOptions->changed ||
               task_->syncOptions->caseSensitive != caseSensitive) {
        cleared = IDS_CLEARED_BY_OPTION_CHANGE;
    }
    if (cleared != 0 && !IsItemListEmpty()) {
        ClearItemList(TRUE);
        SetStatusLine(LoadResString(cleared));
        ShowCurrentHint();
    }
    if (automatic->Changed()) FollowAutomaticRuns(true);
    return 1;
}

LRESULT CSyncDlg::OnAutomate(WPARAM, LPARAM) {
    if (!task_ || running_) return 0;
    CPropertySheet sheet(task_->name, this);
    sheet.flags |= PSH_HASHELP | PSH_NOAPPLYNOW;
    sheet.AddPage(MakeAutoSyncPage(*task_));
    if (sheet.DoModal() != IDOK) return 0;
    StoreFolders();
    AddHistoryRecord(*task_, kHistoryTaskChanged, kHistoryChangeAuto, kHistoryEventDone, "");
    PostMessage(mainFrame_, WM_SYNC_TASK_CHANGED, static_cast<WPARAM>(taskRow_), 0);
    FollowAutomaticRuns(false);
    return 1;
}

void CSyncDlg::FollowAutomaticRuns(bool fromOptions) {
    if (fromOptions) PostMessage(mainFrame_, WM_SYNC_TASK_CHANGED, static_cast<WPARAM>(taskRow_), 0);
    if (task_->repeatOn) {
        task_->repeatBase = plat::NowUnixSeconds();
        CMainFrame::ArmTaskTimer();
    }
    if (task_->scheduleOn) {
        const bool registered = !RegReadString(plat::RegRoot::CurrentUser, kRunKey, kSchedulerValue, "").empty();
        if (!registered && ReadUserProfileInt(settings::kNoPrompt.section, settings::kNoPrompt.key, 0) == 0) {
            CPromptDlg prompt(this);
            prompt.DoModal();
        }
        CMainFrame::ArmScriptTimer();
        CMainFrame::ArmTaskTimer();
    }
    if (task_->runOnDevice) CMainFrame::ArmTaskTimer();
}
