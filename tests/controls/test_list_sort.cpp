// Sorting a list by the text of a column moves whole rows; the theme call is harmless.
#include <QTreeWidget>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "controls/list_sort.h"
#include "controls/window_theme.h"

namespace {

// Rows of three columns; column 0 names the row, the item data is its original index.
void Fill(QTreeWidget& list, const std::vector<std::string>& names) {
    list.clear();
    list.setColumnCount(3);
    int index = 0;
    for (const std::string& name : names) {
        auto* item = new QTreeWidgetItem(&list);
        item->setText(0, QString::fromStdString(name));
        item->setText(1, QString("size %1").arg(index));
        item->setText(2, QString("date %1").arg(index));
        item->setData(0, Qt::UserRole, index);
        item->setIcon(0, QIcon());
        ++index;
    }
}

std::vector<std::string> Column(const QTreeWidget& list, int column) {
    std::vector<std::string> texts;
    for (int i = 0; i < list.topLevelItemCount(); ++i) {
        texts.push_back(list.topLevelItem(i)->text(column).toStdString());
    }
    return texts;
}

TEST(ListSort, SortsByTextAndBackMovingWholeRows) {
    QTreeWidget list;
    Fill(list, {"delta", "alpha", "echo", "charlie", "bravo"});
    list.topLevelItem(2)->setSelected(true);  // "echo"
    list.setCurrentItem(list.topLevelItem(2), 0, QItemSelectionModel::NoUpdate);

    ASSERT_TRUE(SortTextItems(&list, 0, TRUE));
    EXPECT_EQ(Column(list, 0), (std::vector<std::string>{"alpha", "bravo", "charlie", "delta", "echo"}));
    // Every column and the item data went with their row.
    EXPECT_EQ(Column(list, 1), (std::vector<std::string>{"size 1", "size 4", "size 3", "size 0", "size 2"}));
    EXPECT_EQ(Column(list, 2), (std::vector<std::string>{"date 1", "date 4", "date 3", "date 0", "date 2"}));
    EXPECT_EQ(list.topLevelItem(4)->data(0, Qt::UserRole).toInt(), 2);
    EXPECT_TRUE(list.topLevelItem(4)->isSelected());
    EXPECT_EQ(list.selectedItems().size(), 1);
    EXPECT_EQ(list.currentItem(), list.topLevelItem(4));

    ASSERT_TRUE(SortTextItems(&list, 0, FALSE));
    EXPECT_EQ(Column(list, 0), (std::vector<std::string>{"echo", "delta", "charlie", "bravo", "alpha"}));
    ASSERT_TRUE(SortTextItems(&list, 0, TRUE));
    EXPECT_EQ(Column(list, 0), (std::vector<std::string>{"alpha", "bravo", "charlie", "delta", "echo"}));

    // By another column.
    ASSERT_TRUE(SortTextItems(&list, 1, FALSE));
    EXPECT_EQ(Column(list, 1), (std::vector<std::string>{"size 4", "size 3", "size 2", "size 1", "size 0"}));
}

TEST(ListSort, SeveralSelectedRowsStaySelected) {
    QTreeWidget list;
    list.setSelectionMode(QAbstractItemView::ExtendedSelection);
    Fill(list, {"d", "c", "b", "a", "e"});
    list.topLevelItem(0)->setSelected(true);  // "d"
    list.topLevelItem(3)->setSelected(true);  // "a"
    ASSERT_TRUE(SortTextItems(&list, 0, TRUE));
    std::vector<std::string> selected;
    for (int i = 0; i < list.topLevelItemCount(); ++i) {
        if (list.topLevelItem(i)->isSelected()) selected.push_back(list.topLevelItem(i)->text(0).toStdString());
    }
    EXPECT_EQ(selected, (std::vector<std::string>{"a", "d"}));
}

TEST(ListSort, ComparesBytesWithCase) {
    QTreeWidget list;
    Fill(list, {"b", "a", "B", "\xc3\xa9t\xc3\xa9", "A", "z"});
    ASSERT_TRUE(SortTextItems(&list, 0, TRUE));
    EXPECT_EQ(Column(list, 0), (std::vector<std::string>{"A", "B", "a", "b", "z", "\xc3\xa9t\xc3\xa9"}));
}

TEST(ListSort, LongerListsWithDuplicatesEndSorted) {
    QTreeWidget list;
    std::vector<std::string> names;
    for (int i = 0; i < 200; ++i) names.push_back("task " + std::to_string((i * 37) % 50));
    Fill(list, names);
    ASSERT_TRUE(SortTextItems(&list, 0, TRUE));
    std::vector<std::string> sorted = names;
    std::sort(sorted.begin(), sorted.end());
    EXPECT_EQ(Column(list, 0), sorted);
    ASSERT_EQ(list.topLevelItemCount(), 200);
}

TEST(ListSort, EqualTextsAreNeverExchanged) {
    QTreeWidget list;
    Fill(list, {"same", "same", "same", "same"});
    ASSERT_TRUE(SortTextItems(&list, 0, TRUE));
    for (int i = 0; i < 4; ++i) EXPECT_EQ(list.topLevelItem(i)->data(0, Qt::UserRole).toInt(), i);
}

TEST(ListSort, BadColumnsAndShortRangesChangeNothing) {
    QTreeWidget list;
    EXPECT_FALSE(SortTextItems(&list, 0, TRUE));  // empty list
    Fill(list, {"only"});
    EXPECT_FALSE(SortTextItems(&list, 0, TRUE));
    Fill(list, {"b", "a"});
    EXPECT_FALSE(SortTextItems(&list, 3, TRUE));
    EXPECT_FALSE(SortTextItems(&list, -1, TRUE));
    EXPECT_FALSE(SortTextItems(nullptr, 0, TRUE));
    EXPECT_FALSE(SortTextItems(&list, 0, TRUE, 1, 1));
    EXPECT_FALSE(SortTextItems(&list, 0, TRUE, -3, 1));
    EXPECT_EQ(Column(list, 0), (std::vector<std::string>{"b", "a"}));
    EXPECT_TRUE(SortTextItems(&list, 0, TRUE, 0, 10));  // a range past the end stops at the last row
    EXPECT_EQ(Column(list, 0), (std::vector<std::string>{"a", "b"}));
}

TEST(WindowTheme, IsAHarmlessNoOp) {
    QTreeWidget list;
    const QPalette before = list.palette();
    EXPECT_EQ(ApplyWindowTheme(&list, L"Explorer", nullptr, 3), 0);
    EXPECT_EQ(ApplyWindowTheme(&list, L"Explorer", nullptr), E_FAIL);
    EXPECT_EQ(ApplyWindowTheme(nullptr, nullptr, nullptr), E_FAIL);
    EXPECT_EQ(list.palette(), before);
}

}  // namespace
