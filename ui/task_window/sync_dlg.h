#pragma once
// A task's window: its Left and Right folder boxes with their Browse buttons, the options
// button, two labels, the item tree with a Check's result and the two bars at its foot.
// It lives as the task's tab of the form view; it is a plain widget that lays itself out
// (no dialog: Enter and Esc must never close a tab).
//
// sync_dlg.cpp builds the window and binds it to its task; sync_dlg_items.cpp turns the
// task's item trees into rows and changes the view; sync_dlg_run.cpp starts runs, follows
// them through the engine's messages and brings the window back to rest;
// sync_dlg_actions.cpp holds what the user does to the items, sync_dlg_folders.cpp the
// folder and option commands.

#include <QIcon>
#include <QWidget>
#include <array>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "controls/resizable_layout.h"
#include "controls/tree_list_ctrl.h"
#include "platform/core/volumes.h"
#include "platform/qt/command_target.h"
#include "platform/qt/message_window.h"
#include "resources/command_ids.h"
#include "resources/control_ids.h"
#include "resources/dialog_ids.h"
#include "ui/task_window/item_row.h"

class CStatic;
class CTextProgressCtrl;
class RunPaintPace;
class ImageList;
class QAbstractButton;
class QPoint;
class ViewFilterMemo;
struct FolderTreeNode;
struct SyncTask;

namespace plat {
class ComboBoxEx;
}

class CSyncDlg : public QWidget, public plat::MessageWindow, public plat::CommandTarget, public CResizableLayout {
public:
    static constexpr int kColumnCount = 7;
    // The image of the task's own row in the item tree's first image list.
    static constexpr int kTaskRowImage = 1 << 20;

    // `mainFrame` and `taskList` are the windows the task window reports to.
    CSyncDlg(QWidget* parent, HWND mainFrame, HWND taskList);
    ~CSyncDlg() override;
    CSyncDlg(const CSyncDlg&) = delete;
    CSyncDlg& operator=(const CSyncDlg&) = delete;

    SyncTask* Task() const { return task_; }
    int TaskRow() const { return taskRow_; }
    int ViewKind() const { return viewKind_; }
    // A run or a view rebuild of the task is under way.
    bool IsRunning() const { return running_ != 0; }
    // Stop was pressed during the current run.
    bool IsStopRequested() const { return stopRequested_ != 0; }

    QWidget* GetDlgItem(int controlId) const;
    CTreeListCtrl& ItemTree() { return itemTree_; }
    // The folder box of a side (0 Left, 1 Right); null when none could be made.
    plat::ComboBoxEx* FolderBox(int side) const { return folderBoxes_[side]; }
    // The folders each box's list offers, in order.
    const std::vector<std::wstring>& FolderHistory(int side) const { return folderHistory_[side]; }
    // The folder texts last taken from the boxes (or from the task).
    const std::wstring& FolderText(int side) const { return folderText_[side]; }

    // The caption-bar hint that is true of the task now: the run's tip while it runs, what
    // is missing while a folder is, else the next step (Sync when one is pending, Check).
    struct CaptionHint {
        std::string text;
        COLORREF colour = 0;
    };
    CaptionHint CurrentHint() const;

    // True when the item tree has no first row.
    bool IsItemListEmpty() const;
    // Enables or disables the two folder boxes, the two Browse buttons and the options button.
    void EnableActionControls(bool enable);

    // Adds the rows of one folder level under `parent`, and everything below it; FALSE when
    // the level got no row. `source` and `target` are the two trees' nodes of the level.
    BOOL RebuildItemList(FolderTreeNode* source, FolderTreeNode* target, HTREEITEM parent);
    // Inserts a row for `record` under `parentOrRow` (insert TRUE) or refreshes the record's
    // row `parentOrRow` (FALSE). Returns the row, 0 when there is none.
    HTREEITEM SetItemRow(CFileInfo& record, HTREEITEM parentOrRow, BOOL insert);
    // Rows for the task's two item trees under the current view, with "%u items" on the
    // task's own row.
    void RebuildTaskItems();
    // Deletes every row and empties both labels; with `freeTrees` also frees the task's two
    // item trees and clears its Sync pending flag.
    void ClearItemList(BOOL freeTrees);
    // TRUE when the node's folder record or anything below the node passes the current view.
    BOOL CountFilteredItems(const FolderTreeNode* node);
    // Shows the icon of the task's sync type on the options button.
    void UpdateSyncTypeIcon();
    // Fills a side's drop-down list (0 Left, 1 Right) from its folder history.
    void FillFolderBox(int side);
    // The text of a side's folder box, at most 500 characters.
    std::wstring ReadFolderBox(int side) const;

