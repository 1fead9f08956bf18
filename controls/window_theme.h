#pragma once
// Gives a control the visual style of another application class ("Explorer" for the
// program's lists and trees). Linux desktops have no such per-class theme: the call
// changes nothing and the control keeps the look of the program's Qt style.

#include <QWidget>

#include "platform/core/win_types.h"

inline constexpr LONG E_FAIL = static_cast<LONG>(0x80004005u);

// 0 without doing anything below version class 4; otherwise what the system's
// theme library answers, and E_FAIL where there is none (as here). Callers ignore it.
// `windowsVersionClass` is the start-up state's class (7 on this platform).
LONG ApplyWindowTheme(QWidget* window, const wchar_t* applicationName, const wchar_t* idList,
                      int windowsVersionClass = 7);
