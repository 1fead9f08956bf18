#include "controls/printing/print_unit.h"

#include <QFontMetrics>
#include <QTextLayout>
#include <algorithm>
#include <cmath>

#include "controls/printing/print_text_line_parser.h"

namespace {

int QtFlags(UINT format) {
    int flags = Qt::AlignLeft;
    if (format & DT_CENTER) flags = Qt::AlignHCenter;
    if (format & DT_RIGHT) flags = Qt::AlignRight;
    if (format & DT_SINGLELINE) {
        flags |= Qt::TextSingleLine;
        if (format & DT_VCENTER) flags |= Qt::AlignVCenter;
        if (format & DT_BOTTOM) flags |= Qt::AlignBottom;
    }
    if (format & DT_WORDBREAK) flags |= Qt::TextWordWrap;
    if (format & DT_NOCLIP) flags |= Qt::TextDontClip;
    return flags;
}

// Drops the last character, both halves of a surrogate pair included.
void ChopCharacter(QString& text) {
    const qsizetype n = text.size();
    if (n >= 2 && text[n - 1].isLowSurrogate() && text[n - 2].isHighSurrogate()) {
        text.chop(2);
    } else {
        text.chop(1);
    }
}

}  // namespace

GPrintUnit::GPrintUnit(GPrintJob& job) : job_(job) {}

GPrintUnit::~GPrintUnit() = default;

QPainter& GPrintUnit::Painter() { return job_.DC()->Painter(); }

bool GPrintUnit::Print() {
    if (!job_.DC() || !job_.DC()->IsPrinting()) return false;
    InitPrintArea();
    CreateFonts();
    MeasureFonts();
    CompleteColumns();
    return true;
}

void GPrintUnit::InsertPrintCol(int position, const QString& heading, double share, int set, int flags) {
    if (set < 0) return;
    if (static_cast<std::size_t>(set) >= sets_.size()) sets_.resize(static_cast<std::size_t>(set) + 1);
    std::vector<PrintColumnDef>& columns = sets_[static_cast<std::size_t>(set)];
    PrintColumnDef column;
    column.heading = heading;
    column.share = share;
    column.flags = flags;
    const std::size_t at = std::min(static_cast<std::size_t>(std::max(position, 0)), columns.size());
    columns.insert(columns.begin() + static_cast<std::ptrdiff_t>(at), column);
}

const std::vector<PrintColumnDef>& GPrintUnit::Columns(int set) const {
    static const std::vector<PrintColumnDef> none;
    if (set < 0 || static_cast<std::size_t>(set) >= sets_.size()) return none;
    return sets_[static_cast<std::size_t>(set)];
}

void GPrintUnit::CompleteColumns() {
    const int pageWidth = area_.width();
    for (std::vector<PrintColumnDef>& columns : sets_) {
        double others = 0;
        for (const PrintColumnDef& c : columns) {
            if (!(c.flags & PCF_REST)) others += c.share;
        }
        // Edges are rounded from the shares summed so far: a share made from a width in
        // device units gives that width back, never one unit less that cuts its text.
        double edge = 0;
        int x = 0;
        for (PrintColumnDef& c : columns) {
            // The rest of the page is never less than nothing.
            const double share = (c.flags & PCF_REST) ? std::max(0.0, 1.0 - others) : c.share;
            edge += std::max(0.0, share);
            const int right = static_cast<int>(std::lround(pageWidth * edge));
            c.x = x;
            c.width = std::max(0, right - x);
            x += c.width;
        }
    }
    ResetRemainders();
}

void GPrintUnit::ResetRemainders() {
    const std::size_t count = Columns(set_).size();
    remainders_.assign(count, QString());
    remainderFormats_.assign(count, 0);
}

void GPrintUnit::InitPrintArea() {
    area_ = job_.LogicalPageRect().adjusted(leftMargin_, topMargin_, 0, -bottomMargin_);
}

void GPrintUnit::StartPage() {
    pageOpen_ = true;
    headingsOnPage_ = false;
    pos_ = area_.topLeft();
    rowHeight_ = 0;
    job_.DC()->StartPage();
    PrintHeading();
}

void GPrintUnit::OpenPage() {
    startingPage_ = true;
    StartPage();
    startingPage_ = false;
}

