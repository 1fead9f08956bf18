#pragma once
// Colours as the program's messages carry them (COLORREF, 0x00BBGGRR) and as Qt paints them.

#include <QColor>

#include "platform/core/win_types.h"

inline QColor ColorFromRef(COLORREF colour) { return QColor(GetRValue(colour), GetGValue(colour), GetBValue(colour)); }

inline COLORREF RefFromColor(const QColor& colour) {
    return RGB(static_cast<BYTE>(colour.red()), static_cast<BYTE>(colour.green()), static_cast<BYTE>(colour.blue()));
}
