// The text progress bar: its messages, the text for each mode and range, clamping and
// stepping, the marquee, and the two-colour text as painted.
#include <QImage>
#include <QTest>
#include <gtest/gtest.h>

#include "controls/colorref.h"
#include "controls/text_progress_bar.h"

namespace {

QImage Render(CTextProgressCtrl& bar, QColor marker = Qt::transparent) {
    QImage image(bar.size(), QImage::Format_ARGB32);
    image.fill(marker);
    bar.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    return image;
}

bool HasColourIn(const QImage& image, const QRect& area, const QColor& colour) {
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            if (image.pixelColor(x, y).rgb() == colour.rgb()) return true;
        }
    }
    return false;
}

TEST(TextProgressBar, TextForEachModeAndRange) {
    CTextProgressCtrl bar;
    bar.SetWindowText("Copying");
    bar.Message(PBM_SETPOS, 37, 0);
    EXPECT_EQ(bar.DisplayText(), "Copying");
    EXPECT_EQ(bar.Message(PBM_SETSHOWTEXT, 1, 0), 0);
    EXPECT_EQ(bar.DisplayText(), "Copying - 37%");

    // The percentage is of the range and rounds half up.
    bar.Message(PBM_SETRANGE32, 100, 300);
    bar.Message(PBM_SETPOS, 201, 0);
    EXPECT_EQ(bar.DisplayText(), "Copying - 51%");  // 50.5 % rounds to 51
    bar.Message(PBM_SETPOS, 100, 0);
    EXPECT_EQ(bar.DisplayText(), "Copying - 0%");
    bar.Message(PBM_SETRANGE, 0, MAKELONG(0, 8));
    bar.Message(PBM_SETPOS, 1, 0);
    EXPECT_EQ(bar.DisplayText(), "Copying - 13%");  // 12.5 % rounds to 13

    // An empty text in percentage mode still shows the percentage.
    bar.SetWindowText("");
    EXPECT_EQ(bar.DisplayText(), " - 13%");

    // The marquee turns the percentage off.
    bar.Message(PBM_SETMARQUEE, 1, 50);
    bar.SetWindowText("Busy");
    EXPECT_EQ(bar.DisplayText(), "Busy");
    bar.Message(PBM_SETMARQUEE, 0, 0);
}

TEST(TextProgressBar, RangesPositionsAndSteps) {
    CTextProgressCtrl bar;
    EXPECT_EQ(bar.Message(PBM_SETRANGE, 0, MAKELONG(10, 50)), static_cast<LRESULT>(MAKELONG(0, 100)));
    PBRANGE range;
    EXPECT_EQ(bar.Message(PBM_GETRANGE, TRUE, reinterpret_cast<LPARAM>(&range)), 10);
    EXPECT_EQ(bar.Message(PBM_GETRANGE, FALSE, 0), 50);
    EXPECT_EQ(range.iLow, 10);
    EXPECT_EQ(range.iHigh, 50);
    EXPECT_EQ(bar.Message(PBM_SETRANGE32, 0, 100), static_cast<LRESULT>(MAKELONG(10, 50)));

    EXPECT_EQ(bar.Message(PBM_SETPOS, 150, 0), 0);
    EXPECT_EQ(bar.Message(PBM_GETPOS, 0, 0), 100);  // clamped to the upper bound
    bar.Message(PBM_SETPOS, static_cast<WPARAM>(-5), 0);
    EXPECT_EQ(bar.Position(), 0);
    bar.Message(PBM_SETPOS, 40, 0);
    EXPECT_EQ(bar.Message(PBM_DELTAPOS, static_cast<WPARAM>(-15), 0), 40);
    EXPECT_EQ(bar.Position(), 25);

    // Stepping past an end wraps around by the overshoot.
    EXPECT_EQ(bar.Message(PBM_SETSTEP, 10, 0), 10);
    bar.Message(PBM_SETPOS, 95, 0);
    EXPECT_EQ(bar.Message(PBM_STEPIT, 0, 0), 95);
    EXPECT_EQ(bar.Position(), 5);
    bar.Message(PBM_SETSTEP, static_cast<WPARAM>(-10), 0);
    bar.Message(PBM_STEPIT, 0, 0);
    EXPECT_EQ(bar.Position(), 95);
}

TEST(TextProgressBar, MarqueeMayRunPastTheUpperBoundAndBounces) {
    CTextProgressCtrl bar;
    bar.Message(PBM_SETMARQUEE, 1, 1000);
    EXPECT_TRUE(bar.Style() & PBS_MARQUEE);
    bar.Message(PBM_SETPOS, 500, 0);
    EXPECT_EQ(bar.Position(), 120);  // 100 + 20 %
    bar.Message(PBM_SETMARQUEEOPTIONS, 50, 0);
    bar.Message(PBM_SETPOS, 500, 0);
    EXPECT_EQ(bar.Position(), 150);

    // At the far end the block turns back, at the lower bound it turns forward again.
    bar.Message(WM_TIMER, 1, 0);
    EXPECT_EQ(bar.Position(), 149);
    bar.Message(WM_TIMER, 2, 0);  // not the marquee's timer
    EXPECT_EQ(bar.Position(), 149);
    bar.Message(PBM_SETPOS, 0, 0);
    bar.Message(WM_TIMER, 1, 0);
    EXPECT_EQ(bar.Position(), 1);

    EXPECT_EQ(bar.Message(PBM_SETMARQUEE, 0, 0), 0);
    EXPECT_FALSE(bar.Style() & PBS_MARQUEE);
    bar.Message(PBM_SETPOS, 500, 0);
    EXPECT_EQ(bar.Position(), 100);
}