void GPrintUnit::EndPage() {
    if (!pageOpen_) return;
    pageOpen_ = false;
    PrintFooter();
    job_.DC()->EndPage();
    if (GPrintInfo* info = job_.Info()) {
        ++info->currentPage;
        ++info->pagesPrinted;
    }
}

void GPrintUnit::EjectPage(bool counted) {
    OpenPage();
    EndPage();
    if (!counted) {
        if (GPrintInfo* info = job_.Info()) {
            --info->currentPage;
            --info->pagesPrinted;
        }
    }
}

bool GPrintUnit::NeedNewPage(int height) {
    if (height == kBodyLine) height = lineHeight_;
    if (height == kHeadingLine) height = headingLineHeight_;
    if (startingPage_) return false;
    if (pos_.y() + height <= area_.top() + area_.height()) return false;
    EndPage();
    OpenPage();
    return true;
}

void GPrintUnit::NewPage() {
    EndPage();
    OpenPage();
}

QRect GPrintUnit::CellRect(int column, int height) const {
    const PrintColumnDef& c = Columns(set_)[static_cast<std::size_t>(column)];
    int width = c.width;
    if (c.flags & PCF_NARROWER) width -= static_cast<int>(width * 0.015);
    width = std::max(0, width - cellGap_);
    return QRect(area_.left() + c.x, pos_.y(), width, height);
}

void GPrintUnit::PrintColumnText(int column, const QString& text, UINT format) {
    const std::vector<PrintColumnDef>& columns = Columns(set_);
    if (column < 0 || static_cast<std::size_t>(column) >= columns.size()) return;
    const PrintColumnDef& c = columns[static_cast<std::size_t>(column)];
    QString rest;
    const int height = DrawCellText(CellRect(column, lineHeight_), text, format, c, &rest);
    if (!rest.isEmpty() && static_cast<std::size_t>(column) < remainders_.size()) {
        remainders_[static_cast<std::size_t>(column)] = rest;
        remainderFormats_[static_cast<std::size_t>(column)] = format;
    }
    rowHeight_ = std::max(rowHeight_, height);
    pos_.rx() += c.width;
}

int GPrintUnit::DrawCellText(const QRect& cell, const QString& text, UINT format, const PrintColumnDef& column,
                             QString* rest) {
    QPainter& p = Painter();
    const QFontMetrics metrics = p.fontMetrics();
    const bool wrap =
        (column.flags & PCF_RICHTEXT) || ((format & DT_WRAPCELL) && metrics.horizontalAdvance(text) > cell.width());
    if (wrap) return DrawWrapped(cell, text, format, rest);
    QRect bounding;
    p.drawText(cell, QtFlags(format), text, &bounding);
    return (format & DT_SINGLELINE) ? metrics.height() : std::max(bounding.height(), metrics.height());
}

int GPrintUnit::DrawWrapped(const QRect& cell, const QString& text, UINT format, QString* rest) {
    rest->clear();
    if (cell.width() <= 0 || text.isEmpty()) return 0;  // nothing fits a cell of no width
    QPainter& p = Painter();
    QTextLayout layout(text, p.font(), p.device());
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    option.setAlignment(Qt::Alignment(QtFlags(format & (DT_CENTER | DT_RIGHT))));
    layout.setTextOption(option);

    // Lines are laid out down to the bottom of the print area; the rest continues later.
    const qreal available = area_.top() + area_.height() - cell.top();
    std::vector<QTextLine> fitted;
    qreal height = 0;
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(cell.width());
        if (height + line.height() > available) {
            *rest = text.mid(line.textStart());
            break;
        }
        line.setPosition(QPointF(0, height));
        height += line.height();
        fitted.push_back(line);
    }
    layout.endLayout();
    for (const QTextLine& line : fitted) line.draw(&p, cell.topLeft());
    return static_cast<int>(height + 0.5);
}

