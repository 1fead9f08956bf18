#pragma once
// Numbers and records of property sheets and their pages, with the fixed values the pages
// and sheets exchange in their messages:
// the page notifications, the sheet messages, the sheet's flags and buttons, and the
// record of a help request on a control.

#include "platform/core/win_types.h"

// Notifications a page receives as WM_NOTIFY (PSHNOTIFY) from its sheet.
inline constexpr UINT PSN_SETACTIVE = static_cast<UINT>(-200);
inline constexpr UINT PSN_KILLACTIVE = static_cast<UINT>(-201);  // answer TRUE to refuse
inline constexpr UINT PSN_APPLY = static_cast<UINT>(-202);
inline constexpr UINT PSN_RESET = static_cast<UINT>(-203);
inline constexpr UINT PSN_HELP = static_cast<UINT>(-205);
inline constexpr LRESULT PSNRET_NOERROR = 0;
inline constexpr LRESULT PSNRET_INVALID_NOCHANGEPAGE = 2;

// The record of a page notification. It begins with the three fields that begin every
// WM_NOTIFY record (sender, sender's id, code).
struct PSHNOTIFY {
    HWND hwndFrom = nullptr;
    UINT_PTR idFrom = 0;
    UINT code = 0;
    LPARAM lParam = 0;  // PSN_APPLY: TRUE when the sheet closes afterwards (OK)
};

// Messages to a sheet.
inline constexpr UINT PSM_SETCURSEL = 0x0465;        // w: page index, l: page (either may be given)
inline constexpr UINT PSM_REMOVEPAGE = 0x0466;       // w: page index, l: page
inline constexpr UINT PSM_ADDPAGE = 0x0467;          // l: CPropertyPage*, whose ownership passes to the sheet
inline constexpr UINT PSM_CHANGED = 0x0468;          // w: the page's HWND: the page holds changes
inline constexpr UINT PSM_UNCHANGED = 0x046D;        // w: the page's HWND
inline constexpr UINT PSM_PRESSBUTTON = 0x0471;      // w: PSBTN_*
inline constexpr UINT PSM_SETCURSELID = 0x0472;      // l: the page's template id
inline constexpr UINT PSM_ISDIALOGMESSAGE = 0x0475;  // l: MSG*; answers 1 when it took the key
inline constexpr UINT PSM_GETCURRENTPAGEHWND = 0x0476;

// A key message handed to PSM_ISDIALOGMESSAGE carries the modifiers held with the key
// as MK_SHIFT / MK_CONTROL bits (controls/control_defs.h) in its lParam.

inline constexpr int PSBTN_OK = 3;
inline constexpr int PSBTN_APPLYNOW = 4;
inline constexpr int PSBTN_CANCEL = 5;
inline constexpr int PSBTN_HELP = 6;

// Sheet flags.
inline constexpr DWORD PSH_NOAPPLYNOW = 0x00000080;
inline constexpr DWORD PSH_HASHELP = 0x00000200;

// Control ids of the sheet's own windows.
inline constexpr int IDHELP = 9;
inline constexpr int ID_APPLY_NOW = 0x3021;
inline constexpr int AFX_IDC_TAB_CONTROL = 0x3020;

// WM_HELP's record: help asked for on a control.
inline constexpr int HELPINFO_WINDOW = 1;
struct HELPINFO {
    int iContextType = HELPINFO_WINDOW;
    int iCtrlId = 0;
    HWND hItemHandle = nullptr;
    POINT MousePos;  // screen coordinates
};
