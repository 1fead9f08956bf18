// Anchored layout: exact rectangles after a resize, minimum size, the size grip and
// the repaint and clipping decisions by control kind.
#include <QApplication>
#include <QGroupBox>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

#include "controls/resizable_dialog.h"
#include "controls/static_control.h"

// Readable rectangles in failure messages.
void PrintTo(const QRect& r, std::ostream* os) {
    *os << "(" << r.x() << ", " << r.y() << ", " << r.width() << " x " << r.height() << ")";
}

namespace {

class TestDialog : public CResizableDialog {
public:
    explicit TestDialog(QWidget* parent = nullptr) : CResizableDialog(4047, parent) {
        resize(400, 300);
        fill = Child(QRect(10, 10, 380, 200));
        corner = Child(QRect(300, 260, 90, 30));
        centred = Child(QRect(175, 220, 50, 20));
        half = Child(QRect(10, 240, 180, 20));
        AddAnchor(fill, anchor::TopLeft, anchor::BottomRight);
        AddAnchor(corner, anchor::BottomRight, anchor::BottomRight);
        AddAnchor(centred, anchor::TopCenter, anchor::TopCenter);
        AddAnchor(half, anchor::TopLeft, anchor::TopCenter);
    }

    QWidget* Child(const QRect& rect) {
        auto* w = new QWidget(this);
        w->setGeometry(rect);
        return w;
    }

    // Exposes the repaint decision for a control anchored in this dialog.
    UINT FlagsFor(QWidget* control, const QRect& oldRect, const QRect& newRect) {
        LayoutInfo info;
        info.control = control;
        info.className = control->inherits("QLabel") ? "Static" : "";
        InitChildProperties(info);
        return MoveFlags(info, oldRect, newRect);
    }

