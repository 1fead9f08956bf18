#include "ui/history/history_view.h"

#include <algorithm>

#include "controls/image_list.h"
#include "controls/window_theme.h"
#include "foundation/file_utils.h"
#include "foundation/history_message.h"
#include "foundation/history_store.h"
#include "foundation/program_state.h"
#include "foundation/settings_keys.h"
#include "resources/command_ids.h"
#include "resources/string_ids.h"
#include "resources/sync_messages.h"
#include "ui/history/history_row.h"

namespace {

constexpr ReportColumn kHistoryColumns[CHistoryView::kColumnCount] = {
    {IDS_HISTORY_COLUMN_TASK, settings::kHistoryColumnDefaultWidths[0]},
    {IDS_HISTORY_COLUMN_COMMAND, settings::kHistoryColumnDefaultWidths[1]},
    {IDS_HISTORY_COLUMN_START, settings::kHistoryColumnDefaultWidths[2]},
    {IDS_HISTORY_COLUMN_FINISH, settings::kHistoryColumnDefaultWidths[3]},
    {IDS_HISTORY_COLUMN_FROM, settings::kHistoryColumnDefaultWidths[4]},
    {IDS_HISTORY_COLUMN_STATUS, settings::kHistoryColumnDefaultWidths[5]},
    {IDS_HISTORY_COLUMN_COMMENTS, settings::kHistoryColumnDefaultWidths[6]},
};

}  // namespace

CHistoryView::CHistoryView(QWidget* parent) : ReportList(parent, settings::kHistorySection, kHistoryColumns) {
    directions_.fill(1);
    SetPrintTitle(PrintedListTitle(IDS_HISTORY));
    MapMessage(WM_SYNC_HISTORY_CHANGED, &CHistoryView::OnHistoryChanged);
    MapMessage(WM_SYNC_CLEAR_HISTORY, &CHistoryView::OnClearHistory);
    MapMessage(WM_SYNC_TASK_CHANGED, &CHistoryView::OnTaskChanged);
    MapCommand(ID_FILE_PRINT, &CHistoryView::OnFilePrint);
    MapUpdate(ID_FILE_PRINT, &CHistoryView::OnUpdateFilePrint);
    MapCommand(ID_DELETE_ALL_ROWS, &CHistoryView::OnDeleteAllRows);

    SetSmallImages(LoadListImages());
    ApplyWindowTheme(this, L"Explorer", nullptr, ProgramState().windowsVersionClass);
}

CHistoryView::~CHistoryView() = default;

void CHistoryView::OnInitialUpdate() {
    InsertColumns();
    LoadRows();
}

void CHistoryView::LoadRows() {
    if (RowCount() != 0) return;
    const std::optional<HistoryRecordList> records = ReadHistoryRecords(0);
    shown_ = 0;
    if (records) AddRecords(0, *records);
}

void CHistoryView::ReloadRows() {
    const std::optional<HistoryRecordList> records = ReadHistoryRecords(0);
    if (!records && GetPathKind(GetHistoryFilePath()) != 0) return;
    DeleteAllRows();
    shown_ = 0;
    if (records) AddRecords(0, *records);
}

void CHistoryView::AddRecords(DWORD first, const HistoryRecordList& list) {
    Batch batch(*this);
    batch.Reserve(list.records.size());
    auto skipped = list.skipped.begin();
    for (std::size_t i = 0; i < list.records.size(); ++i) {
        const DWORD number = first + static_cast<DWORD>(i);
        // A member that could not be read has no row but counts as shown, so the count
        // stays the number of members and the next change adds only the new ones.
        if (skipped != list.skipped.end() && *skipped == number) {
            ++skipped;
            continue;
        }
        batch.Add(std::make_unique<HistoryRow>(list.records[i]));
    }
    shown_ = first + static_cast<DWORD>(list.records.size());
}

LRESULT CHistoryView::OnHistoryChanged(WPARAM w, LPARAM) {
    const std::optional<std::string> path = TakeHistoryPathParam(w);
    if (!path || *path != GetHistoryFilePath()) return 1;
    const DWORD count = CountHistoryRecords();
    if (count > shown_) {
        if (const std::optional<HistoryRecordList> records = ReadHistoryRecords(shown_)) AddRecords(shown_, *records);
    } else if (count < shown_) {
        ReloadRows();
    }
    return 1;
}

LRESULT CHistoryView::OnClearHistory(WPARAM w, LPARAM) {
    const std::optional<std::string> path = TakeHistoryPathParam(w);
    if (!path || *path != GetHistoryFilePath()) return 1;
    DeleteAllRows();
    LoadRows();
    return 1;
}

LRESULT CHistoryView::OnTaskChanged(WPARAM, LPARAM) {
    if (RowCount() == 0) LoadRows();
    return 1;
}

void CHistoryView::OnColumnClick(int column) {
    if (column < 0 || column >= kColumnCount) return;
    int& direction = directions_[static_cast<std::size_t>(column)];
    if (column == SortColumn()) {
        direction = -direction;
    } else {
        SetHeaderArrow(SortColumn(), Arrow::None);
        SetSortColumn(column);
    }
    SetHeaderArrow(column, direction > 0 ? Arrow::Up : Arrow::Down);
    const int sign = direction;
    SortRows([column, sign](const ReportRow& a, const ReportRow& b) {
        return sign * CompareHistoryRows(static_cast<const HistoryRow&>(a), static_cast<const HistoryRow&>(b), column);
    });
}

void CHistoryView::OnFilePrint() { PrintList(directPrint_); }

void CHistoryView::OnUpdateFilePrint(plat::CmdUI& ui) { ui.Enable(RowCount() > 0); }

void CHistoryView::OnDeleteAllRows() {
    DeleteAllRows();
    LoadRows();
}
