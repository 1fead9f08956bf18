// What the user does to the items between a Check and a Sync: other actions, deletions of
// a side's copy, opening and showing an item's copy, comparing the two, emptying the list,
// and the item tree's right-click menu.
#include <QCursor>
#include <QWidget>

#include "controls/text_progress_bar.h"
#include "controls/treelist/treelist_defs.h"
#include "engine/model/folder_tree.h"
#include "engine/model/tree_walk.h"
#include "engine/run/run_log.h"
#include "foundation/file_utils.h"
#include "foundation/program_state.h"
#include "foundation/resource_strings.h"
#include "foundation/shell_utils.h"
#include "foundation/sync_task.h"
#include "foundation/text_utils.h"
#include "platform/core/message_box.h"
#include "platform/core/shell_open.h"
#include "platform/core/text.h"
#include "platform/qt/popup_menu.h"
#include "resources/menu_ids.h"
#include "resources/menus.h"
#include "resources/sync_messages.h"
#include "ui/compare/compare_command.h"
#include "ui/dialogs/properties_dlg.h"
#include "ui/frame/main_frame.h"
#include "ui/task_window/sync_dlg.h"

namespace {

constexpr int kSetActionRestore = 5;
constexpr DWORD kKeepOutsideAction = 0xF00FFFFF;
constexpr DWORD kFinishedByUser = ItemState::kDone | ItemState::kUserChange;

bool AskYesNo(HWND owner, const std::string& text) {
    return MessageBox(owner, text, LoadResString(IDS_APP_TITLE), MB_YESNO | MB_ICONQUESTION) == IDYES;
}

// The word of an item whose copy on one side the user deleted. An item still to be carried
// out becomes a finished user action without that copy; one with a result keeps it and
// only gains the side's mark.
DWORD DeletedWord(DWORD word, bool sourceSide) {
    const DWORD sideMark = sourceSide ? ItemState::kSourceDeletedByUser : ItemState::kTargetDeletedByUser;
    if (word >= ItemState::kError) return word | sideMark;
    word = (word & ~(ItemState::kActionMask | ItemState::kConflict)) | kFinishedByUser;
    word &= ~(sourceSide ? ItemState::kOnSource : ItemState::kOnTarget);
    return word | sideMark;
}

}  // namespace

// ---------------------------------------------------------------- rows and records

void CSyncDlg::NoteRowRecord(HTREEITEM row, CFileInfo& record, FolderTreeNode* node) {
    record.treeItem = static_cast<int>(row);
    rowRecords_[row] = RowRecord{&record, node};
}

CSyncDlg::RowRecord CSyncDlg::RecordOfRow(HTREEITEM row) const {
    const auto found = rowRecords_.find(row);
    return found == rowRecords_.end() ? RowRecord{} : found->second;
}

ItemRowData* CSyncDlg::RowDataOf(HTREEITEM row) const {
    return row ? reinterpret_cast<ItemRowData*>(itemTree_.GetItemData(row)) : nullptr;
}

std::vector<HTREEITEM> CSyncDlg::SelectedRows() const {
    std::vector<HTREEITEM> rows;
    for (HTREEITEM row = itemTree_.GetNextSelectedItem(TVI_ROOT); row; row = itemTree_.GetNextSelectedItem(row)) {
        rows.push_back(row);
    }
    return rows;
}

void CSyncDlg::RefreshRow(HTREEITEM row) {
    const RowRecord behind = RecordOfRow(row);
    ItemRowData* data = RowDataOf(row);
    if (!behind.record || !data) return;
    // A refill reads the record; the row keeps the word it would be restored to.
    const DWORD rowSaved = data->savedState;
    SetItemRow(*behind.record, row, FALSE);
    data->savedState = rowSaved;
}

void CSyncDlg::MarkListChanged() {
    if (task_) task_->runFacts.Update([](TaskRunFacts& facts) { facts.needsAttention = 1; });
    listChanged_ = 1;
}

// ---------------------------------------------------------------- actions

LRESULT CSyncDlg::OnChangeAction(WPARAM value, LPARAM) {
    if (!task_ || running_ || value > kSetActionRestore) return 0;
    const bool swapped = task_->swapped != 0;
    for (const HTREEITEM row : SelectedRows()) {
        ItemRowData* data = RowDataOf(row);
        CFileInfo* record = RecordOfRow(row).record;
        if (!data || !record) continue;
        if (value == kSetActionRestore) {
            if (data->savedState == 0) continue;
            if (record->savedState != 0) record->state = ItemState(record->savedState);
            record->savedState = 0;
            data->state = data->savedState & ~ItemState::kUserChange;
            data->savedState = 0;
            RefreshRow(row);
            continue;
        }
        DWORD action = 0;
        const bool hasLeft = !data->leftPath.empty();
        const bool hasRight = !data->rightPath.empty();
        switch (value) {
        case 0:  // Left to Right
            if (data->folder && hasLeft) continue;
            action = hasLeft ? (swapped ? ItemState::kCopyToLeft : ItemState::kCopyToRight)
                             : (swapped ? ItemState::kDeleteLeft : ItemState::kDeleteRight);
            break;
        case 1:  // Right to Left
            if (data->folder && hasRight) continue;
            action = hasRight ? (swapped ? ItemState::kCopyToRight : ItemState::kCopyToLeft)
                              : (swapped ? ItemState::kDeleteRight : ItemState::kDeleteLeft);
            break;
        case 2:  // Copy Time to Right
        case 3:  // Copy Time to Left
            if ((record->state.Word() & ItemState::kCompareMask) != ItemState::kCompareTimeOnly) continue;
            action = (value == 2) != swapped ? ItemState::kCopyTimeToRight : ItemState::kCopyTimeToLeft;
            break;
        default: action = ItemState::kNoAction; break;
        }
        const DWORD old = record->state.Word();
        if ((old & ItemState::kActionMask) == action) continue;
        const DWORD word = (old & kKeepOutsideAction) | action | ItemState::kUserChange;
        if (record->savedState == 0) record->savedState = old;
        record->state = ItemState(word);
        if (data->savedState == 0) data->savedState = data->state;
        data->state = word;
        RefreshRow(row);
        MarkListChanged();
    }
    return 1;
}

