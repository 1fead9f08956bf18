#include "controls/window_theme.h"

LONG ApplyWindowTheme(QWidget* /*window*/, const wchar_t* /*applicationName*/, const wchar_t* /*idList*/,
                      int windowsVersionClass) {
    if (windowsVersionClass < 4) return 0;
    // The theme library is missing on this platform, so its entry point is too.
    return E_FAIL;
}
