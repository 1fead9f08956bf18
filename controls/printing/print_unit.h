#pragma once
// A printable unit lays out pages of headed, column-based text on its job's printer:
// page starts and ends, column cells, rows that grow with their tallest cell, text
// clipped to a cell, and lines of left, centred and right pieces.

#include <QFont>
#include <QPoint>
#include <QRect>
#include <QString>
#include <memory>
#include <optional>
#include <vector>

#include "controls/printing/print_job.h"
#include "platform/core/win_types.h"

// Text drawing formats of a cell.
inline constexpr UINT DT_LEFT = 0x0000;
inline constexpr UINT DT_CENTER = 0x0001;
inline constexpr UINT DT_RIGHT = 0x0002;
inline constexpr UINT DT_VCENTER = 0x0004;
inline constexpr UINT DT_BOTTOM = 0x0008;
inline constexpr UINT DT_WORDBREAK = 0x0010;
inline constexpr UINT DT_SINGLELINE = 0x0020;
inline constexpr UINT DT_NOCLIP = 0x0100;
inline constexpr UINT DT_NOPREFIX = 0x0800;
inline constexpr UINT DT_WRAPCELL = 0x2000;  // lay the text out over lines; continue what does not fit

// Column flags.
inline constexpr int PCF_NARROWER = 1;  // the printed cell is 1.5 percent narrower
inline constexpr int PCF_RICHTEXT = 2;  // always laid out over lines
inline constexpr int PCF_REST = 8;      // takes the rest of the page width

// One column of a heading set.
struct tagPrintColumnDef {
    QString heading;
    QString secondText;
    double share = 0;  // of the page width, 0 to 1
    int width = 0;     // device units
    int x = 0;         // device units from the print area's left edge
    int flags = 0;
};
using PrintColumnDef = tagPrintColumnDef;

// Options of PrintTextLines.
inline constexpr int PTL_MAKE_ROOM = 0x1;
inline constexpr int PTL_END_ROW = 0x2;

struct PrintTextBlock {
    QString text;
    UINT alignment = DT_LEFT;  // for pieces that carry no alignment of their own
    QRect rect;                // its left and right bound the pieces; lines start at the output position
    int lineHeight = 0;        // 0: one body line
    int options = 0;
};

class GPrintUnit {
public:
    // NeedNewPage heights standing for a line of the unit.
    static constexpr int kBodyLine = -2;
    static constexpr int kHeadingLine = -1;

    explicit GPrintUnit(GPrintJob& job);
    GPrintUnit(const GPrintUnit&) = delete;
    GPrintUnit& operator=(const GPrintUnit&) = delete;
    virtual ~GPrintUnit();

    virtual bool Print();

    // Columns are added to set `set` (made on first use); a position past the end appends.
    void InsertPrintCol(int position, const QString& heading, double share, int set = 0, int flags = 0);
    const std::vector<PrintColumnDef>& Columns(int set = 0) const;

    QPoint OutputPosition() const { return pos_; }
    const QRect& PrintArea() const { return area_; }

protected:
    virtual void CompleteColumns();
    virtual void CreateFonts() {}
    virtual void MeasureFonts() {}
    virtual void StartPage();
    virtual void EndPage();
    // Starts a page through StartPage; what the page start prints never ejects the page
    // it is printed on, so a heading taller than the page cannot start pages forever.
    void OpenPage();
    void EjectPage(bool counted);
    // Starts a new page when `height` (or kBodyLine, kHeadingLine) would pass the bottom
    // of the print area; true when it did. A line that ends exactly at the bottom fits.
    virtual bool NeedNewPage(int height);
    virtual void EndRow(bool continueCells);
    void NewPage();
    bool IsPreview() const { return false; }
    void PrintColumnText(int column, const QString& text, UINT format);
    virtual void PrintColumnHeadings();
    void PrintTextClipped(const QString& text, const QRect& cell);
    virtual void PrintFooter() {}
    virtual void PrintHeading() {}
    void InitPrintArea();
    void PrintTextLines(const PrintTextBlock& block);

    // The cell of a column on the current row, less the cell gap; narrower for a column
    // with PCF_NARROWER.
    QRect CellRect(int column, int height) const;
    QPainter& Painter();

    GPrintJob& job_;
    QFont bodyFont_;
    QFont columnHeadingFont_;
    QFont pageHeadingFont_;
    QFont footerFont_;
    int lineHeight_ = 0;         // one body line
    int headingLineHeight_ = 0;  // one column-heading line
    int pageHeadingHeight_ = 0;
    int footerHeight_ = 0;
    int topMargin_ = 0;
    int bottomMargin_ = 0;
    int leftMargin_ = 0;
    QPoint pos_;
    QRect area_;
    int rowHeight_ = 0;  // the tallest cell of the current row
    int cellGap_ = 0;    // kept free at the right of every cell, so neighbours never touch

private:
    // Draws a cell's text; returns the height it took. Text that did not fit a wrapped
    // cell's height is left in `rest`.
    int DrawCellText(const QRect& cell, const QString& text, UINT format, const PrintColumnDef& column, QString* rest);
    int DrawWrapped(const QRect& cell, const QString& text, UINT format, QString* rest);
    void PrintRemainders(std::vector<QString>& pending, const std::vector<UINT>& formats);
    void ResetRemainders();

    std::vector<std::vector<PrintColumnDef>> sets_;
    int set_ = 0;
    // Per column of the current set: the text still to print and its format.
    std::vector<QString> remainders_;
    std::vector<UINT> remainderFormats_;
    bool pageOpen_ = false;
    bool startingPage_ = false;
    bool headingsOnPage_ = false;
};