// ---------------------------------------------------------------- deletions

void CSyncDlg::MarkItemDeleted(int side, DWORD state, HTREEITEM row, int folder) {
    const bool swapped = task_ && task_->swapped;
    const bool sourceSide = (side == 0) != swapped;
    const RowRecord behind = RecordOfRow(row);
    ItemRowData* data = RowDataOf(row);
    if (!behind.record || !data) return;

    const auto mark = [sourceSide](CFileInfo& record, DWORD word) {
        if (record.savedState == 0) record.savedState = record.state.Word();
        record.state = ItemState(DeletedWord(word, sourceSide));
    };
    mark(*behind.record, state);
    if (folder && behind.node) {
        // Every copy below the folder on that side went with it: each record of either tree
        // that had one is marked from its own word.
        const DWORD onSide = sourceSide ? ItemState::kOnSource : ItemState::kOnTarget;
        FolderTreeNode* trees[2] = {behind.node, behind.node->counterpart};
        for (FolderTreeNode* tree : trees) {
            if (!tree) continue;
            ForEachRecord(*tree, [&](CFileInfo& record) {
                if (&record != behind.record && record.state.Has(onSide)) {
                    mark(record, record.state.Word());
                    if (record.treeItem > 0) RefreshRow(static_cast<HTREEITEM>(record.treeItem));
                }
                return true;
            });
        }
    }
    RefreshRow(row);
    MarkListChanged();
}

BOOL CSyncDlg::DeleteItemFile(const std::wstring& path, int folder, bool noQuestion) {
    const std::string shown = plat::WideToUtf8(path);
    if (!noQuestion) {
        const UINT question = folder ? IDS_ASK_DELETE_FOLDER : IDS_ASK_DELETE_FILE;
        if (!AskYesNo(GetSafeHwnd(), FormatString(LoadResString(question).c_str(), shown.c_str()))) return FALSE;
    }
    const bool deleted = folder ? DeleteFolderTree(path, kDeleteToTrash) : DeleteFileEx(path, kDeleteToTrash);
    const std::string& user = ProgramState().userName;
    const std::string line = FormatString(
        LoadResString(deleted ? IDS_ITEM_DELETED_BY_USER : IDS_ITEM_NOT_DELETED).c_str(), shown.c_str(), user.c_str());
    if (task_) AddDialogLogLine(*task_, line, kLogBlack);
    return deleted ? TRUE : FALSE;
}

void CSyncDlg::DeleteSideOfRow(int side, HTREEITEM row, bool noQuestion) {
    const ItemRowData* data = RowDataOf(row);
    if (!data) return;
    const std::wstring path = plat::Utf8ToWide(side == 0 ? data->leftPath : data->rightPath);
    if (path.empty()) return;
    if (noQuestion && GetPathKindW(path) == kPathMissing) return;
    if (DeleteItemFile(path, data->folder, noQuestion)) MarkItemDeleted(side, data->state, row, data->folder);
}

LRESULT CSyncDlg::OnItemOperation(WPARAM side, LPARAM operation) {
    if (!task_ || side > 1) return 0;
    const std::vector<HTREEITEM> rows = SelectedRows();
    if (rows.empty()) return 0;
    const int which = static_cast<int>(side);
    const ItemRowData* first = RowDataOf(rows.front());
    switch (operation) {
    case 0:
    case 1: {
        if (!first) return 0;
        const std::wstring path = plat::Utf8ToWide(which == 0 ? first->leftPath : first->rightPath);
        if (path.empty()) return 0;
        if (operation == 1) {
            ShowShellProperties(this, path);
        } else if (first->folder) {
            plat::OpenWithDefaultHandler(plat::WideToUtf8(path));
        } else {
            OpenFileShell(path);
        }
        return 1;
    }
    case 2:
        if (running_) return 0;  // the run works on these records
        if (rows.size() == 1) {
            DeleteSideOfRow(which, rows.front(), false);
            return 1;
        }
        if (!AskYesNo(GetSafeHwnd(),
                      FormatString(LoadResString(IDS_ASK_DELETE_ITEMS).c_str(), static_cast<unsigned>(rows.size())))) {
            return 0;
        }
        for (const HTREEITEM row : rows) DeleteSideOfRow(which, row, true);
        return 1;
    default: return 0;
    }
}

