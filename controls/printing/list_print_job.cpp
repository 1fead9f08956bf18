#include "controls/printing/list_print_job.h"

#include "controls/printing/list_data_page.h"

CListCtrlPrintJob::CListCtrlPrintJob(QTreeWidget* list, bool direct)
    : list_(list), columnCount_(list ? list->columnCount() : 0), direct_(direct) {}

bool CListCtrlPrintJob::ShouldShowDialog() {
    if (!direct_) return GPrintJob::ShouldShowDialog();
    UseDefaultPrinter();
    return false;
}

void CListCtrlPrintJob::PrintContent() {
    if (!list_) return;
    // The list's columns are measured in screen pixels against the page's width.
    const int pixelsPerCm = list_->logicalDpiX() * 100 / 254;
    const double printableWidth = pixelsPerCm * (LogicalPageRect().width() / 100) / 1.5;

    int sum = list_->columnWidth(0);
    int first = 1;
    for (int c = 1; c < columnCount_; ++c) {
        sum += list_->columnWidth(c);
        if (sum <= printableWidth && c != columnCount_ - 1) continue;
        // A band ends with the column that overflowed it, or with the last column.
        CListCtrlDataPage band(*this, *list_, first, c);
        band.Print();
        first = c + 1;
        sum = list_->columnWidth(0);
    }
}
