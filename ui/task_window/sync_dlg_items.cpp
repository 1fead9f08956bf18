// The item tree of a task window: a Check's two trees as rows, the view filter, Select All.
#include <QWidget>

#include "controls/static_control.h"
#include "engine/model/folder_tree.h"
#include "engine/model/item_display.h"
#include "foundation/file_icons.h"
#include "foundation/resource_strings.h"
#include "foundation/sync_task.h"
#include "foundation/text_utils.h"
#include "platform/core/freed_memory.h"
#include "platform/core/message_box.h"
#include "platform/core/text.h"
#include "resources/sync_messages.h"
#include "ui/task_window/item_order.h"
#include "ui/task_window/item_row.h"
#include "ui/task_window/sync_dlg.h"
#include "ui/task_window/view_filter_memo.h"
#include "ui/task_window/wait_cursor.h"

namespace {

constexpr auto kBusyRebuildingList = static_cast<LPARAM>(TaskBusy::RemovingOrRebuilding);
constexpr int kStatusColumn = 6;
constexpr UINT kRowsWorthReturning = 10000;

bool IsRoot(const FolderTreeNode* node) { return node && !node->folder; }

}  // namespace

bool CSyncDlg::IsItemListEmpty() const { return itemTree_.GetRootItem() == 0; }

BOOL CSyncDlg::CountFilteredItems(const FolderTreeNode* node) {
    if (!node) return FALSE;
    if (viewKind_ == 0) return TRUE;
    if (!viewMemo_) {
        // Asked outside a rebuild: worked out for this node alone.
        ViewFilterMemo memo(viewKind_, task_ && task_->swapped);
        return memo.Passes(node) ? TRUE : FALSE;
    }
    return viewMemo_->Passes(node) ? TRUE : FALSE;
}

HTREEITEM CSyncDlg::InsertTaskRow(HTREEITEM parent) {
    const std::wstring name = task_ ? plat::Utf8ToWide(task_->name) : std::wstring();
    return itemTree_.InsertItemW(TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_STATE, name.c_str(), kTaskRowImage,
                                 kTaskRowImage, TVIS_BOLD, TVIS_BOLD, 0, parent, TVI_LAST);
}

BOOL CSyncDlg::RebuildItemList(FolderTreeNode* source, FolderTreeNode* target, HTREEITEM parent) {
    const bool swapped = task_ && task_->swapped;
    HTREEITEM row = 0;
    // A level's row: the task's own for the roots, else the folder's when the folder or
    // anything below it on either side passes the view. A node without a folder record
    // below the roots has no row of its own; what it holds goes under its parent's.
    const auto unnamedLevel = [&] { return parent == TVI_ROOT ? InsertTaskRow(parent) : parent; };
    if (source) {
        if (!source->folder) {
            row = unnamedLevel();
        } else if (CountFilteredItems(source) || CountFilteredItems(target)) {
            row = SetItemRow(*source->folder, parent, TRUE);
            if (row) NoteRowRecord(row, *source->folder, source);
        }
    } else if (IsRoot(target)) {
        row = unnamedLevel();
    }
    if (!row && target && target->folder && target->folder->state.IsTargetOnly() && CountFilteredItems(target)) {
        row = SetItemRow(*target->folder, parent, TRUE);
        if (row) NoteRowRecord(row, *target->folder, target);
    }
    if (!row) return FALSE;
    itemTree_.SetItemStateW(row, 0, TVIS_BOLD, TVIS_BOLD);
    itemTree_.Expand(row, TVE_EXPAND);

    // Sub-folders before files, each in name order; matched items have their row from the
    // source side.
    const ItemNameOrder order(!task_ || !task_->syncOptions || task_->syncOptions->caseSensitive != 0);
    for (const ItemFolderPair& folder : SubFoldersInOrder(source, target, order)) {
        RebuildItemList(folder.source, folder.target, row);
    }
    const auto filesShown = [&](FolderTreeNode* node, bool targetOnlyFiles) {
        std::vector<CFileInfo*> shown;
        if (!node || !node->files) return shown;
        shown.reserve(static_cast<std::size_t>(node->files->GetSize()));
        for (CFileInfo& file : *node->files) {
            if (targetOnlyFiles && !file.state.IsTargetOnly()) continue;
            if (IsItemInViewFilter(file.state.Word(), viewKind_, swapped)) shown.push_back(&file);
        }
        return shown;
    };
    for (CFileInfo* file : MergeInOrder(filesShown(source, false), filesShown(target, true), order)) {
        if (const HTREEITEM fileRow = SetItemRow(*file, row, TRUE)) NoteRowRecord(fileRow, *file, nullptr);
    }
    itemTree_.Expand(row, TVE_EXPAND);
    return TRUE;
}

