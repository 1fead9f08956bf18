// Printing a list to a PDF file: columns as wide as their texts, bands of columns that
// fit a page, pages, headings with the date and time, the list's title and continuous
// page numbers, and the rows' texts, none cut or run together.
#include <QDateTime>
#include <QFileInfo>
#include <QLocale>
#include <QRegularExpression>
#include <QTreeWidget>
#include <gtest/gtest.h>
#include <set>
#include <string>

#include "controls/printing/list_bands.h"
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

constexpr char kHistoryTitle[] = "Quarrybend Sync History";

Printed PrintList(QTreeWidget& list, const std::string& path, const char* title = kHistoryTitle) {
    Printed printed;
    printed.before = QDateTime::currentDateTime();
    CListCtrlPrintJob job(&list, true, QString::fromUtf8(title));
    job.SetPrintToFileName(path);
    printed.result = job.Print();
    printed.after = QDateTime::currentDateTime();
    printed.pageCount = qbtest::PdfPageCount(path);
    printed.pages = qbtest::PdfPages(path);
    return printed;
}

TEST(ListBands, ColumnsGoToTheNextBandWhenTheyDoNotFitAndTheLastTakesTheRest) {
    using Widths = std::vector<int>;
    auto bands = LayOutColumnBands({50, 100, 100}, 1000);
    ASSERT_EQ(bands.size(), 1u);
    EXPECT_EQ(bands[0].first, 1);
    EXPECT_EQ(bands[0].last, 2);
    EXPECT_EQ(bands[0].widths, (Widths{50, 100, 850}));

    bands = LayOutColumnBands({100, 400, 400, 400}, 1000);
    ASSERT_EQ(bands.size(), 2u);
    EXPECT_EQ(bands[0].last, 2);
    EXPECT_EQ(bands[0].widths, (Widths{100, 400, 500}));
    EXPECT_EQ(bands[1].first, 3);
    EXPECT_EQ(bands[1].widths, (Widths{100, 900}));

    // Column 0 keeps to a third of the page; a column wider than a band gets one to itself.
    bands = LayOutColumnBands({500, 2000, 50}, 900);
    ASSERT_EQ(bands.size(), 2u);
    EXPECT_EQ(bands[0].widths, (Widths{300, 600}));
    EXPECT_EQ(bands[1].widths, (Widths{300, 600}));

    // A column too wide for any band wraps in what a band has left, when that is a third
    // of it or more.
    bands = LayOutColumnBands({100, 300, 3000}, 1000);
    ASSERT_EQ(bands.size(), 1u);
    EXPECT_EQ(bands[0].widths, (Widths{100, 300, 600}));
    bands = LayOutColumnBands({100, 700, 3000}, 1000);
    ASSERT_EQ(bands.size(), 2u);
    EXPECT_EQ(bands[0].widths, (Widths{100, 900}));
    EXPECT_EQ(bands[1].widths, (Widths{100, 900}));

    EXPECT_TRUE(LayOutColumnBands({100}, 1000).empty());
    EXPECT_TRUE(LayOutColumnBands({100, 100}, 0).empty());
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

TEST(ListPrinting, ColumnsTooWideForOnePagePrintEveryRowOncePerBandWithContinuousPageNumbers) {
    qbtest::TempDir dir;
    QTreeWidget narrow;
    Fill(narrow, kRows, kColumns, 100);
    const int pagesPerBand = PrintList(narrow, dir.sub("narrow.pdf")).pageCount;

    // Narrow on screen, but their texts are wide: the printed widths follow the texts.
    QTreeWidget wide;
    Fill(wide, kRows, kColumns, 40);
    for (int r = 0; r < kRows; ++r) {
        for (int c = 1; c < kColumns; ++c) {
            wide.topLevelItem(r)->setText(c, QString("c%1r%2 ").arg(c).arg(r) + QString(40, 'w'));
        }
    }
    const Printed printed = PrintList(wide, dir.sub("wide.pdf"));
    ASSERT_EQ(printed.result, GPrintJob::kPrinted);
    ASSERT_EQ(printed.pages.size(), printed.pageCount);
    const QString all = printed.pages.join('\n');
    const int bands = static_cast<int>(all.count(QRegularExpression("row137\\s")));
    ASSERT_GE(bands, 2);
    EXPECT_EQ(printed.pageCount, bands * pagesPerBand);
    for (int c = 1; c < kColumns; ++c) {
        // Each cell once, whole, and apart from its neighbours.
        EXPECT_EQ(all.count(QRegularExpression(QString("c%1r137 w{40}(\\s|$)").arg(c))), 1) << c;
    }
    for (int i = 0; i < printed.pages.size(); ++i) {
        EXPECT_EQ(PageNumber(printed.pages[i]), i + 1);
        EXPECT_TRUE(printed.pages[i].contains("Head0"));
    }
}

TEST(ListPrinting, NarrowScreenColumnsPrintTheirTextsWholeAndApart) {
    // A history list as a user leaves it: narrow columns, dates, and comments longer than
    // the page is wide.
    qbtest::TempDir dir;
    QTreeWidget list;
    list.setColumnCount(7);
    list.setHeaderLabels({"Task", "Command", "Start", "Finish", "From", "Status", "Comments"});
    for (int c = 0; c < 7; ++c) list.setColumnWidth(c, 30);
    const QString comment =
        "'/home/me/Documents' Sync with '/media/backup/Documents' Options: No Del; Save Changed; "
        "No Copy Lock; Src Readonly; Target Readonly; Case-Aware; lastword";
    for (int r = 0; r < 30; ++r) {
        auto* item = new QTreeWidgetItem(&list);
        item->setText(0, "Docs");
        item->setText(1, r % 2 ? "Sync" : "Create");
        item->setText(2, "9 Dec 2020 10:11:12");
        item->setText(3, "9 Dec 2020 10:11:13");
        item->setText(4, "me");
        item->setText(5, "OK");
        item->setText(6, comment);
    }
    const Printed printed = PrintList(list, dir.sub("history.pdf"));
    ASSERT_EQ(printed.result, GPrintJob::kPrinted);
    const QString all = printed.pages.join('\n');
    // The comments are wider than the page: they wrap in the room the other columns leave.
    EXPECT_EQ(all.count(QRegularExpression("Task\\s+Command\\s+Start\\s+Finish\\s+From\\s+Status\\s+Comments\\s*\\n")),
              printed.pageCount);
    EXPECT_EQ(all.count(QRegularExpression(
                  "Docs\\s+Sync\\s+9 Dec 2020 10:11:12\\s+9 Dec 2020 10:11:13\\s+me\\s+OK\\s+'/home")),
              15);
    // Every word of a comment is printed, none cut at the page's edge.
    EXPECT_EQ(all.count("'/home/me/Documents' Sync with"), 30);
    EXPECT_EQ(all.count("Readonly;"), 60);
    EXPECT_EQ(all.count(QRegularExpression("lastword\\s*\\n")), 30);
}

TEST(ListPrinting, EachListPrintsItsOwnTitle) {
    qbtest::TempDir dir;
    QTreeWidget list;
    Fill(list, 3, 3, 100);
    const Printed printed = PrintList(list, dir.sub("tasks.pdf"), "Quarrybend Sync Tasks");
    ASSERT_EQ(printed.pageCount, 1);
    EXPECT_TRUE(printed.pages[0].contains("Quarrybend Sync Tasks"));
    EXPECT_FALSE(printed.pages[0].contains("History"));
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
    CListCtrlPrintJob none(nullptr, true, kHistoryTitle);
    none.SetPrintToFileName(dir.sub("none.pdf"));
    EXPECT_EQ(none.Print(), GPrintJob::kPrinted);
    EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(dir.sub("none.pdf"))));

    QTreeWidget list;
    Fill(list, 1, 2, 100);
    list.setColumnWidth(1, 4000);  // room for more than 200 characters
    list.topLevelItem(0)->setText(1, QString(190, 'l') + "ABCDEFGHIJKLMN");
    const Printed printed = PrintList(list, dir.sub("long.pdf"));
    ASSERT_EQ(printed.pageCount, 1);
    // Where the page's edge comes first depends on the font; the cell may wrap there.
    const QString text = QString(printed.pages[0]).remove(QRegularExpression("\\s"));
    EXPECT_TRUE(text.contains("lllABCDEFGHIJ")) << printed.pages[0].toStdString();
    EXPECT_FALSE(text.contains("ABCDEFGHIJK"));
    EXPECT_EQ(list.topLevelItem(0)->text(1).size(), 204);  // the list is unchanged
}

}  // namespace
