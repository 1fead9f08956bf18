#pragma once
// A static text drawn in a colour of its own, with an alternate colour to switch to.

#include "controls/static_control.h"

class CStaticColor : public CStatic {
    Q_OBJECT
public:
    explicit CStaticColor(QWidget* parent = nullptr, DWORD style = SS_LEFT);

    void SetTextColor(COLORREF colour);
    void SetAltTextColor(COLORREF colour);
    void UseAltColor(bool use);
    COLORREF TextColor() const { return useAlt_ ? altColour_ : colour_; }

protected:
    std::optional<QColor> CtlColor() override;

private:
    COLORREF colour_ = 0x134B93;
    COLORREF altColour_ = 0x134B93;
    bool useAlt_ = false;
};
