#include "controls/printing/list_data_page.h"

#include <QDateTime>
#include <QFontMetrics>
#include <QLocale>
#include <algorithm>

#include "controls/printing/print_text_line_parser.h"
#include "controls/printing/select_gdi_object.h"

namespace {

constexpr int kMaxCellText = 200;
constexpr int kGapBelowHeadings = 10;
// One line when the text fits its cell, else wrapped over lines.
constexpr UINT kCellFormat = DT_LEFT | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_WRAPCELL;

}  // namespace

ListPrintFonts MakeListPrintFonts() {
    return {QFont("Arial", 9, QFont::Bold), QFont("Arial", 9), QFont("Garamond", 11), QFont("Garamond", 9)};
}

QString PrintedCellText(const QString& text) {
    QString cut = text.left(kMaxCellText);
    if (!cut.isEmpty() && cut.back().isHighSurrogate()) cut.chop(1);
    return cut;
}

int CListCtrlDataPage::CellGap(QPaintDevice* device) {
    return QFontMetrics(MakeListPrintFonts().body, device).horizontalAdvance(QStringLiteral("   "));
}

CListCtrlDataPage::CListCtrlDataPage(GPrintJob& job, QTreeWidget& list, ColumnBand band, QString title)
    : GPrintUnit(job), list_(list), band_(std::move(band)), title_(std::move(title)) {}

void CListCtrlDataPage::CreateFonts() {
    const ListPrintFonts fonts = MakeListPrintFonts();
    columnHeadingFont_ = fonts.columnHeading;
    bodyFont_ = fonts.body;
    pageHeadingFont_ = fonts.pageHeading;
    footerFont_ = fonts.footer;
}

void CListCtrlDataPage::MeasureFonts() {
    QPaintDevice* device = &job_.DC()->Printer();
    lineHeight_ = QFontMetrics(bodyFont_, device).height();
    headingLineHeight_ = lineHeight_;
    pageHeadingHeight_ = 2 * QFontMetrics(pageHeadingFont_, device).height();
    footerHeight_ = 2 * QFontMetrics(footerFont_, device).height();
}

void CListCtrlDataPage::CompleteColumns() {
    cellGap_ = CellGap(&job_.DC()->Printer());
    const double page = std::max(area_.width(), 1);
    const QTreeWidgetItem* header = list_.headerItem();
    const auto heading = [header](int c) { return PrintedCellText(header ? header->text(c) : QString()); };
    InsertPrintCol(0, heading(0), band_.widths.empty() ? 0 : band_.widths[0] / page);
    for (int c = band_.first; c <= band_.last; ++c) {
        const std::size_t at = static_cast<std::size_t>(c - band_.first + 1);
        // The band's last column takes what the others leave, to the page's edge.
        const int flags = c == band_.last ? PCF_REST : 0;
        InsertPrintCol(static_cast<int>(at), heading(c), at < band_.widths.size() ? band_.widths[at] / page : 0, 0,
                       flags);
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
            const QString first = PrintedCellText(item->text(0));
            if (!first.isEmpty()) PrintColumnText(0, first, kCellFormat);
            for (int c = band_.first; c <= band_.last; ++c) {
                const QString text = PrintedCellText(item->text(c));
                if (!text.isEmpty()) PrintColumnText(c - band_.first + 1, text, kCellFormat);
            }
            rowHeight_ = std::max(rowHeight_, lineHeight_);
            EndRow(true);
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
    const QString when =
        locale.toString(now.date(), QLocale::ShortFormat) + ' ' + locale.toString(now.time(), QLocale::ShortFormat);
    const int page = job_.Info() ? job_.Info()->currentPage : 1;
    PrintTextBlock block;
    block.text = when + GPrintTextLineParser::kCentre + title_ + GPrintTextLineParser::kRight +
                 QString::asprintf("Page %d", page);
    block.rect = area_;
    block.lineHeight = pageHeadingHeight_;
    block.options = PTL_END_ROW;
    PrintTextLines(block);
}
