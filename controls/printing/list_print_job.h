#pragma once
// Prints a report-style list as a table: each column as wide as its widest text, in
// bands of columns that fit a page's width, the first column repeated in every band,
// every page headed by the list's own title.

#include <QPointer>
#include <QString>
#include <QTreeWidget>
#include <vector>

#include "controls/printing/print_job.h"

class CListCtrlPrintJob : public GPrintJob {
public:
    // `direct` prints to the default printer without a dialog; `title` heads every page.
    CListCtrlPrintJob(QTreeWidget* list, bool direct, QString title);

    int ColumnCount() const { return columnCount_; }

protected:
    bool ShouldShowDialog() override;
    void PrintContent() override;

private:
    // Every column's width for its heading and its cells' texts, with the cell gap, in
    // the printer's units.
    std::vector<int> NeededWidths();

    QPointer<QTreeWidget> list_;  // not owned
    int columnCount_ = 0;
    bool direct_;
    QString title_;
};