    // The form in which a chosen folder is stored: a folder on a removable volume by the
    // volume's label ("<CARD>:/Photos"), asking for a label when the volume has none; any
    // other folder, or one whose label form would not lead back to it, as chosen.
    std::wstring ToVolumeLabelPath(const std::wstring& path);
    // Where volumes, mounts and labels are read (tests give prepared files).
    void SetVolumeSources(plat::VolumeSources sources) { volumeSources_ = std::move(sources); }
    // The user deleted the copy on `side` (0 Left, 1 Right) of the item of `row`, whose
    // word was `state`: the record and the row show it, and for a folder every copy below it.
    void MarkItemDeleted(int side, DWORD state, HTREEITEM row, int folder);
    // Deletes a file or folder to the trash, asking first unless `noQuestion`, and logs it.
    BOOL DeleteItemFile(const std::wstring& path, int folder, bool noQuestion);
    // Both copies of the row's item; the left result in the low half, the right in the high.
    DWORD DeleteBothItemFiles(HTREEITEM row, bool noQuestion);
    // A right click at `treePos` (item tree coordinates): the item menu when it is on a
    // row's icon or label. True when the menu was shown.
    bool OnItemListRClick(const QPoint& treePos);

protected:
    QWidget* GetLayoutWindow() const override { return const_cast<CSyncDlg*>(this); }
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildControls();
    BOOL OnInitDialog();
    void DoDataExchange();
    void InsertColumns();

    LRESULT OnTaskChanged(WPARAM row, LPARAM task);
    LRESULT OnSetViewFilter(WPARAM kind, LPARAM);
    LRESULT OnSaveColumns(WPARAM, LPARAM);
    LRESULT OnCommandMessage(WPARAM w, LPARAM);
    LRESULT OnNotify(WPARAM, LPARAM header);
    LRESULT OnHelpInfo(WPARAM, LPARAM info);
    void OnDestroy(WPARAM, LPARAM);
    void OnSelectAll();
    void OnUpdateSelectAll(plat::CmdUI& ui);

    // Items (sync_dlg_actions.cpp).
    struct RowRecord {
        CFileInfo* record = nullptr;
        FolderTreeNode* node = nullptr;  // a folder row's node, in the tree of its record
    };
    void MapItemCommands();
    void NoteRowRecord(HTREEITEM row, CFileInfo& record, FolderTreeNode* node);
    RowRecord RecordOfRow(HTREEITEM row) const;
    ItemRowData* RowDataOf(HTREEITEM row) const;
    // The selected rows, depth-first.
    std::vector<HTREEITEM> SelectedRows() const;
    // Refills a row from its record; the row keeps the word Restore goes back to.
    void RefreshRow(HTREEITEM row);
    // The user changed an item: the task has a Sync pending.
    void MarkListChanged();
    void DeleteSideOfRow(int side, HTREEITEM row, bool noQuestion);
    LRESULT OnChangeAction(WPARAM value, LPARAM);
    LRESULT OnItemOperation(WPARAM side, LPARAM operation);
    LRESULT OnBothItemsOperation(WPARAM, LPARAM operation);
    LRESULT OnClearList(WPARAM, LPARAM);

    // Folders and options (sync_dlg_folders.cpp).
    LRESULT OnStoreFolders(WPARAM, LPARAM);
    LRESULT OnTaskOptions(WPARAM, LPARAM);
    LRESULT OnAutomate(WPARAM, LPARAM);
    void OnBrowseLeft() { OnBrowse(0); }
    void OnBrowseRight() { OnBrowse(1); }
    void OnOptionsButton() { OnTaskOptions(0, 0); }
    void OnBrowse(int side);
    void OnFolderChosenFromList(int side);
    // Enter in a side's folder box.
    void OnOK(int side);
    void TakeChosenFolder(int side, const std::wstring& folder, bool toHistoryHead);
    // What a change of the automatic runs needs: timers armed, the start-up question.
    void FollowAutomaticRuns(bool fromOptions);