HTREEITEM CSyncDlg::SetItemRow(CFileInfo& record, HTREEITEM parentOrRow, BOOL insert) {
    ItemRowCells cells = MakeItemRowCells(record, task_ && task_->swapped, timeTexts_);
    HTREEITEM row = parentOrRow;
    ItemRowData* data = nullptr;
    if (insert) {
        const int image = cells.data.folder ? folderIcon_ : FileIconIndex(cells.name);
        auto owned = std::make_unique<ItemRowData>();
        row = itemTree_.InsertItemW(TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_PARAM, cells.name.c_str(), image,
                                    image, 0, 0, reinterpret_cast<LPARAM>(owned.get()), parentOrRow, TVI_LAST);
        if (!row) return 0;
        data = owned.release();  // freed when the tree reports the row's deletion
    } else {
        data = row ? reinterpret_cast<ItemRowData*>(itemTree_.GetItemData(row)) : nullptr;
        if (!data) return 0;
    }
    *data = std::move(cells.data);

    const int sizeColumns[2] = {1, 4};
    for (int side = 0; side < 2; ++side) {
        itemTree_.SetItemW(row, sizeColumns[side], TVIF_TEXT, cells.size[side].c_str(), 0, 0, 0, 0, 0);
        itemTree_.SetItemW(row, sizeColumns[side] + 1, TVIF_TEXT, cells.date[side].c_str(), 0, 0, 0, 0, 0);
    }
    const int actionImage = cells.actionImage + actionImageBase_;
    itemTree_.SetItemW(row, 3, TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE, cells.action.c_str(), actionImage,
                       actionImage, 0, 0, 0);
    if (cells.statusImage >= 0) {
        itemTree_.SetItemW(row, kStatusColumn, TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE, cells.status.c_str(),
                           cells.statusImage, cells.statusImage, 0, 0, 0);
    } else if (!insert) {
        // A remark that no longer holds (after Restore, say) must not stay on the row.
        itemTree_.SetItemW(row, kStatusColumn, TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE, L"", I_IMAGENONE,
                           I_IMAGENONE, 0, 0, 0);
    }
    return row;
}

int CSyncDlg::FileIconIndex(const std::wstring& name) {
    // A file's icon follows from its extension (the whole name when it has none).
    const auto dot = name.find_last_of(L'.');
    std::wstring key = dot == std::wstring::npos || dot == 0 ? name : name.substr(dot);
    const auto found = iconByExtension_.find(key);
    if (found != iconByExtension_.end()) return found->second;
    const int index = GetFileIconIndexW(name);
    iconByExtension_.emplace(std::move(key), index);
    return index;
}