    QWidget* fill;
    QWidget* corner;
    QWidget* centred;
    QWidget* half;
};

TEST(ResizableLayout, AnchoredControlsTakeTheirExactRectangles) {
    TestDialog dlg;
    dlg.show();
    dlg.resize(600, 500);
    EXPECT_EQ(dlg.fill->geometry(), QRect(10, 10, 580, 400));     // margins kept on all sides
    EXPECT_EQ(dlg.corner->geometry(), QRect(500, 460, 90, 30));   // size and corner distance kept
    EXPECT_EQ(dlg.centred->geometry(), QRect(275, 220, 50, 20));  // stays centred
    EXPECT_EQ(dlg.half->geometry(), QRect(10, 240, 280, 20));     // right edge follows half the width

    // Anchor points use integer percent arithmetic: 50 % of 601 is 300.
    dlg.resize(601, 500);
    EXPECT_EQ(dlg.centred->geometry(), QRect(275, 220, 50, 20));
    dlg.resize(603, 500);
    EXPECT_EQ(dlg.centred->geometry(), QRect(276, 220, 50, 20));

    // Back to the original size gives the original rectangles.
    dlg.resize(400, 300);
    EXPECT_EQ(dlg.fill->geometry(), QRect(10, 10, 380, 200));
    EXPECT_EQ(dlg.corner->geometry(), QRect(300, 260, 90, 30));
}

TEST(ResizableLayout, AResizeWhileAnOuterWindowHoldsItsPaintingKeepsTheDialogPainting) {
    // A task window laid out while its tab pane had painting off was never painted again.
    QWidget tab;
    TestDialog dlg(&tab);
    dlg.setWindowFlags(Qt::Widget);
    tab.show();
    dlg.show();
    tab.setUpdatesEnabled(false);
    dlg.resize(500, 400);
    dlg.Message(WM_SIZE, SIZE_RESTORED, 0);
    tab.setUpdatesEnabled(true);
    EXPECT_TRUE(dlg.updatesEnabled());
    EXPECT_EQ(dlg.fill->geometry(), QRect(10, 10, 480, 300));
}

TEST(ResizableLayout, ControlsInsideAGroupFollowInDialogCoordinates) {
    TestDialog dlg;
    auto* group = new QWidget(&dlg);
    group->setGeometry(50, 50, 200, 100);
    auto* inner = new QWidget(group);
    inner->setGeometry(10, 10, 30, 30);  // (60, 60) in the dialog
    dlg.AddAnchor(inner, anchor::BottomRight);
    dlg.show();
    dlg.resize(500, 400);
    EXPECT_EQ(inner->geometry(), QRect(110, 110, 30, 30));
}

TEST(ResizableLayout, BadAnchorsAreIgnoredAndShrinkingNeverGivesNegativeSizes) {
    QWidget tab;
    TestDialog dlg(&tab);
    dlg.setWindowFlags(Qt::Widget);
    tab.show();
    dlg.show();
    QWidget stranger;
    dlg.AddAnchor(&stranger, anchor::TopLeft, anchor::BottomRight);
    dlg.AddAnchor(nullptr, anchor::TopLeft);
    EXPECT_EQ(dlg.AnchorCount(), 4u);

    dlg.resize(20, 20);  // a child window has no minimum: controls collapse, never invert
    EXPECT_GE(dlg.fill->width(), 0);
    EXPECT_GE(dlg.fill->height(), 0);

    delete dlg.half;  // a control that is gone is skipped
    dlg.resize(450, 350);
    EXPECT_EQ(dlg.fill->geometry(), QRect(10, 10, 430, 250));
}

TEST(ResizableLayout, TopLevelDialogHasAMinimumSizeAndAGrip) {
    TestDialog dlg;
    dlg.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dlg));
    EXPECT_EQ(dlg.minimumSize(), QSize(400, 300));
    dlg.resize(200, 100);
    EXPECT_EQ(dlg.size(), QSize(400, 300));

    MINMAXINFO info{};
    info.ptMaxTrackSize = POINT{7, 7};
    dlg.Message(WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    EXPECT_EQ(info.ptMinTrackSize.x, 400);
    EXPECT_EQ(info.ptMinTrackSize.y, 300);
    EXPECT_EQ(info.ptMaxTrackSize.x, 7);  // not set: left as given

    auto* grip = dlg.SizeGrip();
    ASSERT_NE(grip, nullptr);
    EXPECT_TRUE(dlg.IsSizeGripVisible());
    EXPECT_EQ(grip->geometry().bottomRight(), dlg.rect().bottomRight());
    EXPECT_EQ(grip->HitTestCode(), HTBOTTOMRIGHT);
    EXPECT_EQ(grip->focusPolicy(), Qt::NoFocus);
    // Only the lower triangle takes the mouse.
    const QSize g = grip->size();
    EXPECT_TRUE(grip->mask().contains(QPoint(g.width() - 2, g.height() - 2)));
    EXPECT_FALSE(grip->mask().contains(QPoint(1, 1)));

    dlg.resize(500, 420);
    EXPECT_EQ(grip->geometry().bottomRight(), dlg.rect().bottomRight());

    dlg.Message(WM_SIZE, SIZE_MAXIMIZED, 0);
    EXPECT_FALSE(dlg.IsSizeGripVisible());
    dlg.Message(WM_SIZE, SIZE_MAXHIDE, 0);  // ignored
    EXPECT_FALSE(dlg.IsSizeGripVisible());
    dlg.Message(WM_SIZE, SIZE_RESTORED, 0);
    EXPECT_TRUE(dlg.IsSizeGripVisible());

    dlg.showMaximized();
    QApplication::processEvents();
    EXPECT_FALSE(dlg.IsSizeGripVisible());
    dlg.showNormal();
    QApplication::processEvents();
    EXPECT_TRUE(dlg.IsSizeGripVisible());
}

TEST(ResizableLayout, DraggingTheGripSizesTheWindow) {
    TestDialog dlg;
    dlg.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dlg));
    auto* grip = dlg.SizeGrip();
    const QPoint inside(grip->width() - 2, grip->height() - 2);
    QTest::mousePress(grip, Qt::LeftButton, {}, inside);
    QMouseEvent move(QEvent::MouseMove, QPointF(inside + QPoint(40, 30)),
                     QPointF(grip->mapToGlobal(inside + QPoint(40, 30))), Qt::NoButton, Qt::LeftButton, {});
    QApplication::sendEvent(grip, &move);
    QTest::mouseRelease(grip, Qt::LeftButton, {}, inside + QPoint(40, 30));
    EXPECT_EQ(dlg.size(), QSize(440, 330));
    EXPECT_EQ(dlg.corner->geometry(), QRect(340, 290, 90, 30));
}

TEST(ResizableLayout, ChildDialogNeverShowsAGrip) {
    QWidget tab;
    tab.resize(600, 400);
    TestDialog dlg(&tab);
    dlg.setWindowFlags(Qt::Widget);
    tab.show();
    dlg.show();
    QApplication::processEvents();
    EXPECT_FALSE(dlg.IsSizeGripVisible());
    EXPECT_EQ(dlg.minimumSize(), QSize(0, 0));
    dlg.resize(500, 350);
    dlg.Message(WM_SIZE, SIZE_RESTORED, 0);
    EXPECT_FALSE(dlg.IsSizeGripVisible());
    EXPECT_EQ(dlg.fill->geometry(), QRect(10, 10, 480, 250));
}

