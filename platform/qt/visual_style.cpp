#include "platform/qt/visual_style.h"

#include <QApplication>
#include <QProxyStyle>
#include <QStyle>
#include <QStyleFactory>
#include <QWidget>

#include "platform/qt/text_contrast.h"

namespace plat {

namespace {

struct Look {
    QRgb window, windowText, button, buttonText, base, text, highlight, highlightedText;
};

// 210, 211, 213 to 218; 212 is the desktop's own.
constexpr Look kLooks[] = {
    {0xD4D0C8, 0x000000, 0xD4D0C8, 0x000000, 0xFFFFFF, 0x000000, 0x0A246A, 0xFFFFFF},  // 210 basic
    {0xEEEDE5, 0x000000, 0xF4F3EE, 0x000000, 0xFFFFFF, 0x000000, 0x316AC5, 0xFFFFFF},  // 211
    {0, 0, 0, 0, 0, 0, 0, 0},                                                          // 212
    {0xE9E9E4, 0x000000, 0xF2F2EE, 0x000000, 0xFFFFFF, 0x000000, 0x3169C6, 0xFFFFFF},  // 213
    {0xECE9D8, 0x000000, 0xF5F4EA, 0x000000, 0xFFFFFF, 0x000000, 0x316AC5, 0xFFFFFF},  // 214
    {0xC9DBF2, 0x15428B, 0xDCE8F7, 0x15428B, 0xFFFFFF, 0x000000, 0x3D6EB5, 0xFFFFFF},  // 215 blue
    {0x353535, 0xF0F0F0, 0x4A4A4A, 0xF0F0F0, 0xF7F7F7, 0x101010, 0xF2B035, 0x000000},  // 216 black
    {0xE4E7EC, 0x1E1E1E, 0xEEF0F3, 0x1E1E1E, 0xFFFFFF, 0x000000, 0x4C607A, 0xFFFFFF},  // 217 silver
    {0xD2ECEF, 0x0B3F47, 0xE2F4F6, 0x0B3F47, 0xFFFFFF, 0x000000, 0x1F7A8C, 0xFFFFFF},  // 218 aqua
};

// Fusion with the drop-down lists of combo boxes drawn as lists (the list's colours, as
// every other list) rather than as menus on the window's colour: a look whose windows are
// dark and whose lists are light would draw them dark on dark.
class LookStyle : public QProxyStyle {
public:
    LookStyle() : QProxyStyle(QStyleFactory::create(QStringLiteral("Fusion"))) {}
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* answer) const override {
        if (hint == SH_ComboBox_Popup) return 0;
        return QProxyStyle::styleHint(hint, option, widget, answer);
    }
};

// Every text colour of the palette moved, where it must be, to stand out from the colour
// it is drawn on. Greyed texts are left greyed.
void MakeReadable(QPalette& palette) {
    struct Pair {
        QPalette::ColorRole text;
        QPalette::ColorRole ground;
    };
    constexpr Pair kPairs[] = {
        {QPalette::WindowText, QPalette::Window},
        {QPalette::ButtonText, QPalette::Button},
        {QPalette::Text, QPalette::Base},
        {QPalette::Text, QPalette::AlternateBase},
        {QPalette::HighlightedText, QPalette::Highlight},
        {QPalette::ToolTipText, QPalette::ToolTipBase},
        {QPalette::PlaceholderText, QPalette::Base},
        {QPalette::Link, QPalette::Window},
        {QPalette::LinkVisited, QPalette::Window},
    };
    for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
        for (const Pair& pair : kPairs) {
            palette.setColor(group, pair.text,
                             ReadableOn(palette.color(group, pair.text), palette.color(group, pair.ground)));
        }
    }
}

// Menus are drawn on the list colour with the list's text; their check and radio marks
// take the button text, which on a dark look would be light on light.
QPalette MenuPalette(QPalette palette) {
    for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
        palette.setColor(group, QPalette::ButtonText, palette.color(group, QPalette::Text));
        palette.setColor(group, QPalette::WindowText, palette.color(group, QPalette::Text));
    }
    return palette;
}

