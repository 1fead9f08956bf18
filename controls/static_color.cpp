#include "controls/static_color.h"

#include "controls/colorref.h"

CStaticColor::CStaticColor(QWidget* parent, DWORD style) : CStatic(parent, style) {}

void CStaticColor::SetTextColor(COLORREF colour) {
    colour_ = colour;
    update();
}

void CStaticColor::SetAltTextColor(COLORREF colour) {
    altColour_ = colour;
    update();
}

void CStaticColor::UseAltColor(bool use) {
    useAlt_ = use;
    update();
}

std::optional<QColor> CStaticColor::CtlColor() {
    if (!(Style() & SS_NOTIFY)) ModifyStyle(0, SS_NOTIFY);
    return ColorFromRef(TextColor());
}