    // Runs (sync_dlg_run.cpp).
    void MapRunMessages();
    LRESULT OnStart(WPARAM mode, LPARAM source);
    LRESULT StartRun(WPARAM mode, LPARAM source);
    bool TakeFolderBoxes();
    bool MakeSureFolderExists(int side, const std::wstring& resolved, bool byUser);
    LRESULT OnStop(WPARAM, LPARAM);
    LRESULT OnQueryStop(WPARAM, LPARAM);
    LRESULT OnProgress(WPARAM total, LPARAM step);
    LRESULT OnProgressPos(WPARAM done, LPARAM);
    LRESULT OnProgressText(WPARAM, LPARAM text);
    LRESULT OnCopyBegin(WPARAM, LPARAM);
    LRESULT OnCopySize(WPARAM, LPARAM);
    LRESULT OnCopyBytes(WPARAM percent, LPARAM);
    LRESULT OnLogLine(WPARAM text, LPARAM where);
    LRESULT OnLogLineW(WPARAM text, LPARAM);
    LRESULT OnItemDone(WPARAM record, LPARAM row);
    LRESULT OnAfterRun(WPARAM, LPARAM);
    LRESULT OnCheckRefresh(WPARAM, LPARAM);
    // The end of every run and of a start the frame refused: the hint, the controls back,
    // not running.
    void ComeToRest();
    // The folder texts into the task and its record, a history record of the change, and a
    // list of the old folders emptied with its trees.
    void StoreAndReset();
    void StoreFolders();
    // A line for the main window's caption bar (colour 0 a tip, 255 a warning).
    void SendCaption(const std::string& text, COLORREF colour);
    // The window is the one the user sees (or stands alone): the caption bar speaks of it.
    bool IsShownTask() const;
    // CurrentHint to the caption bar, after a change that makes the one shown untrue.
    void ShowCurrentHint();
    // Why a start is refused: the caption bar for the user, a red line in the task's log
    // for an unattended start.
    void ReportRefusal(const std::string& text, bool byUser);
    void ReportBusy(bool byUser);
    void SetStatusLine(const std::string& text);

    void SetFolderBoxText(int side, const std::wstring& text);
    HTREEITEM InsertTaskRow(HTREEITEM parent);
    int FileIconIndex(const std::wstring& name);
    void WriteItemCount();

    HWND mainFrame_;
    HWND taskList_;
    SyncTask* task_ = nullptr;
    int taskRow_ = -1;
    int viewKind_ = 0;
    // The run state.
    int running_ = 0;
    int stopRequested_ = 0;
    // Set from a start's first question to its end, so that a start arriving while a
    // question is open is refused.
    bool starting_ = false;
    // Set when WM_SYNC_AFTER_RUN arrives, so a start learns whether the frame's refusal
    // already brought the window to rest.
    bool runEnded_ = false;
    UINT runTip_ = 0;  // the caption tip of the run under way
    UINT progressTotal_ = 0;
    UINT progressCount_ = 0;  // the last percent shown, and the count of progress texts
    UINT progressStep_ = 1;
    int listChanged_ = 0;
    std::array<int, kColumnCount> columnWidths_{};
    std::array<std::wstring, 2> folderText_;
    std::array<std::vector<std::wstring>, 2> folderHistory_;

    QIcon browseIcon_;
    std::array<QIcon, 5> syncTypeIcons_;
    QIcon programIcon_;
    int folderIcon_ = 0;
    int actionImageBase_ = 0;

    // The controls, children of the window.
    QAbstractButton* browseLeft_ = nullptr;
    QAbstractButton* browseRight_ = nullptr;
    QAbstractButton* optionsButton_ = nullptr;
    CStatic* leftLabel_ = nullptr;
    CStatic* rightLabel_ = nullptr;
    CTextProgressCtrl* itemProgress_ = nullptr;
    CTextProgressCtrl* statusLine_ = nullptr;
    std::array<plat::ComboBoxEx*, 2> folderBoxes_{};
    std::array<CMyComboBoxEdit, 2> folderEdits_;

    // The item tree's image lists outlive the tree.
    std::unique_ptr<ImageList> fileImages_;
    std::unique_ptr<ImageList> actionImages_;
    CTreeListCtrl itemTree_;
    // While a run is under way: the tree and the bars paint at a pace, not per message.
    std::unique_ptr<RunPaintPace> runPaint_;
    // Set during a rebuild: which folders hold anything the view shows.
    std::unique_ptr<ViewFilterMemo> viewMemo_;
    // Texts and icons that many rows share, made once.
    ItemTimeTexts timeTexts_;
    std::unordered_map<std::wstring, int> iconByExtension_;
    // The record behind each item row, filled by the rebuild and emptied with the list.
    std::unordered_map<HTREEITEM, RowRecord> rowRecords_;
    plat::VolumeSources volumeSources_;
};
