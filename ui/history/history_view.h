#pragma once
// The History page of the navigation bar: one row per record of the history file, in the
// order of writing, with who started it, when, its result and a comment. It grows by the
// new records when the file changes, empties when the file is deleted, sorts by any
// column and prints.
//
// Messages: WM_SYNC_HISTORY_CHANGED and WM_SYNC_CLEAR_HISTORY (w: a history path ticket,
// taken in every case; only the current history file counts), WM_SYNC_TASK_CHANGED (loads
// an empty list). Commands: print (ID_FILE_PRINT, while there are rows) and ID_DELETE_ALL_ROWS (reload).
// Column widths, order and the sort column are kept in the settings section "history".

#include <array>

#include "platform/core/win_types.h"
#include "ui/history/report_list.h"

struct HistoryRecordList;

class CHistoryView : public ReportList {
public:
    static constexpr int kColumnCount = 7;

    explicit CHistoryView(QWidget* parent = nullptr);
    ~CHistoryView() override;

    // Records of the history file counted as shown: every row, and every member that
    // could not be read (it has no row).
    DWORD ShownRecords() const { return shown_; }

protected:
    void OnInitialUpdate() override;
    void OnColumnClick(int column) override;

private:
    LRESULT OnHistoryChanged(WPARAM w, LPARAM);
    LRESULT OnClearHistory(WPARAM w, LPARAM);
    LRESULT OnTaskChanged(WPARAM, LPARAM);
    void OnFilePrint();
    void OnUpdateFilePrint(plat::CmdUI& ui);
    void OnDeleteAllRows();

    // Every record, when the list is empty.
    void LoadRows();
    // Every record again; a file that exists but cannot be read leaves the rows as they are.
    void ReloadRows();
    // A row for each readable record of `list`, whose first record is member `first`.
    void AddRecords(DWORD first, const HistoryRecordList& list);

    std::array<int, kColumnCount> directions_;
    DWORD shown_ = 0;
    bool directPrint_ = false;
};
