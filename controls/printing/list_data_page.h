#pragma once
// One band of a printed list: column 0 and the band's columns, over every row, on as
// many pages as the rows need, each page headed by the date and time, the list's title
// and the page number, and by the column headings. A cell wider than its column wraps
// over lines, and what does not fit the page goes on at the top of the next.

#include <QFont>
#include <QString>
#include <QTreeWidget>

#include "controls/printing/list_bands.h"
#include "controls/printing/print_unit.h"

// The fonts of a printed list.
struct ListPrintFonts {
    QFont columnHeading;
    QFont body;
    QFont pageHeading;
    QFont footer;
};
ListPrintFonts MakeListPrintFonts();

// The text a cell prints: at most 200 characters.
QString PrintedCellText(const QString& text);

class CListCtrlDataPage : public GPrintUnit {
public:
    CListCtrlDataPage(GPrintJob& job, QTreeWidget& list, ColumnBand band, QString title);

    bool Print() override;

    // The blank kept at the right of every cell, in device units of `device`.
    static int CellGap(QPaintDevice* device);

protected:
    void CompleteColumns() override;
    void CreateFonts() override;
    void MeasureFonts() override;
    void StartPage() override;
    void PrintColumnHeadings() override;
    void PrintHeading() override;

private:
    QTreeWidget& list_;
    ColumnBand band_;
    QString title_;
};
