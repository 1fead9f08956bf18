// The history view on history files in a temporary data folder: the row of each kind of
// record, the messages that extend, reload and empty it, damaged members, sorting by a
// click on a heading, the columns kept across a restart, and printing.
#include <QApplication>
#include <QHeaderView>
#include <QImage>
#include <QLineEdit>
#include <QLocale>
#include <QPrintDialog>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "controls/printing/pdf_text.h"
#include "foundation/archive_store.h"
#include "foundation/history_message.h"
#include "foundation/history_store.h"
#include "foundation/program_state.h"
#include "foundation/settings_store.h"
#include "platform/core/file_time.h"
#include "resources/command_ids.h"
#include "resources/sync_messages.h"
#include "support/settings_fixture.h"
#include "ui/history/history_row.h"
#include "ui/history/history_view.h"

namespace {

using Column = HistoryRow::Column;

FILETIME At(int year, int month, int day, int hour, int minute) {
    SYSTEMTIME st;
    st.wYear = static_cast<WORD>(year);
    st.wMonth = static_cast<WORD>(month);
    st.wDay = static_cast<WORD>(day);
    st.wHour = static_cast<WORD>(hour);
    st.wMinute = static_cast<WORD>(minute);
    FILETIME ft;
    SystemTimeToFileTime(&st, &ft);
    return ft;
}

HistoryRecord RunRecord(const std::string& name, DWORD type, DWORD syncType, DWORD startSource, DWORD status) {
    HistoryRecord r;
    r.taskName = name;
    r.leftFolder = L"L";
    r.rightFolder = L"R";
    r.type = type;
    r.syncType = syncType;
    r.startSource = startSource;
    r.status = status;
    r.start = At(2024, 3, 10, 9, 0);
    r.end = At(2024, 3, 10, 9, 5);
    return r;
}

HistoryRecord Event(const std::string& name, DWORD type, DWORD code, DWORD status, const std::string& text = {}) {
    HistoryRecord r = RunRecord(name, type, 0, 0, status);
    r.code = code;
    r.text = text;
    return r;
}

class HistoryViewTest : public qbtest::SettingsFileTest {
protected:
    HistoryViewTest() {
        ProgramState().dataFolder = dir_.path();
        ProgramState().userName = "tester";
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedKingdom));
    }
    ~HistoryViewTest() override { QLocale::setDefault(QLocale::system()); }

    std::unique_ptr<CHistoryView> MakeView() {
        auto view = std::make_unique<CHistoryView>();
        view->resize(1200, 500);
        view->InitialUpdate();
        return view;
    }

    static void Append(const HistoryRecord& record) { ASSERT_TRUE(WriteHistoryRecord(record)); }
    // Stores member `number` as given, the way a damaged or older file holds it.
    static void StoreRaw(unsigned number, std::span<const std::uint8_t> bytes) {
        ASSERT_TRUE(WriteArchiveEntry(GetHistoryFilePath(), std::to_string(number), bytes));
    }
    static LRESULT Changed(CHistoryView& view, const std::string& path = GetHistoryFilePath()) {
        return SendHistoryPathMessage(view.GetSafeHwnd(), WM_SYNC_HISTORY_CHANGED, path);
    }

    static HistoryRow& RowOf(const CHistoryView& view, int index) { return static_cast<HistoryRow&>(*view.Row(index)); }
    static std::vector<std::string> Column0(const CHistoryView& view) {
        std::vector<std::string> names;
        for (int i = 0; i < view.RowCount(); ++i) names.push_back(view.Row(i)->text(0).toStdString());
        return names;
    }
    static void ClickHeading(CHistoryView& view, int column) {
        QHeaderView* head = view.header();
        const int x = head->sectionViewportPosition(column) + head->sectionSize(column) / 2;
        QTest::mouseClick(head->viewport(), Qt::LeftButton, {}, QPoint(x, head->height() / 2));
    }
    // Which way the arrow drawn at the right end of a heading points: an upward triangle
    // has its broad side, and so most of its ink, below.
    static ReportList::Arrow ArrowOnScreen(CHistoryView& view, int column) {
        QHeaderView* head = view.header();
        const QImage image = head->grab().toImage();
        const int right = head->sectionViewportPosition(column) + head->sectionSize(column);
        const QColor background = image.pixelColor(right - 30, head->height() / 2);
        int upper = 0;
        int lower = 0;
        for (int x = right - 16; x < right - 2; ++x) {
            for (int y = 2; y < head->height() - 2; ++y) {
                const QColor c = image.pixelColor(x, y);
                if (qAbs(c.lightness() - background.lightness()) < 60) continue;
                (y < head->height() / 2 ? upper : lower) += 1;
            }
        }
        if (upper + lower == 0) return ReportList::Arrow::None;
        return lower > upper ? ReportList::Arrow::Up : ReportList::Arrow::Down;
    }
};

