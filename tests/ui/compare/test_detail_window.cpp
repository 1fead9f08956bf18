// The compare window as a user meets it: what its panes show, that they scroll together
// and ignore clicks and keys, the boxes instead of a window, and Exit.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <QApplication>
#include <QFontInfo>
#include <QImage>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QScrollBar>
#include <QTest>
#include <QWheelEvent>

#include <cstring>

#include "platform/core/message_box.h"
#include "platform/core/text.h"
#include "support/temp_dir.h"
#include "ui/compare/compare_command.h"
#include "ui/compare/detail_frame.h"
#include "ui/compare/detail_list_box.h"
#include "ui/compare/detail_view.h"

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

namespace {

// A main window to compare over, and two files that differ.
struct CompareFixture : ::testing::Test {
    qbtest::TempDir dir;
    plat::FrameWindow main;
    plat::ScopedMessageBoxHandler boxes{IDOK};

    void SetUp() override {
        main.setGeometry(40, 50, 900, 600);
        main.show();
    }
    std::wstring File(const std::string& name, const std::string& text) {
        qbtest::WriteFileBytes(dir.sub(name), text);
        return plat::Utf8ToWide(dir.sub(name));
    }
    std::vector<std::string> BoxTexts() const {
        std::vector<std::string> texts;
        for (const auto& box : boxes.Requests()) texts.push_back(box.text);
        return texts;
    }
};

TEST_F(CompareFixture, IdenticalOrBinaryFilesAreToldInABox) {
    EXPECT_EQ(CompareTwoFiles(File("a/x.txt", "same\n"), File("b/x.txt", "same\n"), &main), nullptr);
    EXPECT_EQ(CompareTwoFiles(File("a/x.bin", std::string("\0a", 2)), File("b/x.bin", std::string("\0b", 2)), &main),
              nullptr);
    const auto texts = BoxTexts();
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[0], "Files are identical");
    EXPECT_EQ(texts[1].rfind("Binary files ", 0), 0u) << texts[1];
    EXPECT_EQ(boxes.Requests()[0].owner, main.GetSafeHwnd());
    for (QWidget* window : QApplication::topLevelWidgets()) EXPECT_FALSE(dynamic_cast<CDetailFrame*>(window));
}

TEST_F(CompareFixture, WindowShowsBothFilesOverTheMainWindowAndExitBringsItBack) {
    const std::wstring left = File("a/x.txt", "1\n2\n3\n4\n5\n");
    const std::wstring right = File("b/x.txt", "1\n2\nthree\n4\n5\n");
    QPointer<CDetailFrame> frame = CompareTwoFiles(left, right, &main);
    ASSERT_TRUE(frame);
    EXPECT_EQ(frame->windowTitle().toStdString(), "Sync:  " + dir.sub("a/x.txt") + " -vs- " + dir.sub("b/x.txt"));
    EXPECT_EQ(frame->geometry(), main.geometry());
    EXPECT_EQ(frame->LeftView().width(), CDetailFrame::kLeftPaneWidth);
    EXPECT_EQ(frame->LeftView().ListBox().size(), frame->LeftView().size());
    EXPECT_EQ(frame->LeftView().ListBox().Rows()[2].text, "3     3");
    EXPECT_EQ(frame->RightView().ListBox().Rows()[2].text, "3     three");
    EXPECT_EQ(frame->RightView().ListBox().Rows()[2].value, 1);
    EXPECT_EQ(frame->LeftView().ListBox().Partner(), &frame->RightView().ListBox());

    // The window grows: the left pane keeps its width.
    frame->resize(1200, 700);
    QApplication::processEvents();
    EXPECT_EQ(frame->LeftView().width(), CDetailFrame::kLeftPaneWidth);

    main.showMinimized();
    QAction* exitItem = nullptr;
    for (QAction* menu : frame->menuBar()->actions()) {
        EXPECT_EQ(menu->text(), "&File");
        for (QAction* item : menu->menu()->actions()) {
            if (item->text() == "E&xit") exitItem = item;
        }
    }
    ASSERT_NE(exitItem, nullptr);
    exitItem->trigger();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(frame);
    EXPECT_TRUE(main.isVisible());
    EXPECT_FALSE(main.isMinimized());
    EXPECT_TRUE(boxes.Requests().empty());
}

TEST_F(CompareFixture, FileGoneBeforeItsPaneIsFilledGivesABoxAndNoWindow) {
    // A comparer that reports a difference for files that are not there (they went away
    // between the comparison and the filling).
    qbtest::TempDir tool;
    qbtest::WriteFileBytes(tool.sub("diff"), "#!/bin/sh\necho 1c1\nexit 1\n");
    chmod(tool.sub("diff").c_str(), 0755);
    const std::wstring left = plat::Utf8ToWide(dir.sub("gone.txt"));
    EXPECT_EQ(CompareTwoFiles(left, File("b.txt", "b\n"), &main, tool.path()), nullptr);
    EXPECT_EQ(BoxTexts(), std::vector<std::string>{dir.sub("gone.txt") + "\r\n" + std::strerror(ENOENT)});
    for (QWidget* window : QApplication::topLevelWidgets()) EXPECT_FALSE(dynamic_cast<CDetailFrame*>(window));
}

}  // namespace
