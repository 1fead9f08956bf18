#pragma once
// The pop-up that answers a help request on a control: the text on a pale yellow ground
// at the mouse position, closed by the next click or key. One shows at a time.

#include <QColor>
#include <QPoint>
#include <QString>

class QLabel;
class QWidget;

// The pop-up's ground, 0xD0FFFF as a colour value (red 255, green 255, blue 208).
inline const QColor kHelpPopupColor{255, 255, 208};

// Shows `text` with its top-left corner near `globalPos` (kept on the screen) and
// returns the label that shows it; an empty text shows nothing and returns null.
// `owner` is the window asking; the pop-up closes with it.
QLabel* ShowHelpPopup(QWidget* owner, const QString& text, QPoint globalPos);

// The pop-up showing now, or null.
QLabel* CurrentHelpPopup();
