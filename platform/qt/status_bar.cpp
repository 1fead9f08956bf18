#include "platform/qt/status_bar.h"

#include <QFontMetrics>
#include <QLabel>

#include "platform/qt/qt_text.h"

namespace plat {

namespace {

constexpr int kPaneMargin = 4;  // pixels on each side of a pane's text

}  // namespace

StatusBar::StatusBar(QWidget* parent) : QStatusBar(parent) { setSizeGripEnabled(false); }

void StatusBar::AddPane(UINT id, std::string_view text, std::string_view sizingText, Side side) {
    auto* label = new QLabel(ToQString(text), this);
    label->setObjectName(QString::number(id));
    label->setContentsMargins(kPaneMargin, 0, kPaneMargin, 0);
    label->setTextFormat(Qt::PlainText);
    label->setFixedWidth(fontMetrics().horizontalAdvance(ToQString(sizingText)) + 2 * kPaneMargin +
                         2 * label->frameWidth());
    if (side == Side::Main) {
        addWidget(label);
    } else {
        addPermanentWidget(label);
    }
    panes_.push_back({id, label});
}

QLabel* StatusBar::Pane(UINT id) const {
    for (const Entry& pane : panes_) {
        if (pane.id == id) return pane.label;
    }
    return nullptr;
}

bool StatusBar::SetPaneText(UINT id, std::string_view text) {
    QLabel* label = Pane(id);
    if (!label) return false;
    label->setText(ToQString(text));
    if (label->isVisible()) label->repaint();
    return true;
}

std::string StatusBar::PaneText(UINT id) const {
    const QLabel* label = Pane(id);
    return label ? label->text().toStdString() : std::string();
}

}  // namespace plat