void CSyncDlg::ClearItemList(BOOL freeTrees) {
    // Rows and trees of a large Check are tens of megabytes the next Check would otherwise
    // hold on to beside its own: what is freed here goes back to the system.
    const bool large = itemTree_.GetCount() >= kRowsWorthReturning;
    if (itemTree_.GetSafeHwnd()) {
        itemTree_.SendMessage(WM_SETREDRAW, FALSE);
        itemTree_.DeleteAllItems();
        rowRecords_.clear();
        itemTree_.SendMessage(WM_SETREDRAW, TRUE);
        if (QWidget* tree = itemTree_.GetWidget()) tree->update();
    }
    if (leftLabel_) leftLabel_->clear();
    if (rightLabel_) rightLabel_->clear();
    if (freeTrees && task_) {
        task_->sourceItems.reset();
        task_->targetItems.reset();
        task_->runFacts.Update([](TaskRunFacts& facts) { facts.needsAttention = 0; });
    }
    if (large) plat::ReturnFreedMemory();
}

void CSyncDlg::WriteItemCount() {
    const UINT rows = itemTree_.GetCount();
    const HTREEITEM first = itemTree_.GetRootItem();
    if (rows < 2 || !first) return;
    const std::wstring text = plat::Utf8ToWide(FormatString(LoadResString(IDS_ITEM_COUNT).c_str(), rows - 1));
    itemTree_.SetItemW(first, kStatusColumn, TVIF_TEXT, text.c_str(), 0, 0, 0, 0, 0);
}

void CSyncDlg::RebuildTaskItems() {
    if (!task_) return;
    FolderTreeNode* source = task_->sourceItems.get();
    FolderTreeNode* target = task_->targetItems.get();
    if (source) ResetTreeItemHandles(*source);
    if (target) ResetTreeItemHandles(*target);
    // Which folders the view keeps is worked out once for the whole rebuild.
    viewMemo_ = std::make_unique<ViewFilterMemo>(viewKind_, task_->swapped != 0);
    viewMemo_->Fill(source);
    viewMemo_->Fill(target);
    RebuildItemList(source, target, TVI_ROOT);
    viewMemo_.reset();
    WriteItemCount();
}

LRESULT CSyncDlg::OnSetViewFilter(WPARAM kind, LPARAM) {
    const int view = static_cast<int>(kind);
    if (view == viewKind_) return 1;
    if (!task_ || view < 0 || view >= kViewFilterCount) return 0;
    if (SendMessage(taskList_, WM_SYNC_TASK_BUSY, reinterpret_cast<WPARAM>(task_), kBusyRebuildingList) == 0) {
        MessageBox(GetSafeHwnd(), FormatString(LoadResString(IDS_BUSY_TRY_LATER).c_str(), task_->name.c_str()),
                   LoadResString(IDS_APP_TITLE), MB_OK | MB_ICONEXCLAMATION);
        return 0;
    }
    {
        WaitCursor wait;
        running_ = 1;
        ClearItemList(FALSE);
        EnableActionControls(false);
        viewKind_ = view;

        RebuildTaskItems();
    }
    SendMessage(taskList_, WM_SYNC_TASK_DONE, reinterpret_cast<WPARAM>(task_), kBusyRebuildingList);
    EnableActionControls(true);
    running_ = 0;
    return 1;
}

void CSyncDlg::OnSelectAll() {
    WaitCursor wait;
    const HTREEITEM first = itemTree_.GetRootItem();
    // Depth-first, every row but the task's own.
    std::vector<HTREEITEM> pending;
    for (HTREEITEM top = first; top; top = itemTree_.GetNextSiblingItem(top)) pending.push_back(top);
    std::reverse(pending.begin(), pending.end());
    while (!pending.empty()) {
        const HTREEITEM item = pending.back();
        pending.pop_back();
        if (item != first) itemTree_.SetItemStateW(item, 0, TVIS_SELECTED, TVIS_SELECTED);
        std::vector<HTREEITEM> children;
        for (HTREEITEM child = itemTree_.GetChildItem(item); child; child = itemTree_.GetNextSiblingItem(child)) {
            children.push_back(child);
        }
        pending.insert(pending.end(), children.rbegin(), children.rend());
    }
    if (QWidget* tree = itemTree_.GetWidget()) tree->setFocus();
}

void CSyncDlg::OnUpdateSelectAll(plat::CmdUI& ui) { ui.Enable(!IsItemListEmpty()); }
