// The compare window's panes as a user meets them: what they show, and that they scroll
// together and ignore clicks and keys.
#include <gtest/gtest.h>

#include <QFontInfo>
#include <QImage>
#include <QScrollBar>
#include <QTest>
#include <QWheelEvent>

#include "ui/compare/detail_list_box.h"

namespace {

std::vector<PaneRow> RowsOf(int count, int greyEvery, const std::string& prefix) {
    std::vector<PaneRow> rows;
    for (int i = 1; i <= count; ++i) {
        rows.push_back({FormatPaneLine(static_cast<std::size_t>(i), prefix + std::to_string(i)),
                        static_cast<std::uint8_t>(i % greyEvery == 0)});
    }
    return rows;
}

TEST(DetailListBox, RowsAreThirteenPixelsGreyWhereTheyDiffer) {
    CDetailListBox list;
    list.resize(300, 200);
    list.SetRows(RowsOf(100, 3, "line "));
    list.show();
    EXPECT_TRUE(QFontInfo(list.font()).fixedPitch());
    const QImage image = list.viewport()->grab().toImage();
    // Every third row grey from edge to edge (looked at past the text).
    const int x = image.width() - 2;
    for (int row = 0; row < 6; ++row) {
        const QRgb expected = row % 3 == 2 ? CDetailListBox::kDifferentColour : CDetailListBox::kSameColour;
        EXPECT_EQ(image.pixel(x, row * 13) & 0xFFFFFF, expected) << row;
        EXPECT_EQ(image.pixel(x, row * 13 + 12) & 0xFFFFFF, expected) << row;
    }
    EXPECT_EQ(list.visualRect(list.model()->index(7, 0)).top(), 7 * 13);
    // The widest row is "100   line 100": its width and the margin.
    EXPECT_EQ(list.HorizontalExtent(), QFontMetrics(list.font()).horizontalAdvance("100   line 100") + 250);
}

TEST(DetailListBox, PanesScrollTogetherAndIgnoreTheUser) {
    CDetailListBox left, right;
    left.SetPartner(&right);
    right.SetPartner(&left);
    for (CDetailListBox* list : {&left, &right}) {
        list->resize(200, 150);
        list->show();
    }
    left.SetRows(RowsOf(500, 2, std::string(200, 'x')));
    right.SetRows(RowsOf(500, 2, "short "));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&right));

    right.verticalScrollBar()->setValue(40);
    EXPECT_EQ(right.TopIndex(), 40);
    EXPECT_EQ(left.TopIndex(), 40);
    left.verticalScrollBar()->triggerAction(QAbstractSlider::SliderPageStepAdd);
    EXPECT_EQ(right.TopIndex(), left.TopIndex());
    EXPECT_GT(left.TopIndex(), 40);

    // Scrolled right past what the narrow pane can take: the narrow one stops at its end,
    // the wide one stays where the user put it.
    left.horizontalScrollBar()->setValue(left.horizontalScrollBar()->maximum());
    EXPECT_EQ(right.horizontalScrollBar()->value(), right.horizontalScrollBar()->maximum());
    EXPECT_EQ(left.horizontalScrollBar()->value(), left.horizontalScrollBar()->maximum());
    EXPECT_GT(left.horizontalScrollBar()->maximum(), right.horizontalScrollBar()->maximum());

    const int top = left.TopIndex();
    QTest::mouseClick(left.viewport(), Qt::LeftButton, {}, QPoint(20, 20));
    QTest::mouseDClick(left.viewport(), Qt::LeftButton, {}, QPoint(20, 33));
    QTest::keyClick(&left, Qt::Key_Down);
    QTest::keyClick(&left, Qt::Key_PageDown);
    QWheelEvent wheel(QPointF(20, 20), left.viewport()->mapToGlobal(QPointF(20, 20)), {}, QPoint(0, -480), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(left.viewport(), &wheel);
    EXPECT_EQ(left.TopIndex(), top);
    EXPECT_EQ(right.TopIndex(), top);
    EXPECT_FALSE(left.currentIndex().isValid());
    EXPECT_TRUE(left.selectionModel()->selectedIndexes().isEmpty());
}

}  // namespace
