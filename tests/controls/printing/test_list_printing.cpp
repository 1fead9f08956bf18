// Printing a list to a PDF file: bands of columns, pages, headings with the date and
// time, the title and continuous page numbers, and the rows' texts.
#include <QDateTime>
#include <QFileInfo>
#include <QLocale>
#include <QRegularExpression>
#include <QTreeWidget>
#include <gtest/gtest.h>
#include <set>
#include <string>

#include "controls/printing/list_print_job.h"
#include "pdf_text.h"
#include "support/temp_dir.h"

namespace {

constexpr int kRows = 200;
constexpr int kColumns = 7;

void Fill(QTreeWidget& list, int rows, int columns, int width) {
    list.setColumnCount(columns);
    QStringList headings;
    for (int c = 0; c < columns; ++c) headings << QString("Head%1").arg(c);
    list.setHeaderLabels(headings);
    for (int c = 0; c < columns; ++c) list.setColumnWidth(c, width);
    for (int r = 0; r < rows; ++r) {
        auto* item = new QTreeWidgetItem(&list);
        for (int c = 0; c < columns; ++c) {
            item->setText(c, c == 0 ? QString("row%1").arg(r) : QString("c%1r%2").arg(c).arg(r));
        }
    }
}

// What a page heading shows as its date and time, now or a moment ago.
bool HasHeadingTime(const QString& page, const QDateTime& before, const QDateTime& after) {
    const QLocale locale = QLocale::system();
    for (const QDateTime& t : {before, after}) {
        const QString when =
            locale.toString(t.date(), QLocale::ShortFormat) + ' ' + locale.toString(t.time(), QLocale::ShortFormat);
        if (page.contains(when)) return true;
    }
    return false;
}

int PageNumber(const QString& page) {
    const QRegularExpressionMatch m = QRegularExpression("Page (\\d+)").match(page);
    return m.hasMatch() ? m.captured(1).toInt() : -1;
}

struct Printed {
    int result = -1;
    int pageCount = 0;
    QStringList pages;
    QDateTime before;
    QDateTime after;
};

Printed PrintList(QTreeWidget& list, const std::string& path, bool direct = true) {
    Printed printed;
    printed.before = QDateTime::currentDateTime();
    CListCtrlPrintJob job(&list, direct);
    job.SetPrintToFileName(path);
    printed.result = job.Print();
    printed.after = QDateTime::currentDateTime();
    printed.pageCount = qbtest::PdfPageCount(path);
    printed.pages = qbtest::PdfPages(path);
    return printed;
}

TEST(ListPrinting, TwoHundredRowsOfSevenColumnsThatFitOnePageWidth) {
    qbtest::TempDir dir;
    QTreeWidget list;
    Fill(list, kRows, kColumns, 100);
    const Printed printed = PrintList(list, dir.sub("history.pdf"));
    ASSERT_EQ(printed.result, GPrintJob::kPrinted);
    ASSERT_GT(printed.pageCount, 1);
    ASSERT_EQ(printed.pages.size(), printed.pageCount);

    std::set<std::string> rowsSeen;
    for (int i = 0; i < printed.pages.size(); ++i) {
        const QString& page = printed.pages[i];
        EXPECT_TRUE(page.contains("Quarrybend Sync History")) << i;
        EXPECT_EQ(PageNumber(page), i + 1);
        EXPECT_TRUE(HasHeadingTime(page, printed.before, printed.after)) << page.toStdString().substr(0, 200);
        // Every page repeats the column headings, all seven in one band.
        EXPECT_TRUE(page.contains(QRegularExpression("Head0\\s+Head1\\s+Head2\\s+Head3\\s+Head4\\s+Head5\\s+Head6")));
        for (const QRegularExpressionMatch& m : QRegularExpression("row(\\d+)\\s").globalMatch(page)) {
            rowsSeen.insert(m.captured(1).toStdString());
        }
    }
    EXPECT_EQ(rowsSeen.size(), static_cast<std::size_t>(kRows));
    // A row prints all its columns on one line.
    EXPECT_TRUE(printed.pages.join('\n').contains(
        QRegularExpression("row137\\s+c1r137\\s+c2r137\\s+c3r137\\s+c4r137\\s+c5r137\\s+c6r137")));
}

TEST(ListPrinting, WideListsPrintEveryRowOncePerBandWithContinuousPageNumbers) {
    qbtest::TempDir dir;
    QTreeWidget narrow;
    Fill(narrow, kRows, kColumns, 100);
    const int pagesPerBand = PrintList(narrow, dir.sub("narrow.pdf")).pageCount;

    QTreeWidget wide;
    Fill(wide, kRows, kColumns, 500);
    const Printed printed = PrintList(wide, dir.sub("wide.pdf"));
    ASSERT_EQ(printed.result, GPrintJob::kPrinted);
    ASSERT_EQ(printed.pages.size(), printed.pageCount);
    // Each band holds column 0 and the columns up to the one that overflowed the width.
    const QString all = printed.pages.join('\n');
    const int bands = static_cast<int>(all.count(QRegularExpression("row137\\s")));
    ASSERT_GE(bands, 2);
    EXPECT_EQ(printed.pageCount, bands * pagesPerBand);
    for (int c = 1; c < kColumns; ++c) EXPECT_EQ(all.count(QString("c%1r137").arg(c)), 1) << c;
    for (int i = 0; i < printed.pages.size(); ++i) {
        EXPECT_EQ(PageNumber(printed.pages[i]), i + 1);
        EXPECT_TRUE(printed.pages[i].contains("Head0"));
    }
}

TEST(ListPrinting, AnEmptyListPrintsTheHeadingsOnly) {
    qbtest::TempDir dir;
    QTreeWidget list;
    Fill(list, 0, 3, 120);
    const Printed printed = PrintList(list, dir.sub("empty.pdf"));
    ASSERT_EQ(printed.result, GPrintJob::kPrinted);
    ASSERT_EQ(printed.pageCount, 1);
    EXPECT_TRUE(printed.pages[0].contains("Quarrybend Sync History"));
    EXPECT_TRUE(printed.pages[0].contains("Page 1"));
    EXPECT_TRUE(printed.pages[0].contains(QRegularExpression("Head0\\s+Head1\\s+Head2")));
}

TEST(ListPrinting, AListWithOneColumnPrintsNothing) {
    qbtest::TempDir dir;
    QTreeWidget list;
    Fill(list, 20, 1, 120);
    const Printed printed = PrintList(list, dir.sub("one.pdf"));
    EXPECT_EQ(printed.result, GPrintJob::kPrinted);
    EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(dir.sub("one.pdf"))));
}

TEST(ListPrinting, NoListPrintsNothingAndLongCellsAreCut) {
    qbtest::TempDir dir;
    CListCtrlPrintJob none(nullptr, true);
    none.SetPrintToFileName(dir.sub("none.pdf"));
    EXPECT_EQ(none.Print(), GPrintJob::kPrinted);
    EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(dir.sub("none.pdf"))));

    QTreeWidget list;
    Fill(list, 1, 2, 100);
    list.setColumnWidth(1, 4000);  // room for more than 200 characters
    // Narrow letters, so that the cut and not the page's edge ends the text.
    list.topLevelItem(0)->setText(1, QString(190, 'l') + "ABCDEFGHIJKLMN");
    const Printed printed = PrintList(list, dir.sub("long.pdf"));
    ASSERT_EQ(printed.pageCount, 1);
    EXPECT_TRUE(printed.pages[0].contains("lllABCDEFGHIJ")) << printed.pages[0].toStdString();
    EXPECT_FALSE(printed.pages[0].contains("ABCDEFGHIJK"));
    EXPECT_EQ(list.topLevelItem(0)->text(1).size(), 204);  // the list is unchanged
}

}  // namespace
