#pragma once
// The program's main window, for code that tells it of changes without knowing the user
// interface. The main frame sets it once it is created and clears it when it goes; until
// then it is null, and messages to it go nowhere.

#include "platform/core/win_types.h"

HWND GetMainWindow();
void SetMainWindow(HWND window);
