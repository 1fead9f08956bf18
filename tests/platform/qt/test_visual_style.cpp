#include "platform/qt/visual_style.h"

#include <QApplication>
#include <QLabel>
#include <QStyle>
#include <cmath>
#include <gtest/gtest.h>

namespace {

double Luminance(const QColor& c) {
    auto channel = [](double v) { return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
    return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) + 0.0722 * channel(c.blueF());
}

double Contrast(const QColor& a, const QColor& b) {
    const double la = Luminance(a), lb = Luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

TEST(VisualStyle, EveryLookAppliesReadablyAndTheDesktopOneComesBack) {
    const QString startStyle = QApplication::style()->name();
    const QPalette startPalette = QApplication::palette();
    QLabel label("text");
    label.show();

    EXPECT_FALSE(plat::ApplyVisualStyle(209));
    EXPECT_FALSE(plat::ApplyVisualStyle(219));
    for (UINT id = plat::kFirstVisualStyle; id <= plat::kLastVisualStyle; ++id) {
        ASSERT_TRUE(plat::ApplyVisualStyle(id)) << id;
        EXPECT_EQ(plat::CurrentVisualStyle(), id);
        EXPECT_EQ(label.palette().color(QPalette::Window), QApplication::palette().color(QPalette::Window)) << id;
        if (id == plat::kDesktopVisualStyle) continue;
        EXPECT_EQ(QApplication::style()->name().toLower(), QStringLiteral("fusion"));
        const QPalette p = QApplication::palette();
        for (const auto& [text, ground] : {std::pair{QPalette::WindowText, QPalette::Window},
                                           std::pair{QPalette::ButtonText, QPalette::Button},
                                           std::pair{QPalette::Text, QPalette::Base},
                                           std::pair{QPalette::HighlightedText, QPalette::Highlight},
                                           std::pair{QPalette::ToolTipText, QPalette::ToolTipBase}}) {
            EXPECT_GE(Contrast(p.color(text), p.color(ground)), 4.5) << id << " role " << text;
        }
        // Black and red caption texts stay readable on the tooltip colours.
        EXPECT_GE(Contrast(Qt::black, p.color(QPalette::ToolTipBase)), 4.5) << id;
        EXPECT_GE(Contrast(Qt::red, p.color(QPalette::ToolTipBase)), 3.0) << id;
    }

    ASSERT_TRUE(plat::ApplyVisualStyle(216));
    EXPECT_LT(Luminance(QApplication::palette().color(QPalette::Window)), 0.1);
    ASSERT_TRUE(plat::ApplyVisualStyle(212));
    EXPECT_EQ(QApplication::style()->name(), startStyle);
    EXPECT_EQ(QApplication::palette(), startPalette);
}

}  // namespace
