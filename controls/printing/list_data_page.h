#pragma once
// One band of a printed list: column 0 and the band's columns, over every row, on as
// many pages as the rows need, each page headed by the date and time, the title and
// the page number, and by the column headings.

#include <QTreeWidget>

#include "controls/printing/print_unit.h"

class CListCtrlDataPage : public GPrintUnit {
public:
    CListCtrlDataPage(GPrintJob& job, QTreeWidget& list, int firstColumn, int lastColumn);

    bool Print() override;

protected:
    void CompleteColumns() override;
    void CreateFonts() override;
    void MeasureFonts() override;
    void StartPage() override;
    void PrintColumnHeadings() override;
    void PrintHeading() override;

private:
    QTreeWidget& list_;
    int firstColumn_;
    int lastColumn_;
};