struct ExpectedRow {
    std::string task, command, from, status, comments;
    int taskImage, fromImage, statusImage;
};

TEST_F(HistoryViewTest, EachKindOfRecordShowsItsTextsAndImages) {
    HistoryRecord mirror = RunRecord("Mirror", 0, 0, 2, 1);
    mirror.allowDelete = 1;
    mirror.lock = 1;
    mirror.readOnlyTarget = 1;
    Append(mirror);
    HistoryRecord backwards = RunRecord("Backwards", 2, 2, 5, 9);
    backwards.readOnly = 1;
    backwards.saveDelete = 1;
    backwards.ignoreCase = 1;
    Append(backwards);
    Append(Event("Changed", 4, kHistoryChangeOptions | kHistoryChangeFilters, 1));
    Append(Event("Cleaned", 4, kHistoryDeleteCatalogs | kHistoryDeleteBackups, 1));
    Append(Event("Renamed", 6, 0, 1, "Old"));
    Append(Event("Deleted", 3, 0, 10));
    Append(RunRecord("LowMemory", 1, 3, 1, 12));
    Append(RunRecord("Unmounted", 0, 4, 3, 14));
    Append(RunRecord("Unreadable", 0, 1, 4, 15));
    Append(RunRecord("Skipped", 0, 0, 0, 16));
    Append(RunRecord("Unknown", 0, 0, 0, 17));

    const auto view = MakeView();
    EXPECT_EQ(view->PrintTitle(), "Quarrybend Sync History");
    const std::vector<ExpectedRow> expected = {
        {"Mirror", "Sync", "TIMER", "OK",
         "'L' Mirror with 'R' Options: Del Allowed; No Save Changed; Copy Lock; Target Readonly; Case-Aware;", 24, 29,
         4},
        {"Backwards", "Check and Sync", "AUTO CONNECT", "Error: Disk Full",
         "'R' Sync with 'L' Options: No Del; Save Changed; No Copy Lock; Src Readonly; No Case-Aware;", 24, 25, 17},
        {"Changed", "Change", "tester", "OK", "Change: Options;Filters;", 27, 25, 4},
        {"Cleaned", "Change", "tester", "OK", "Delete: Backup Folders;Catalogs;", 27, 25, 4},
        {"Renamed", "Created by Rename", "tester", "OK", "Rename from Old", 31, 25, 4},
        {"Deleted", "Delete", "tester", "Failed", "", 14, 25, 17},
        {"LowMemory", "Check", "CONTAINER", "Error: Low Memory",
         "'L' Back up to 'R' Options: No Del; No Save Changed; No Copy Lock; Case-Aware;", 26, 28, 17},
        {"Unmounted", "Sync", "SCHEDULER", "Error: Folder empty or not mounted",
         "'R' Back up to 'L' Options: No Del; No Save Changed; No Copy Lock; Case-Aware;", 24, 30, 17},
        {"Unreadable", "Sync", "AUTO START", "Error: Folder cannot be read",
         "'L' Sync with 'R' Options: No Del; No Save Changed; No Copy Lock; Case-Aware;", 24, 25, 17},
        {"Skipped", "Sync", "tester", "Warn: Items skipped",
         "'L' Mirror with 'R' Options: No Del; No Save Changed; No Copy Lock; Case-Aware;", 24, 25, 13},
        {"Unknown", "Sync", "tester", "",
         "'L' Mirror with 'R' Options: No Del; No Save Changed; No Copy Lock; Case-Aware;", 24, 25, 4},
    };
    ASSERT_EQ(view->RowCount(), static_cast<int>(expected.size()));
    for (int i = 0; i < view->RowCount(); ++i) {
        SCOPED_TRACE(expected[i].task);
        const ReportRow& row = *view->Row(i);
        EXPECT_EQ(row.text(Column::kTask).toStdString(), expected[i].task);
        EXPECT_EQ(row.text(Column::kCommand).toStdString(), expected[i].command);
        EXPECT_EQ(row.text(Column::kFrom).toStdString(), expected[i].from);
        EXPECT_EQ(row.text(Column::kStatus).toStdString(), expected[i].status);
        EXPECT_EQ(row.text(Column::kComments).toStdString(), expected[i].comments);
        EXPECT_EQ(row.Image(Column::kTask), expected[i].taskImage);
        EXPECT_EQ(row.Image(Column::kFrom), expected[i].fromImage);
        EXPECT_EQ(row.Image(Column::kStatus), expected[i].statusImage);
        EXPECT_FALSE(row.data(Column::kStatus, Qt::DecorationRole).value<QIcon>().isNull());
    }
    // Wall-clock times as they are stored, in the user's formats.
    EXPECT_EQ(view->Row(0)->text(Column::kStart).toStdString(), "10/03/2024 09:00:00");
    EXPECT_EQ(view->Row(0)->text(Column::kFinish).toStdString(), "10/03/2024 09:05:00");
}

