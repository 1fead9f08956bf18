#include "controls/tree_property_sheet/help_popup.h"

#include <algorithm>

#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPointer>
#include <QScreen>

#include "platform/qt/text_contrast.h"

namespace {

constexpr int kMaxTextWidth = 320;
constexpr int kMargin = 6;

// Any key or click ends the pop-up, as the platform's help pop-up does.
class HelpPopupLabel : public QLabel {
public:
    explicit HelpPopupLabel(QWidget* owner) : QLabel(owner, Qt::Popup | Qt::FramelessWindowHint) {}

protected:
    void keyPressEvent(QKeyEvent*) override { close(); }
    void mousePressEvent(QMouseEvent*) override { close(); }
};

QPointer<QLabel>& Current() {
    static QPointer<QLabel> current;
    return current;
}

}  // namespace

QLabel* ShowHelpPopup(QWidget* owner, const QString& text, QPoint globalPos) {
    if (QLabel* old = Current()) old->close();
    Current() = nullptr;
    if (text.isEmpty()) return nullptr;

    // As a popup window it also closes on a click anywhere else.
    auto* popup = new HelpPopupLabel(owner);
    popup->setAttribute(Qt::WA_DeleteOnClose);
    popup->setObjectName(QStringLiteral("HelpPopup"));
    popup->setText(text);
    popup->setTextFormat(Qt::PlainText);
    popup->setWordWrap(true);
    popup->setMargin(kMargin);
    popup->setFrameStyle(QFrame::Box | QFrame::Plain);
    popup->setAutoFillBackground(true);
    QPalette palette = popup->palette();
    palette.setColor(QPalette::Window, kHelpPopupColor);
    // The look's window text may be light (a dark look): the yellow takes the dark text
    // of tips.
    palette.setColor(QPalette::WindowText, plat::ReadableOn(palette.color(QPalette::ToolTipText), kHelpPopupColor));
    popup->setPalette(palette);

    popup->setMaximumWidth(kMaxTextWidth + 2 * kMargin);
    popup->adjustSize();
    QPoint pos = globalPos;
    if (const QScreen* screen = QGuiApplication::screenAt(globalPos)) {
        const QRect area = screen->availableGeometry();
        pos.setX(std::max(area.left(), std::min(pos.x(), area.right() - popup->width())));
        pos.setY(std::max(area.top(), std::min(pos.y(), area.bottom() - popup->height())));
    }
    popup->move(pos);
    popup->show();
    Current() = popup;
    return popup;
}

QLabel* CurrentHelpPopup() {
    QLabel* popup = Current();
    return popup && popup->isVisible() ? popup : nullptr;
}