DWORD CSyncDlg::DeleteBothItemFiles(HTREEITEM row, bool noQuestion) {
    const ItemRowData* data = RowDataOf(row);
    if (!data || data->leftPath.empty() || data->rightPath.empty()) return 0;
    const std::wstring left = plat::Utf8ToWide(data->leftPath);
    const std::wstring right = plat::Utf8ToWide(data->rightPath);
    const int folder = data->folder;
    if (noQuestion && (GetPathKindW(left) == kPathMissing || GetPathKindW(right) == kPathMissing)) return 0;
    if (!noQuestion) {
        const std::string question = FormatString(LoadResString(IDS_ASK_DELETE_BOTH_ITEMS).c_str(),
                                                  plat::WideToUtf8(left).c_str(), plat::WideToUtf8(right).c_str());
        if (!AskYesNo(GetSafeHwnd(), question)) return 0;
    }
    const BOOL leftDeleted = DeleteItemFile(left, folder, true);
    const BOOL rightDeleted = DeleteItemFile(right, folder, true);
    // The right copy is marked first; the left's marking then finds a result and only adds
    // its side's mark.
    if (rightDeleted) MarkItemDeleted(1, RowDataOf(row)->state, row, folder);
    if (leftDeleted) MarkItemDeleted(0, RowDataOf(row)->state, row, folder);
    return MAKELONG(leftDeleted, rightDeleted);
}

LRESULT CSyncDlg::OnBothItemsOperation(WPARAM, LPARAM operation) {
    if (!task_) return 0;
    const std::vector<HTREEITEM> rows = SelectedRows();
    const ItemRowData* first = rows.empty() ? nullptr : RowDataOf(rows.front());
    if (!first || first->leftPath.empty() || first->rightPath.empty()) return 0;
    if (operation == 0) {
        if (auto* frame = dynamic_cast<CMainFrame*>(plat::MessageWindow::FromHwnd(mainFrame_))) {
            frame->CompareFiles(plat::Utf8ToWide(first->leftPath), plat::Utf8ToWide(first->rightPath));
        } else {
            CompareTwoFiles(plat::Utf8ToWide(first->leftPath), plat::Utf8ToWide(first->rightPath), window());
        }
        return 1;
    }
    if (operation != 2 || running_) return 0;
    if (rows.size() == 1) return DeleteBothItemFiles(rows.front(), false) != 0 ? 1 : 0;
    if (!AskYesNo(GetSafeHwnd(),
                  FormatString(LoadResString(IDS_ASK_DELETE_ITEMS).c_str(), static_cast<unsigned>(rows.size())))) {
        return 0;
    }
    for (const HTREEITEM row : rows) DeleteBothItemFiles(row, true);
    return 1;
}

// ---------------------------------------------------------------- the list

LRESULT CSyncDlg::OnClearList(WPARAM, LPARAM) {
    // The run works on the trees.
    if (running_ || IsItemListEmpty()) return 0;
    ClearItemList(TRUE);
    SetStatusLine(LoadResString(IDS_CLEARED_BY_USER));
    ShowCurrentHint();
    return 1;
}

bool CSyncDlg::OnItemListRClick(const QPoint& treePos) {
    UINT flags = 0;
    const HTREEITEM row = itemTree_.HitTest(POINT{treePos.x(), treePos.y()}, &flags);
    if (!row || (flags & TVHT_ONITEM) == 0) return false;
    const res::MenuResource* menu = res::FindMenu(IDR_ITEM_TREE_MENU);
    if (!menu) return false;
    // Owned by the frame, so the commands take the frame's road and its update rules.
    plat::TrackPopupMenu(menu->SubMenu(0), QCursor::pos(), mainFrame_);
    return true;
}

void CSyncDlg::MapItemCommands() {
    MapMessage(WM_SYNC_SET_ACTION, &CSyncDlg::OnChangeAction);
    MapMessage(WM_SYNC_ITEM_COMMAND, &CSyncDlg::OnItemOperation);
    MapMessage(WM_SYNC_BOTH_ITEMS_COMMAND, &CSyncDlg::OnBothItemsOperation);
    MapMessage(WM_SYNC_CLEAR_LIST, &CSyncDlg::OnClearList);
    MapMessage(WM_SYNC_STORE_FOLDERS, &CSyncDlg::OnStoreFolders);
    MapMessage(WM_SYNC_TASK_OPTIONS, &CSyncDlg::OnTaskOptions);
    MapMessage(WM_SYNC_AUTOMATE, &CSyncDlg::OnAutomate);
    MapCommand(IDC_BROWSE_LEFT, &CSyncDlg::OnBrowseLeft);
    MapCommand(IDC_BROWSE_RIGHT, &CSyncDlg::OnBrowseRight);
    MapCommand(IDC_SYNC_OPTIONS_BUTTON, &CSyncDlg::OnOptionsButton);
}