class AnsweringChild : public QWidget, public CResizableSupport {
public:
    using QWidget::QWidget;
    bool AllowsClipping() const override { return false; }
    bool NeedsRepaint(const QRect&, const QRect&) const override { return true; }
};

TEST(ResizableLayout, RepaintDecisionsFollowTheControlKind) {
    TestDialog dlg;
    const QRect old(0, 0, 100, 20);
    const QRect wider(0, 0, 120, 20);
    const QRect moved(5, 5, 100, 20);

    CStatic text(&dlg, SS_LEFT | SS_NOPREFIX);  // flags above the type leave it a text static
    EXPECT_TRUE(dlg.FlagsFor(&text, old, wider) & SWP_NOCOPYBITS);
    EXPECT_FALSE(dlg.FlagsFor(&text, old, QRect(0, 0, 100, 40)) & SWP_NOCOPYBITS);
    EXPECT_FALSE(dlg.FlagsFor(&text, old, moved) & SWP_NOCOPYBITS);
    EXPECT_TRUE(dlg.FlagsFor(&text, old, moved) & SWP_NOSIZE);
    EXPECT_FALSE(dlg.FlagsFor(&text, old, moved) & SWP_NOMOVE);

    CStatic frame(&dlg, SS_ETCHEDFRAME);
    EXPECT_TRUE(dlg.FlagsFor(&frame, old, QRect(0, 0, 100, 40)) & SWP_NOCOPYBITS);
    CStatic plainNoWrap(&dlg, SS_LEFTNOWORDWRAP);
    EXPECT_FALSE(dlg.FlagsFor(&plainNoWrap, old, wider) & SWP_NOCOPYBITS);
    CStatic ellipsis(&dlg, SS_LEFTNOWORDWRAP | SS_ENDELLIPSIS);
    EXPECT_TRUE(dlg.FlagsFor(&ellipsis, old, wider) & SWP_NOCOPYBITS);

    QPushButton button(&dlg);
    EXPECT_FALSE(dlg.FlagsFor(&button, old, wider) & SWP_NOCOPYBITS);
    AnsweringChild answering(&dlg);
    EXPECT_TRUE(dlg.FlagsFor(&answering, old, moved) & SWP_NOCOPYBITS);

    const UINT unchanged = dlg.FlagsFor(&button, old, old);
    EXPECT_EQ(unchanged & (SWP_NOMOVE | SWP_NOSIZE), SWP_NOMOVE | SWP_NOSIZE);
    EXPECT_EQ(unchanged & (SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOOWNERZORDER),
              SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
}

TEST(ResizableLayout, BackgroundSkipsControlsThatClip) {
    TestDialog dlg;
    auto* group = new QGroupBox(&dlg);
    group->setGeometry(250, 215, 40, 40);
    auto* answering = new AnsweringChild(&dlg);
    answering->setGeometry(300, 215, 40, 40);
    dlg.AddAnchor(group, anchor::TopLeft);
    dlg.AddAnchor(answering, anchor::TopLeft);
    dlg.show();
    const QRegion region = dlg.EraseRegion();
    EXPECT_FALSE(region.contains(QPoint(200, 100)));  // inside the filled child
    EXPECT_TRUE(region.contains(QPoint(260, 225)));   // a group box is see-through
    EXPECT_TRUE(region.contains(QPoint(310, 225)));   // the child said it does not clip
    EXPECT_TRUE(region.contains(QPoint(395, 295)));   // bare background
    EXPECT_EQ(dlg.Message(WM_ERASEBKGND, 0, 0), TRUE);
}

TEST(ResizableLayout, PlacementIsWrittenOnlyWhenAskedFor) {
    std::vector<std::string> written;
    auto writer = [&](const std::string& section, const std::string& key, const std::string& value) {
        written.push_back(section + "|" + key + "|" + value);
    };
    {
        TestDialog dlg;
        dlg.SetProfileWriter(writer);
        dlg.Message(WM_DESTROY, 0, 0);
    }
    EXPECT_TRUE(written.empty());
    {
        TestDialog dlg;
        dlg.SetProfileWriter(writer);
        dlg.setGeometry(30, 40, 400, 300);
        dlg.EnableSaveRestore("Sync", true);
    }
    ASSERT_EQ(written.size(), 1u);
    EXPECT_EQ(written[0].substr(0, 21), "Sync|WindowPlacement|");
    EXPECT_NE(written[0].find(",1,0"), std::string::npos);
}

}  // namespace