TEST_F(HistoryViewTest, OlderRecordShowsItsEightBitFoldersAndStatusAsStored) {
    HistoryRecord older = RunRecord("Older", 0, 1, 0, 5);
    older.leftFolder.clear();
    older.rightFolder.clear();
    older.start = FILETIME{};
    HistoryRecordBytes bytes = SerializeHistoryRecord(older);
    const std::string left = "/home/ana/M\xc3\xbasica";
    std::copy(left.begin(), left.end(), bytes.begin() + 260);
    std::copy_n("/mnt/b", 6, bytes.begin() + 2308);
    bytes[4671] = 0;  // the text-form mark clear: status 5 as older versions stored it
    StoreRaw(0, bytes);

    const auto view = MakeView();
    ASSERT_EQ(view->RowCount(), 1);
    EXPECT_EQ(view->Row(0)->text(Column::kStatus), "Warn: Conflicts");
    EXPECT_EQ(view->Row(0)->Image(Column::kStatus), 13);
    EXPECT_TRUE(
        view->Row(0)->text(Column::kComments).startsWith(QString::fromUtf8("'/home/ana/Música' Sync with '/mnt/b'")));
    EXPECT_TRUE(view->Row(0)->text(Column::kStart).isEmpty());
}

TEST_F(HistoryViewTest, ChangesAddOnlyNewRowsAndAShorterFileReloads) {
    Append(RunRecord("First", 0, 0, 0, 1));
    const auto view = MakeView();
    ASSERT_EQ(view->RowCount(), 1);
    ReportRow* first = view->Row(0);

    for (const char* name : {"A", "B", "C"}) {
        Append(RunRecord(name, 0, 0, 0, 1));
        EXPECT_EQ(Changed(*view), 1);
    }
    EXPECT_EQ(Column0(*view), (std::vector<std::string>{"First", "A", "B", "C"}));
    EXPECT_EQ(view->Row(0), first);  // extended, not rebuilt

    // A ticket for another file changes nothing, and is taken all the same.
    Append(RunRecord("D", 0, 0, 0, 1));
    const WPARAM other = MakeHistoryPathParam(dir_.sub("other/qbsync.fhs"));
    EXPECT_EQ(view->Message(WM_SYNC_HISTORY_CHANGED, other), 1);
    EXPECT_FALSE(TakeHistoryPathParam(other));
    EXPECT_EQ(view->RowCount(), 4);

    // The file deleted and started again with fewer records than shown: everything again.
    ASSERT_TRUE(DeleteHistoryFile());
    Append(RunRecord("New", 0, 0, 0, 1));
    Changed(*view);
    EXPECT_EQ(Column0(*view), std::vector<std::string>{"New"});

    // Delete History, then the frame's message: the list empties and stays empty.
    ASSERT_TRUE(DeleteHistoryFile());
    EXPECT_EQ(SendHistoryPathMessage(view->GetSafeHwnd(), WM_SYNC_CLEAR_HISTORY, GetHistoryFilePath()), 1);
    EXPECT_EQ(view->RowCount(), 0);
    view->Message(WM_SYNC_TASK_CHANGED, 0);
    EXPECT_EQ(view->RowCount(), 0);

    // A record written while the list is empty shows when a task changes.
    Append(RunRecord("Later", 0, 0, 0, 1));
    view->Message(WM_SYNC_TASK_CHANGED, 0);
    EXPECT_EQ(Column0(*view), std::vector<std::string>{"Later"});
}

