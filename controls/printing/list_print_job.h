#pragma once
// Prints a report-style list as a table: the columns are measured against the page
// width and the list is printed once per band of columns that fits a page, the first
// column repeated in every band.

#include <QPointer>
#include <QTreeWidget>

#include "controls/printing/print_job.h"

class CListCtrlPrintJob : public GPrintJob {
public:
    // `direct` prints to the default printer without a dialog.
    CListCtrlPrintJob(QTreeWidget* list, bool direct);

    int ColumnCount() const { return columnCount_; }

protected:
    bool ShouldShowDialog() override;
    void PrintContent() override;

private:
    QPointer<QTreeWidget> list_;  // not owned
    int columnCount_ = 0;
    bool direct_;
};
