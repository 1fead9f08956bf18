#pragma once
// The page frame's window: the dialog ground, the caption band as a gradient from the
// inactive-caption colour to the ground with the icon and the title, and the message.

#include <QWidget>

#include "controls/tree_property_sheet/prop_page_frame.h"

namespace TreePropSheet {

// The inactive-caption colour of the platform the program was made for; this desktop
// has no such system colour.
inline const QColor kInactiveCaptionColor{191, 205, 219};

class CPropPageFrameDefault : public QWidget, public CPropPageFrame {
public:
    CPropPageFrameDefault() = default;

    // A child window "Page Frame" of `parent` with that id as its object name.
    bool Create(const QRect& rect, QWidget* parent, UINT id) override;
    QWidget* GetWnd() override { return this; }

    // The icon is kept at the caption's icon size.
    void SetCaption(const QString& text, const QIcon& icon = QIcon()) override;
    QRect CalcMsgArea() override;
    QRect CalcCaptionArea() override;
    void DrawCaption(QPainter& painter, const QRect& rect, const QString& text, const QIcon& icon) override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor GroundColor() const;
};

}  // namespace TreePropSheet