void GPrintUnit::EndRow(bool continueCells) {
    pos_.ry() += rowHeight_;
    pos_.setX(area_.left());
    rowHeight_ = 0;
    // Taken out first: the rows that a new page starts with end without continuing.
    std::vector<QString> pending = std::move(remainders_);
    const std::vector<UINT> formats = remainderFormats_;
    ResetRemainders();
    if (!continueCells) return;
    const auto anyPending = [&pending] {
        return std::any_of(pending.begin(), pending.end(), [](const QString& r) { return !r.isEmpty(); });
    };
    while (anyPending()) {
        NewPage();
        PrintRemainders(pending, formats);
        pos_.ry() += rowHeight_;
        pos_.setX(area_.left());
        rowHeight_ = 0;
    }
}

void GPrintUnit::PrintRemainders(std::vector<QString>& pending, const std::vector<UINT>& formats) {
    const std::size_t count = std::min({pending.size(), formats.size(), Columns(set_).size()});
    for (std::size_t column = 0; column < pending.size(); ++column) {
        const QString text = pending[column];
        if (text.isEmpty()) continue;
        if (column >= count) {
            pending[column].clear();
            continue;
        }
        QString rest;
        const int height = DrawWrapped(CellRect(static_cast<int>(column), lineHeight_), text, formats[column], &rest);
        rowHeight_ = std::max(rowHeight_, height);
        // A remainder that does not move on even on a fresh page never will: it is dropped.
        pending[column] = rest == text ? QString() : rest;
    }
}

void GPrintUnit::PrintColumnHeadings() {
    if (headingsOnPage_) return;
    headingsOnPage_ = true;
    NeedNewPage(kHeadingLine);
    const std::size_t count = Columns(set_).size();
    for (std::size_t column = 0; column < count; ++column) {
        PrintTextClipped(Columns(set_)[column].heading, CellRect(static_cast<int>(column), headingLineHeight_));
    }
    rowHeight_ = std::max(rowHeight_, headingLineHeight_);
    EndRow(false);
}

void GPrintUnit::PrintTextClipped(const QString& text, const QRect& cell) {
    QPainter& p = Painter();
    const QFontMetrics metrics = p.fontMetrics();
    QString shown = text;
    // Shortened until it fits; a cell of no width ends with no text at all.
    while (!shown.isEmpty() && metrics.horizontalAdvance(shown) > cell.width()) ChopCharacter(shown);
    if (!shown.isEmpty()) p.drawText(cell, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, shown);
}

void GPrintUnit::PrintTextLines(const PrintTextBlock& block) {
    const int lineHeight = block.lineHeight > 0 ? block.lineHeight : lineHeight_;
    const std::vector<PrintTextLine> lines = GPrintTextLineParser::Parse(block.text);
    const int count = static_cast<int>(lines.size());
    if (block.options & PTL_MAKE_ROOM) NeedNewPage(count * lineHeight);

    QPainter& p = Painter();
    const QFontMetrics metrics = p.fontMetrics();
    const int left = block.rect.left();
    const int right = block.rect.left() + block.rect.width();
    const int dotWidth = metrics.horizontalAdvance(QChar('.'));
    int top = pos_.y();
    for (const PrintTextLine& line : lines) {
        int cursor = left;
        for (const PrintTextPiece& piece : line) {
            int align = piece.align;
            if (align == PrintTextPiece::Left && (block.alignment & DT_CENTER)) align = PrintTextPiece::Centre;
            if (align == PrintTextPiece::Left && (block.alignment & DT_RIGHT)) align = PrintTextPiece::Right;
            const int width = metrics.horizontalAdvance(piece.text);
            int start = cursor;
            if (align == PrintTextPiece::Centre) start = left + (right - left - width) / 2;
            if (align == PrintTextPiece::Right) start = right - width;
            start = std::max(start, left);
            if (piece.dotLeader && dotWidth > 0 && start > cursor) {
                const int dots = (start - cursor) / dotWidth;
                if (dots > 0) {
                    p.drawText(QRect(cursor, top, start - cursor, lineHeight),
                               Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, QString(dots, QChar('.')));
                }
            }
            // The piece is cut at the rectangle's right edge.
            const QRect box(start, top, std::max(0, right - start), lineHeight);
            if (box.width() > 0) p.drawText(box, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, piece.text);
            cursor = start + width;
        }
        top += lineHeight;
    }
    rowHeight_ = count * lineHeight;
    if (block.options & PTL_END_ROW) EndRow(false);
}