TEST(TextProgressBar, ColourMessagesReturnTheOldValueOrTheSystemDefault) {
    CTextProgressCtrl bar;
    const COLORREF highlight = RefFromColor(bar.palette().color(QPalette::Highlight));
    EXPECT_EQ(static_cast<COLORREF>(bar.Message(PBM_GETBARCOLOR, 0, 0)), highlight);
    EXPECT_EQ(static_cast<COLORREF>(bar.Message(PBM_SETBARCOLOR, 0, RGB(1, 2, 3))), CLR_DEFAULT);
    EXPECT_EQ(static_cast<COLORREF>(bar.Message(PBM_GETBARCOLOR, 0, 0)), RGB(1, 2, 3));
    EXPECT_EQ(static_cast<COLORREF>(bar.Message(PBM_SETBKCOLOR, 0, RGB(4, 5, 6))), CLR_DEFAULT);
    EXPECT_EQ(static_cast<COLORREF>(bar.Message(PBM_GETBKCOLOR, 0, 0)), RGB(4, 5, 6));
    bar.Message(PBM_SETTEXTCOLOR, 0, RGB(7, 8, 9));
    EXPECT_EQ(static_cast<COLORREF>(bar.Message(PBM_SETTEXTCOLOR, 0, CLR_DEFAULT)), RGB(7, 8, 9));
    EXPECT_EQ(static_cast<COLORREF>(bar.Message(PBM_GETTEXTCOLOR, 0, 0)),
              RefFromColor(bar.palette().color(QPalette::WindowText)));
    bar.Message(PBM_SETTEXTBKCOLOR, 0, RGB(10, 11, 12));
    EXPECT_EQ(static_cast<COLORREF>(bar.Message(PBM_GETTEXTBKCOLOR, 0, 0)), RGB(10, 11, 12));
    EXPECT_EQ(bar.Message(PBM_SETTEXTALIGN, 2, 0), 1);
    EXPECT_EQ(bar.Message(WM_ERASEBKGND, 0, 0), TRUE);
}

TEST(TextProgressBar, PaintsTheBarAndATextInTwoColours) {
    CTextProgressCtrl bar;
    bar.resize(300, 40);
    QFont font("DejaVu Sans", 18, QFont::Black);
    bar.setFont(font);
    const QColor barColour(0, 0, 200), background(230, 230, 230), text(200, 0, 0), textOverBar(0, 180, 0);
    bar.Message(PBM_SETBARCOLOR, 0, RefFromColor(barColour));
    bar.Message(PBM_SETBKCOLOR, 0, RefFromColor(background));
    bar.Message(PBM_SETTEXTCOLOR, 0, RefFromColor(text));
    bar.Message(PBM_SETTEXTBKCOLOR, 0, RefFromColor(textOverBar));
    bar.SetWindowText("MMMMMMMMMM");  // centred, so the bar's end at 50 % cuts through it
    bar.Message(PBM_SETPOS, 50, 0);

    const QImage image = Render(bar);
    const int end = 2 + (300 - 4) / 2;
    const QRect filled(2, 2, end - 2, 36);
    const QRect empty(end, 2, 298 - end, 36);
    EXPECT_TRUE(HasColourIn(image, filled, barColour));
    EXPECT_TRUE(HasColourIn(image, empty, background));
    EXPECT_TRUE(HasColourIn(image, filled, textOverBar));
    EXPECT_TRUE(HasColourIn(image, empty, text));
    EXPECT_FALSE(HasColourIn(image, filled, text));
    EXPECT_FALSE(HasColourIn(image, empty, textOverBar));
    EXPECT_FALSE(HasColourIn(image, empty, barColour));

    // A vertical bar fills from the bottom.
    bar.resize(40, 300);
    bar.ModifyStyle(0, PBS_VERTICAL);
    const QImage upright = Render(bar);
    EXPECT_TRUE(HasColourIn(upright, QRect(2, 200, 36, 90), barColour));
    EXPECT_FALSE(HasColourIn(upright, QRect(2, 10, 36, 90), barColour));
}

TEST(TextProgressBar, NothingIsPaintedWhenTheRangeIsEmpty) {
    CTextProgressCtrl bar;
    bar.resize(100, 20);
    bar.SetWindowText("x");
    bar.Message(PBM_SETRANGE32, 5, 5);
    const QImage image = Render(bar, QColor(1, 2, 3));
    EXPECT_FALSE(HasColourIn(image, image.rect(), bar.palette().color(QPalette::Button)));
    EXPECT_EQ(image.pixelColor(50, 10), QColor(1, 2, 3));
}

}  // namespace
