// The coloured static and the link static: their colours as painted, the link look only
// for text statics, and what a click does.
#include <QImage>
#include <QMouseEvent>
#include <QTest>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "controls/colorref.h"
#include "controls/desktop_link.h"
#include "controls/static_color.h"
#include "controls/static_link.h"
#include "platform/qt/text_contrast.h"

namespace {

QImage Paint(QWidget& w) {
    QImage image(w.size(), QImage::Format_ARGB32);
    image.fill(Qt::white);
    w.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    return image;
}

bool HasColour(const QImage& image, const QColor& colour) {
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixelColor(x, y).rgb() == colour.rgb()) return true;
        }
    }
    return false;
}

// The lowest row that holds ink of `colour`.
int LowestRowOf(const QImage& image, const QColor& colour) {
    for (int y = image.height() - 1; y >= 0; --y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixelColor(x, y).rgb() == colour.rgb()) return y;
        }
    }
    return -1;
}

template <class Static>
void Prepare(Static& s, const char* text) {
    s.setFont(QFont("DejaVu Sans", 22, QFont::Black));
    s.setText(text);
    s.resize(260, 50);
}

TEST(StaticColor, DrawsInItsColourOrItsAlternate) {
    CStaticColor label;
    Prepare(label, "HHHH");
    EXPECT_EQ(label.TextColor(), 0x134B93u);
    EXPECT_TRUE(HasColour(Paint(label), ColorFromRef(0x134B93)));
    EXPECT_TRUE(label.Style() & SS_NOTIFY);

    label.SetTextColor(RGB(200, 0, 0));
    label.SetAltTextColor(RGB(0, 120, 0));
    EXPECT_TRUE(HasColour(Paint(label), QColor(200, 0, 0)));
    label.UseAltColor(true);
    const QImage alt = Paint(label);
    EXPECT_TRUE(HasColour(alt, QColor(0, 120, 0)));
    EXPECT_FALSE(HasColour(alt, QColor(200, 0, 0)));

    // On a dark window a dark blue heading is drawn lighter, readable.
    QPalette dark = label.palette();
    dark.setColor(QPalette::Window, QColor(0x353535));
    label.setPalette(dark);
    label.UseAltColor(false);
    label.SetTextColor(0x8B4513);
    const QColor shown = plat::ReadableOn(ColorFromRef(0x8B4513), QColor(0x353535));
    EXPECT_GE(plat::ContrastRatio(shown, QColor(0x353535)), plat::kReadableContrast);
    EXPECT_TRUE(HasColour(Paint(label), shown));
}

TEST(StaticLink, TextStaticsDrawAsUnderlinedLinks) {
    // SS_NOPREFIX sits above the type bits: the static is still a left-aligned text.
    CStaticLink link(nullptr, SS_LEFT | SS_NOPREFIX);
    Prepare(link, "HHHH");
    const QImage image = Paint(link);
    const QColor blue(0, 0, 255);
    EXPECT_TRUE(HasColour(image, blue));
    EXPECT_TRUE(link.Style() & SS_NOTIFY);

    // The underline lies below the letters: compare with the same text not underlined.
    CStaticColor plain;
    Prepare(plain, "HHHH");
    plain.SetTextColor(RGB(0, 0, 255));
    EXPECT_GT(LowestRowOf(image, blue), LowestRowOf(Paint(plain), blue));

    CStaticLink centred(nullptr, SS_CENTER | SS_NOPREFIX | SS_CENTERIMAGE);
    Prepare(centred, "HHHH");
    EXPECT_TRUE(HasColour(Paint(centred), blue));
}

TEST(StaticLink, OtherStaticTypesKeepTheDefaultLook) {
    CStaticLink frame(nullptr, SS_ETCHEDFRAME);
    Prepare(frame, "HHHH");
    const QImage image = Paint(frame);
    EXPECT_FALSE(HasColour(image, QColor(0, 0, 255)));
    EXPECT_TRUE(HasColour(image, frame.palette().color(QPalette::WindowText)));
    EXPECT_TRUE(frame.Style() & SS_NOTIFY);
}

TEST(StaticLink, ClickOpensTheUrlOrTheTextAndMarksItVisited) {
    std::vector<std::string> opened;
    CStaticLink link;
    Prepare(link, "https://example.org/quarrybend");
    link.SetLinkOpener([&](const std::string& url) {
        opened.push_back(url);
        return true;
    });
    Paint(link);  // the first paint makes the static report clicks
    QTest::mouseClick(&link, Qt::LeftButton, {}, QPoint(5, 5));
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0], "https://example.org/quarrybend");  // no URL given: the text
    EXPECT_TRUE(link.IsVisited());
    const QImage visited = Paint(link);
    EXPECT_TRUE(HasColour(visited, QColor(0x80, 0, 0x80)));
    EXPECT_FALSE(HasColour(visited, QColor(0, 0, 255)));

    link.SetUrl("https://example.org/other");
    link.OnClicked();
    EXPECT_EQ(opened.back(), "https://example.org/other");
}

TEST(StaticLink, AFailedOpenChangesNothing) {
    CStaticLink link;
    Prepare(link, "HHHH");
    link.SetUrl("nowhere:");
    link.SetLinkOpener([](const std::string&) { return false; });
    link.OnClicked();
    EXPECT_FALSE(link.IsVisited());
    EXPECT_TRUE(HasColour(Paint(link), QColor(0, 0, 255)));
    EXPECT_EQ(link.Url(), "nowhere:");
}

TEST(StaticLink, TheDesktopOpenerRefusesWhatCannotBeOpened) {
    EXPECT_FALSE(OpenLinkWithDesktop(""));
    EXPECT_FALSE(OpenLinkWithDesktop("/no/such/folder/quarrybend-link-target"));
}

}  // namespace
