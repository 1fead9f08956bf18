#include "platform/qt/visual_style.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QStyle>
#include <gtest/gtest.h>
#include <map>
#include <tuple>

#include "platform/qt/text_contrast.h"

namespace {

using plat::ContrastRatio;

// The best contrast any pixel of `image` has with the colour most of it shows: the
// text's, in a picture of one text on its ground.
double TextContrastIn(const QImage& image) {
    std::map<QRgb, int> counts;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) ++counts[image.pixel(x, y)];
    }
    QRgb ground = 0;
    int most = 0;
    for (const auto& [colour, count] : counts) {
        if (count > most) std::tie(ground, most) = std::pair{colour, count};
    }
    double best = 1;
    for (const auto& [colour, count] : counts) best = std::max(best, ContrastRatio(QColor(colour), QColor(ground)));
    return best;
}

TEST(TextContrast, ColoursThatDoNotStandOutAreMovedJustFarEnough) {
    EXPECT_NEAR(ContrastRatio(Qt::black, Qt::white), 21.0, 0.01);
    EXPECT_NEAR(ContrastRatio(Qt::red, Qt::red), 1.0, 0.001);
    const QColor kept(0x0645AD);
    EXPECT_EQ(plat::ReadableOn(kept, Qt::white), kept);
    // A dark blue on a dark grey becomes a light blue; red on a pale yellow a darker red.
    const QColor lighter = plat::ReadableOn(QColor(0x13458B), QColor(0x353535));
    EXPECT_GE(ContrastRatio(lighter, QColor(0x353535)), 4.5);
    EXPECT_GT(lighter.blue(), lighter.red());
    const QColor red = plat::ReadableOn(Qt::red, QColor(0xFFFFE1));
    EXPECT_GE(ContrastRatio(red, QColor(0xFFFFE1)), 4.5);
    EXPECT_GT(red.red(), 180);
    EXPECT_LT(red.green(), 40);
}

TEST(VisualStyle, EveryLookAppliesReadablyAndTheDesktopOneComesBack) {
    const QString startStyle = QApplication::style()->name();
    const QPalette startPalette = QApplication::palette();
    QLabel label("text");
    label.show();
    QComboBox box;
    box.addItems({"Mirror", "Sync from Left to Right", "Sync from Right to Left"});
    box.resize(260, 24);
    box.show();

    EXPECT_FALSE(plat::ApplyVisualStyle(209));
    EXPECT_FALSE(plat::ApplyVisualStyle(219));
    for (UINT id = plat::kFirstVisualStyle; id <= plat::kLastVisualStyle; ++id) {
        ASSERT_TRUE(plat::ApplyVisualStyle(id)) << id;
        EXPECT_EQ(plat::CurrentVisualStyle(), id);
        EXPECT_EQ(label.palette().color(QPalette::Window), QApplication::palette().color(QPalette::Window)) << id;
        const QPalette p = QApplication::palette();
        for (const auto& [text, ground] :
             {std::pair{QPalette::WindowText, QPalette::Window}, std::pair{QPalette::ButtonText, QPalette::Button},
              std::pair{QPalette::Text, QPalette::Base}, std::pair{QPalette::Text, QPalette::AlternateBase},
              std::pair{QPalette::HighlightedText, QPalette::Highlight},
              std::pair{QPalette::ToolTipText, QPalette::ToolTipBase},
              std::pair{QPalette::PlaceholderText, QPalette::Base}, std::pair{QPalette::Link, QPalette::Window},
              std::pair{QPalette::LinkVisited, QPalette::Window}}) {
            for (const auto group : {QPalette::Active, QPalette::Inactive}) {
                EXPECT_GE(ContrastRatio(p.color(group, text), p.color(group, ground)), 4.5) << id << " role " << text;
            }
        }
        if (id == plat::kDesktopVisualStyle) continue;
        // A drop-down list is drawn in the list colours, readable on a dark look too.
        box.showPopup();
        QApplication::processEvents();
        EXPECT_EQ(box.view()->palette().color(QPalette::Base), p.color(QPalette::Base)) << id;
        EXPECT_GE(TextContrastIn(box.view()->grab().toImage()), 4.5) << id;
        box.hidePopup();
        // Menus: their texts and their check and radio marks on the list colour.
        QMenu menu;
        menu.ensurePolished();
        for (const auto role : {QPalette::Text, QPalette::ButtonText, QPalette::WindowText}) {
            EXPECT_GE(ContrastRatio(menu.palette().color(role), menu.palette().color(QPalette::Base).lighter(108)), 4.5)
                << id << " role " << role;
        }
    }

    ASSERT_TRUE(plat::ApplyVisualStyle(216));
    EXPECT_LT(ContrastRatio(QApplication::palette().color(QPalette::Window), Qt::black), 2.0) << "a dark look";
    ASSERT_TRUE(plat::ApplyVisualStyle(212));
    EXPECT_EQ(QApplication::style()->name(), startStyle);
    for (const auto role : {QPalette::Window, QPalette::WindowText, QPalette::Base, QPalette::Text, QPalette::Button}) {
        EXPECT_EQ(QApplication::palette().color(role), startPalette.color(role)) << role;
    }
}

}  // namespace