TEST_F(HistoryViewTest, DamagedMemberHasNoRowButCountsAsShown) {
    Append(RunRecord("Before", 0, 0, 0, 1));
    const std::uint8_t shortMember[10] = {1, 2, 3};
    StoreRaw(1, shortMember);
    Append(RunRecord("After", 0, 0, 0, 1));

    const auto view = MakeView();
    EXPECT_EQ(Column0(*view), (std::vector<std::string>{"Before", "After"}));
    EXPECT_EQ(view->ShownRecords(), 3u);

    Append(RunRecord("Next", 0, 0, 0, 1));
    Changed(*view);
    EXPECT_EQ(Column0(*view), (std::vector<std::string>{"Before", "After", "Next"}));

    // A file that exists but cannot be read leaves the rows as they are.
    qbtest::WriteFileBytes(GetHistoryFilePath(), "not an archive");
    Changed(*view);
    EXPECT_EQ(view->RowCount(), 3);
}

TEST_F(HistoryViewTest, ClickingHeadingsSortsByTimeAndTextWithArrows) {
    HistoryRecord late = RunRecord("beta", 0, 0, 0, 1);
    late.start = At(2024, 3, 10, 9, 0);
    late.leftFolder = L"b";
    HistoryRecord early = RunRecord("Alpha", 0, 0, 0, 1);
    early.start = At(2024, 3, 9, 23, 0);
    early.leftFolder = L"B";
    HistoryRecord middle = RunRecord("Gamma", 0, 0, 0, 1);
    middle.start = At(2024, 3, 10, 1, 0);
    middle.leftFolder = L"a";
    Append(late);
    Append(early);
    Append(middle);
    const auto view = MakeView();
    view->show();

    // Start is not the current column: ascending by time (a text sort would put 10/03 first).
    ClickHeading(*view, Column::kStart);
    EXPECT_EQ(Column0(*view), (std::vector<std::string>{"Alpha", "Gamma", "beta"}));
    EXPECT_EQ(view->HeaderArrow(Column::kStart), ReportList::Arrow::Up);
    ClickHeading(*view, Column::kStart);
    EXPECT_EQ(Column0(*view), (std::vector<std::string>{"beta", "Gamma", "Alpha"}));
    EXPECT_EQ(view->HeaderArrow(Column::kStart), ReportList::Arrow::Down);
    EXPECT_EQ(ArrowOnScreen(*view, Column::kStart), ReportList::Arrow::Down);

    // Task: without case. Its stored direction is still ascending; Start's arrow goes.
    ClickHeading(*view, Column::kTask);
    EXPECT_EQ(Column0(*view), (std::vector<std::string>{"Alpha", "beta", "Gamma"}));
    EXPECT_EQ(view->HeaderArrow(Column::kStart), ReportList::Arrow::None);
    EXPECT_EQ(view->HeaderArrow(Column::kTask), ReportList::Arrow::Up);
    EXPECT_EQ(ArrowOnScreen(*view, Column::kTask), ReportList::Arrow::Up);
    EXPECT_EQ(ArrowOnScreen(*view, Column::kStart), ReportList::Arrow::None);

    // Comments: with case, so 'B' comes before 'a' and 'b'.
    ClickHeading(*view, Column::kComments);
    EXPECT_EQ(Column0(*view), (std::vector<std::string>{"Alpha", "Gamma", "beta"}));
    EXPECT_EQ(view->SortColumn(), Column::kComments);
}

