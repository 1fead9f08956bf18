#pragma once
// The report list that the history view and the task list stand on: a flat QTreeWidget
// (no tree decoration) that is a message window and a view, with
//   - columns from a table (header string, default width) whose widths, order and sort
//     column live in one settings section ("tab %u", "array %u", "sort");
//   - header drag and drop, full-row selection, the selection kept when the list loses the
//     focus, and a tip with the whole text of a cell that does not fit ("label tips");
//   - the last column drawn over the room the others leave (its own width is the one
//     stored and printed);
//   - rows that are ReportRow items: a subclass holds the row's own data, so it is freed
//     with the row, however the row goes (deleted, cleared, the list destroyed);
//   - small images by index from an ImageList, on any cell;
//   - an arrow on one column of the header, sorting every row with the caller's
//     comparison, and rows added in batches;
//   - printing as a table through CListCtrlPrintJob.
//
//   constexpr ReportColumn kColumns[] = {{IDS_TASK_LIST_COLUMN_TASK, 100}, {IDS_TASK_LIST_COLUMN_AUTO, 25}, ...};
//   class TaskList : public ReportList {
//   public:
//       explicit TaskList(QWidget* parent) : ReportList(parent, "synclist", kColumns) {}
//   protected:
//       void OnInitialUpdate() override { InsertColumns(); ... }
//       void OnColumnClick(int column) override;
//   };
//
// The settings are read by the constructor; RememberColumns takes the header's widths and
// order back (the list does it on WM_DESTROY) and the destructor writes all of them. A
// subclass that overrides OnDestroy calls DestroyMessageWindow() in its own destructor,
// so that WM_DESTROY still reaches its override.
//
// Rows are added only through AddRow and Batch, so every row is a ReportRow. Qt's own
// sorting stays off: rows change order only through SortRows or SortTextItems. Several
// rows may be selected unless the subclass sets another selection mode.

#include <QTreeWidget>
#include <QTreeWidgetItem>
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "platform/qt/view.h"

class ImageList;

// Commands that both lists answer.
// The title a printed list carries: the program's name and the list's page name
// (IDS_TASKS "Tasks", IDS_HISTORY "History").
std::string PrintedListTitle(UINT pageNameId);

struct ReportColumn {
    UINT headerStringId;  // the heading's text in the string table
    int defaultWidth;     // pixels
};

// The strip both lists cut their small images from: bitmap 4051, 16-pixel cells,
// magenta transparent.
std::unique_ptr<ImageList> LoadListImages();

// One row. Texts are set with setText (or a subclass answers data() for them); images by
// index with SetImage. A subclass adds the row's data and owns it.
class ReportRow : public QTreeWidgetItem {
public:
    // Cells from kImageColumns on cannot carry an image; indices go from 0 to 127.
    static constexpr int kImageColumns = 8;

    ReportRow();

    // The image index shown in `column`, -1 for none.
    int Image(int column) const;
    void SetImage(int column, int index);

    QVariant data(int column, int role) const override;

private:
    std::array<std::int8_t, kImageColumns> images_;
};

class ReportList : public QTreeWidget, public plat::View {
public:
    enum class Arrow { None, Up, Down };

    // `section` and `columns` must outlive the list (string literals and constant tables).
    ReportList(QWidget* parent, const char* section, std::span<const ReportColumn> columns);
    ~ReportList() override;

    int ColumnCount() const { return static_cast<int>(columns_.size()); }

    // The sort column as last read or remembered.
    int SortColumn() const { return sortColumn_; }
    void SetSortColumn(int column) { sortColumn_ = static_cast<std::int16_t>(column); }

    // Makes the columns: their widths, the saved order and the header texts.
    void InsertColumns();
    // Takes the header's current widths and order into the settings kept here.
    void RememberColumns();
    // Writes widths, order and sort column to the settings section.
    void SaveColumnSettings() const;

    // The images that SetImage indexes; rows keep their indices when the list changes.
    void SetSmallImages(std::unique_ptr<ImageList> images);
    // Image `index` as an icon; a null icon when there is no such image.
    QIcon ImageIcon(int index) const;

    // The row at `index` (from the top), or null.
    ReportRow* Row(int index) const;
    int RowCount() const { return topLevelItemCount(); }
    // Appends one row, shown at once; returns it.
    ReportRow* AddRow(std::unique_ptr<ReportRow> row);
    // Deletes every row (and with it each row's data).
    void DeleteAllRows();

    // Rows collected while the batch lives and appended in one step when it ends, with
    // sorting and painting off meanwhile: the way to add many rows.
    class Batch {
    public:
        explicit Batch(ReportList& list);
        ~Batch();
        Batch(const Batch&) = delete;
        Batch& operator=(const Batch&) = delete;

        ReportRow* Add(std::unique_ptr<ReportRow> row);
        void Reserve(std::size_t rows) { rows_.reserve(static_cast<qsizetype>(rows)); }

    private:
        ReportList& list_;
        QList<QTreeWidgetItem*> rows_;
        bool updatesWereOn_;
    };

    // The header's sort arrow: Up (ascending) or Down on `column`; None removes it from
    // `column` when it is there. One column at a time shows an arrow.
    void SetHeaderArrow(int column, Arrow arrow);
    Arrow HeaderArrow(int column) const;

    // Sorts every row with `compare` (negative: a before b; 0: keep their order). Rows move
    // whole, with their data; the selection and the current row follow their rows.
    using RowCompare = std::function<int(const ReportRow& a, const ReportRow& b)>;
    void SortRows(const RowCompare& compare);

    // Prints the list as a table (CListCtrlPrintJob): `direct` prints to the default printer
    // without a dialog, otherwise the print dialog offers the printers and a PDF file.
    // Returns GPrintJob::Print's result.
    int PrintList(bool direct);
    // The title at the head of every printed page.
    void SetPrintTitle(std::string title) { printTitle_ = std::move(title); }
    const std::string& PrintTitle() const { return printTitle_; }

protected:
    // A click on a column's heading (the column's number, wherever it stands).
    virtual void OnColumnClick(int /*column*/) {}
    // WM_DESTROY: the list remembers its columns; a subclass that adds to it calls this too.
    virtual void OnDestroy();

    bool viewportEvent(QEvent* event) override;

private:
    class Header;

    void OnDestroyMessage(WPARAM, LPARAM);
    void ApplyColumnOrder();

    const char* section_;
    std::span<const ReportColumn> columns_;
    std::vector<int> widths_;
    std::vector<int> order_;
    std::int16_t sortColumn_ = 0;
    Header* header_;  // owned by the widget
    std::unique_ptr<ImageList> images_;
    std::vector<QIcon> icons_;
    std::string printTitle_;
};
