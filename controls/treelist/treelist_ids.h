#pragma once
// Ids and codes inside a TreeList window: its child windows, its timer, and the pseudo
// keys with which a click or Ctrl+Enter starts an edit.

#include "platform/core/win_types.h"

namespace treelist {

inline constexpr UINT_PTR kHeaderId = 1;
inline constexpr UINT kEditorId = 3;
inline constexpr UINT_PTR kTooltipTimerId = 0x3912;

inline constexpr UINT kKeyDoubleClick = 0xFEDC;  // double click on an editable cell
inline constexpr UINT kKeyIconClick = 0xFEDB;    // click on a cell's icon or check box, or Ctrl+Enter

}  // namespace treelist