struct Start {
    QString styleName;
    QPalette palette;
};

// The desktop's look, taken before the first change.
const Start& DesktopLook() {
    static const Start start{QApplication::style() ? QApplication::style()->name() : QString(),
                             QApplication::palette()};
    return start;
}

UINT g_current = 0;

QPalette MakePalette(const Look& look) {
    const QColor button(look.button);
    const QColor window(look.window);
    QPalette palette(QColor(look.windowText), button, button.lighter(130), button.darker(160), button.darker(120),
                     QColor(look.text), QColor(look.text).lightness() < 128 ? QColor(Qt::white) : QColor(Qt::black),
                     QColor(look.base), window);
    palette.setColor(QPalette::ButtonText, QColor(look.buttonText));
    palette.setColor(QPalette::AlternateBase, QColor(look.base).darker(106));
    palette.setColor(QPalette::Highlight, QColor(look.highlight));
    palette.setColor(QPalette::HighlightedText, QColor(look.highlightedText));
    palette.setColor(QPalette::ToolTipBase, QColor(0xFFFFE1));
    palette.setColor(QPalette::ToolTipText, QColor(Qt::black));
    palette.setColor(QPalette::PlaceholderText, QColor(0x767676));
    // Links stand on the window's colour; MakeReadable lightens them on a dark one.
    palette.setColor(QPalette::Link, QColor(0x0645AD));
    palette.setColor(QPalette::LinkVisited, QColor(0x5A3696));
    // Greyed texts: half way to their background, still told apart from it.
    for (const auto role : {QPalette::WindowText, QPalette::ButtonText, QPalette::Text}) {
        const QPalette::ColorRole ground = role == QPalette::Text         ? QPalette::Base
                                           : role == QPalette::ButtonText ? QPalette::Button
                                                                          : QPalette::Window;
        const QColor a = palette.color(QPalette::Active, role);
        const QColor b = palette.color(QPalette::Active, ground);
        palette.setColor(QPalette::Disabled, role,
                         QColor((a.red() + b.red()) / 2, (a.green() + b.green()) / 2, (a.blue() + b.blue()) / 2));
    }
    // Greyed texts are etched with the light colour; on a dark look that doubles them.
    palette.setColor(QPalette::Disabled, QPalette::Light, Qt::transparent);
    return palette;
}

}  // namespace

QPalette VisualStylePalette(UINT id) {
    if (id < kFirstVisualStyle || id > kLastVisualStyle) return QApplication::palette();
    QPalette palette = id == kDesktopVisualStyle ? DesktopLook().palette : MakePalette(kLooks[id - kFirstVisualStyle]);
    MakeReadable(palette);
    return palette;
}

bool ApplyVisualStyle(UINT id) {
    if (id < kFirstVisualStyle || id > kLastVisualStyle) return false;
    const Start& desktop = DesktopLook();
    const bool ours = dynamic_cast<const LookStyle*>(QApplication::style()) != nullptr;
    if (id != kDesktopVisualStyle) {
        if (!ours) QApplication::setStyle(new LookStyle);
    } else if (ours || QApplication::style()->name().compare(desktop.styleName, Qt::CaseInsensitive) != 0) {
        if (QStyle* style = QStyleFactory::create(desktop.styleName)) QApplication::setStyle(style);
    }
    const QPalette palette = VisualStylePalette(id);
    QApplication::setPalette(palette);
    if (id != kDesktopVisualStyle) QApplication::setPalette(MenuPalette(palette), "QMenu");
    // The widgets take the new palette from a posted event; they must have it before the
    // frame repaints them.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::ApplicationPaletteChange);
    g_current = id;
    for (QWidget* widget : QApplication::allWidgets()) widget->update();
    return true;
}

UINT CurrentVisualStyle() { return g_current; }

}  // namespace plat