TEST_F(HistoryViewTest, WidthsOrderAndSortColumnSurviveARestart) {
    HistoryRecord first = RunRecord("first", 0, 0, 0, 1);
    first.end = At(2024, 3, 9, 8, 0);
    Append(first);
    Append(RunRecord("second", 0, 0, 0, 1));
    {
        const auto view = MakeView();
        view->setColumnWidth(Column::kComments, 333);
        view->header()->moveSection(view->header()->visualIndex(Column::kStatus), 0);  // as a drag does
        view->show();
        ClickHeading(*view, Column::kFinish);
    }
    EXPECT_EQ(ReadProfileInt("history", "tab 6", 0), 333);
    EXPECT_EQ(ReadProfileInt("history", "array 0", -1), Column::kStatus);
    EXPECT_EQ(ReadProfileInt("history", "array 1", -1), Column::kTask);
    EXPECT_EQ(ReadProfileInt("history", "sort", -1), Column::kFinish);

    const auto again = MakeView();
    EXPECT_EQ(again->columnWidth(Column::kComments), 333);
    EXPECT_EQ(again->columnWidth(Column::kTask), 100);
    EXPECT_EQ(again->header()->logicalIndex(0), Column::kStatus);
    EXPECT_EQ(again->header()->logicalIndex(6), Column::kComments);
    EXPECT_EQ(again->model()->headerData(Column::kComments, Qt::Horizontal).toString(), "Comments");

    // The saved sort column is the current one: its first click flips it to descending.
    again->show();
    ClickHeading(*again, Column::kFinish);
    EXPECT_EQ(Column0(*again), (std::vector<std::string>{"second", "first"}));
}

TEST_F(HistoryViewTest, DamagedColumnSettingsFallBackToTheDefaults) {
    WriteProfileInt("history", "array 0", 3);  // column 3 twice
    WriteProfileInt("history", "array 1", 3);
    WriteProfileInt("history", "tab 2", -40);
    const auto view = MakeView();
    for (int c = 0; c < CHistoryView::kColumnCount; ++c) EXPECT_EQ(view->header()->logicalIndex(c), c);
    EXPECT_EQ(view->columnWidth(Column::kStart), 100);
}

TEST_F(HistoryViewTest, PrintGoesThroughTheDialogToAPdfFileWithEveryRow) {
    auto view = MakeView();
    plat::CmdUI print(ID_FILE_PRINT);
    view->UpdateCommandUI(print);
    EXPECT_FALSE(print.IsEnabled());

    for (int i = 0; i < 200; ++i) Append(RunRecord("task" + std::to_string(i), 0, 0, 0, 1));
    Changed(*view);
    print.Reset();
    view->UpdateCommandUI(print);
    EXPECT_TRUE(print.IsEnabled());

    // The user names a file in the print dialog and presses Print.
    const std::string pdf = dir_.sub("history.pdf");
    bool dialogSeen = false;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QPrintDialog*>(QApplication::activeModalWidget());
        if (!dialog) return;
        dialogSeen = true;
        dialog->findChild<QLineEdit*>("filename")->setText(QString::fromStdString(pdf));
        for (auto* button : dialog->findChildren<QPushButton*>()) {
            if (button->text() == "&Print") QTest::mouseClick(button, Qt::LeftButton);
        }
    });
    EXPECT_TRUE(view->DispatchCommand(ID_FILE_PRINT));
    EXPECT_TRUE(dialogSeen);
    const QString text = qbtest::PdfPages(pdf).join('\n');
    EXPECT_TRUE(text.contains("task0 "));
    EXPECT_TRUE(text.contains("task199"));
    EXPECT_TRUE(text.contains("Comments"));

    // ID_DELETE_ALL_ROWS rebuilds the rows from the file.
    EXPECT_TRUE(view->DispatchCommand(ID_DELETE_ALL_ROWS));
    EXPECT_EQ(view->RowCount(), 200);
}

}  // namespace
