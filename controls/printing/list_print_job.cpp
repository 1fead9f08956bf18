#include "controls/printing/list_print_job.h"

#include <QFontMetrics>
#include <algorithm>

#include "controls/printing/list_bands.h"
#include "controls/printing/list_data_page.h"

CListCtrlPrintJob::CListCtrlPrintJob(QTreeWidget* list, bool direct, QString title)
    : list_(list), columnCount_(list ? list->columnCount() : 0), direct_(direct), title_(std::move(title)) {}

bool CListCtrlPrintJob::ShouldShowDialog() {
    if (!direct_) return GPrintJob::ShouldShowDialog();
    UseDefaultPrinter();
    return false;
}

std::vector<int> CListCtrlPrintJob::NeededWidths() {
    // The list's widths on screen say nothing of the printed texts: a column as wide on
    // paper as on screen cuts or overlaps its text. Measured with the printer's fonts.
    QPaintDevice* printer = &DC()->Printer();
    const ListPrintFonts fonts = MakeListPrintFonts();
    const QFontMetrics heading(fonts.columnHeading, printer);
    const QFontMetrics body(fonts.body, printer);
    const int gap = CListCtrlDataPage::CellGap(printer);
    const QTreeWidgetItem* header = list_->headerItem();
    std::vector<int> widths(static_cast<std::size_t>(columnCount_), 0);
    for (int c = 0; c < columnCount_; ++c) {
        int widest = header ? heading.horizontalAdvance(PrintedCellText(header->text(c))) : 0;
        for (int row = 0, rows = list_->topLevelItemCount(); row < rows; ++row) {
            widest = std::max(widest, body.horizontalAdvance(PrintedCellText(list_->topLevelItem(row)->text(c))));
        }
        widths[static_cast<std::size_t>(c)] = widest + gap;
    }
    return widths;
}

void CListCtrlPrintJob::PrintContent() {
    if (!list_ || !DC() || columnCount_ < 2) return;
    for (ColumnBand& band : LayOutColumnBands(NeededWidths(), LogicalPageRect().width())) {
        CListCtrlDataPage page(*this, *list_, std::move(band), title_);
        page.Print();
    }
}
