// The report list under the history view and the task list: row data lives and dies with
// its row, sorting with a caller's comparison moves whole rows and keeps the selection,
// and a cell that is cut off shows its whole text as a tip.
#include <QApplication>
#include <QHelpEvent>
#include <QToolTip>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "controls/list_sort.h"
#include "foundation/settings_store.h"
#include "resources/string_ids.h"
#include "support/settings_fixture.h"
#include "ui/history/report_list.h"

namespace {

constexpr ReportColumn kColumns[] = {{IDS_HISTORY_COLUMN_TASK, 100}, {IDS_HISTORY_COLUMN_COMMAND, 60}};

// A row whose data counts its own end.
class CountedRow : public ReportRow {
public:
    CountedRow(int key, const QString& name, int* ends) : key_(key), ends_(ends) { setText(0, name); }
    ~CountedRow() override { ++*ends_; }
    int Key() const { return key_; }

private:
    int key_;
    int* ends_;
};

class ReportListTest : public qbtest::SettingsFileTest {
protected:
    std::unique_ptr<ReportList> MakeList() {
        auto list = std::make_unique<ReportList>(nullptr, "reportlist", kColumns);
        list->InsertColumns();
        list->resize(300, 200);
        return list;
    }
    void Fill(ReportList& list, const std::vector<std::pair<int, const char*>>& rows) {
        ReportList::Batch batch(list);
        for (const auto& [key, name] : rows) batch.Add(std::make_unique<CountedRow>(key, name, &ends_));
    }
    static std::vector<int> Keys(const ReportList& list) {
        std::vector<int> keys;
        for (int i = 0; i < list.RowCount(); ++i) keys.push_back(static_cast<const CountedRow*>(list.Row(i))->Key());
        return keys;
    }
    int ends_ = 0;
};

TEST_F(ReportListTest, RowDataGoesWithItsRowHoweverTheRowGoes) {
    {
        auto list = MakeList();
        Fill(*list, {{1, "a"}, {2, "b"}, {3, "c"}});
        EXPECT_EQ(Keys(*list), (std::vector<int>{1, 2, 3}));
        delete list->takeTopLevelItem(1);
        EXPECT_EQ(ends_, 1);
        list->DeleteAllRows();
        EXPECT_EQ(ends_, 3);
        Fill(*list, {{4, "d"}, {5, "e"}});
    }
    EXPECT_EQ(ends_, 5);  // the list destroyed with rows in it
}

TEST_F(ReportListTest, SortingMovesWholeRowsAndKeepsTheSelection) {
    auto list = MakeList();
    Fill(*list, {{3, "c"}, {1, "a"}, {2, "b"}, {1, "a2"}, {0, "z"}});
    list->Row(1)->setSelected(true);                                       // key 1, "a"
    list->Row(4)->setSelected(true);                                       // key 0
    list->setCurrentItem(list->Row(2), 0, QItemSelectionModel::NoUpdate);  // key 2

    list->SortRows([](const ReportRow& a, const ReportRow& b) {
        return static_cast<const CountedRow&>(a).Key() - static_cast<const CountedRow&>(b).Key();
    });
    // Equal keys keep their order ("a" before "a2").
    EXPECT_EQ(Keys(*list), (std::vector<int>{0, 1, 1, 2, 3}));
    EXPECT_EQ(list->Row(1)->text(0), "a");
    EXPECT_TRUE(list->Row(0)->isSelected());
    EXPECT_TRUE(list->Row(1)->isSelected());
    EXPECT_FALSE(list->Row(2)->isSelected());
    EXPECT_EQ(list->currentItem(), list->Row(3));
    EXPECT_EQ(ends_, 0);

    // The task list's text sort works on the same rows.
    EXPECT_TRUE(SortTextItems(list.get(), 0, FALSE));
    EXPECT_EQ(list->Row(0)->text(0), "z");
    EXPECT_EQ(static_cast<const CountedRow*>(list->Row(0))->Key(), 0);
}

TEST_F(ReportListTest, CutOffCellShowsItsWholeTextAsATip) {
    auto list = MakeList();
    const QString longText = "a task name far too long for a column of one hundred pixels";
    Fill(*list, {{1, "short"}, {2, "x"}});
    list->Row(1)->setText(0, longText);
    list->show();
    QApplication::processEvents();

    const auto tipOver = [&](int row) {
        const QRect cell = list->visualRect(list->model()->index(row, 0));
        QHelpEvent help(QEvent::ToolTip, cell.center(), list->viewport()->mapToGlobal(cell.center()));
        QApplication::sendEvent(list->viewport(), &help);
        return QToolTip::isVisible() ? QToolTip::text() : QString();
    };
    EXPECT_TRUE(tipOver(0).isEmpty());
    EXPECT_EQ(tipOver(1), longText);
}

// The last column takes the room the others leave, so nothing is cut while there is
// space; what is stored is each column's own width.
TEST_F(ReportListTest, TheLastColumnTakesTheFreeWidthAndKeepsItsOwn) {
    auto list = MakeList();
    list->show();
    QApplication::processEvents();
    const int free = list->viewport()->width() - 100;
    EXPECT_EQ(list->columnWidth(1), free);
    list->setColumnWidth(0, 150);
    QApplication::processEvents();
    EXPECT_EQ(list->columnWidth(1), free - 50);
    list->RememberColumns();
    EXPECT_EQ(list->columnWidth(1), free - 50) << "still filling the window";
    list.reset();
    EXPECT_EQ(ReadProfileInt("reportlist", "tab 0", 0), 150);
    EXPECT_EQ(ReadProfileInt("reportlist", "tab 1", 0), 60);
}

}  // namespace
