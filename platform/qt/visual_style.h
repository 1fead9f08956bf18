#pragma once
// The program's looks, by command id: 212 is the desktop's own style and palette as they
// were when the program started; 210, 211, 213 and 214 are light neutral looks, 215 blue,
// 216 black, 217 silver and 218 aqua, all on Qt's "Fusion" style with palettes of ours.
// Applying one sets style and palette for the whole program and repaints every widget.
// Every look keeps its texts readable: each text colour stands out from the colour it is
// drawn on by at least 4.5 : 1, and the tooltip colours (the caption bar's) stay light.
// Drop-down lists of combo boxes and menus take the list colours, never the window's,
// so a look with dark windows and light lists (216) draws no dark text on dark.
//
//   plat::ApplyVisualStyle(ini.GetInt("Program", "ApplicationLook", 216));
//   void OnUpdateStyle(plat::CmdUI& ui) { ui.SetRadio(plat::CurrentVisualStyle() == ui.Id()); }

#include <QPalette>

#include "platform/core/win_types.h"

namespace plat {

inline constexpr UINT kFirstVisualStyle = 210;
inline constexpr UINT kLastVisualStyle = 218;
inline constexpr UINT kDesktopVisualStyle = 212;

// False (and nothing changes) for an id outside 210 to 218.
bool ApplyVisualStyle(UINT id);
// The look applied last; 0 before any.
UINT CurrentVisualStyle();
// The palette of look `id` (for 212 the desktop's palette at start).
QPalette VisualStylePalette(UINT id);

}  // namespace plat
