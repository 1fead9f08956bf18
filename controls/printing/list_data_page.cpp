#include "controls/printing/list_data_page.h"

#include <QDateTime>
#include <QLocale>
#include <algorithm>

#include "controls/printing/print_text_line_parser.h"
#include "controls/printing/select_gdi_object.h"

namespace {

// The same title heads every printed list.
constexpr const char* kTitle = "Quarrybend Sync History";
constexpr int kMaxCellText = 200;
constexpr int kGapBelowHeadings = 10;
constexpr UINT kCellFormat = DT_LEFT | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX;

QString CellText(const QString& text) {
    QString cut = text.left(kMaxCellText);
    if (!cut.isEmpty() && cut.back().isHighSurrogate()) cut.chop(1);
    return cut;
}

}  // namespace

CListCtrlDataPage::CListCtrlDataPage(GPrintJob& job, QTreeWidget& list, int firstColumn, int lastColumn)
    : GPrintUnit(job), list_(list), firstColumn_(firstColumn), lastColumn_(lastColumn) {}

void CListCtrlDataPage::CreateFonts() {
    columnHeadingFont_ = QFont("Arial", 9, QFont::Bold);
    bodyFont_ = QFont("Arial", 9);
    pageHeadingFont_ = QFont("Garamond", 11);
    footerFont_ = QFont("Garamond", 9);
}

void CListCtrlDataPage::MeasureFonts() {
    QPaintDevice* device = &job_.DC()->Printer();
    lineHeight_ = QFontMetrics(bodyFont_, device).height();
    headingLineHeight_ = lineHeight_;
    pageHeadingHeight_ = 2 * QFontMetrics(pageHeadingFont_, device).height();
    footerHeight_ = 2 * QFontMetrics(footerFont_, device).height();
}

void CListCtrlDataPage::CompleteColumns() {
    const int width0 = list_.columnWidth(0);
    double total = width0;
    for (int c = firstColumn_; c <= lastColumn_; ++c) total += list_.columnWidth(c);
    const int count = lastColumn_ - firstColumn_ + 2;
    // Columns of no width share the page equally.
    const auto share = [&](int width) { return total > 0 ? width / total : 1.0 / count; };

    const QTreeWidgetItem* header = list_.headerItem();
    InsertPrintCol(0, CellText(header ? header->text(0) : QString()), share(width0));
    for (int c = firstColumn_; c <= lastColumn_; ++c) {
        InsertPrintCol(c - firstColumn_ + 1, header ? header->text(c) : QString(), share(list_.columnWidth(c)));
    }
    GPrintUnit::CompleteColumns();
}

bool CListCtrlDataPage::Print() {
    if (!GPrintUnit::Print()) return false;
    OpenPage();
    {
        GSelectGdiObject body(Painter(), bodyFont_);
        const int rows = list_.topLevelItemCount();
        for (int row = 0; row < rows; ++row) {
            const QTreeWidgetItem* item = list_.topLevelItem(row);
            NeedNewPage(kBodyLine);
            const QString first = CellText(item->text(0));
            if (!first.isEmpty()) PrintColumnText(0, first, kCellFormat);
            for (int c = firstColumn_; c <= lastColumn_; ++c) {
                const QString text = CellText(item->text(c));
                if (!text.isEmpty()) PrintColumnText(c - firstColumn_ + 1, text, kCellFormat);
            }
            rowHeight_ = std::max(rowHeight_, lineHeight_);
            EndRow(false);
        }
    }
    EndPage();
    return true;
}

void CListCtrlDataPage::StartPage() {
    GPrintUnit::StartPage();
    PrintColumnHeadings();
}

void CListCtrlDataPage::PrintColumnHeadings() {
    QPainter& p = Painter();
    {
        GSelectGdiObject font(p, columnHeadingFont_);
        const std::vector<PrintColumnDef>& columns = Columns();
        for (std::size_t c = 0; c < columns.size(); ++c) {
            PrintTextClipped(columns[c].heading, CellRect(static_cast<int>(c), headingLineHeight_));
        }
    }
    rowHeight_ = headingLineHeight_;
    EndRow(false);
    p.drawLine(area_.left(), pos_.y(), area_.left() + area_.width() - 1, pos_.y());
    pos_.ry() += kGapBelowHeadings;
}

void CListCtrlDataPage::PrintHeading() {
    GSelectGdiObject font(Painter(), pageHeadingFont_);
    const QLocale locale = QLocale::system();
    const QDateTime now = QDateTime::currentDateTime();
    const QString when = locale.toString(now.date(), QLocale::ShortFormat) + ' ' +
                         locale.toString(now.time(), QLocale::ShortFormat);
    const int page = job_.Info() ? job_.Info()->currentPage : 1;
    PrintTextBlock block;
    block.text = when + GPrintTextLineParser::kCentre + QString::fromUtf8(kTitle) + GPrintTextLineParser::kRight +
                 QString::asprintf("Page %d", page);
    block.rect = area_;
    block.lineHeight = pageHeadingHeight_;
    block.options = PTL_END_ROW;
    PrintTextLines(block);
}
