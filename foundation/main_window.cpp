#include "foundation/main_window.h"

#include <atomic>

namespace {

// Read from run threads while the user-interface thread sets it.
std::atomic<HWND>& MainWindowSlot() {
    static std::atomic<HWND> window{nullptr};
    return window;
}

}  // namespace

HWND GetMainWindow() { return MainWindowSlot().load(); }

void SetMainWindow(HWND window) { MainWindowSlot().store(window); }
