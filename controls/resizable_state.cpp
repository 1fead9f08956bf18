#include "controls/resizable_state.h"

#include "platform/core/text.h"

namespace {
constexpr int SW_SHOWNORMAL = 1;
constexpr int SW_SHOWMINIMIZED = 2;
constexpr int SW_SHOWMAXIMIZED = 3;
constexpr int WPF_RESTORETOMAXIMIZED = 2;
}  // namespace

std::string CResizableState::PlacementText(const QWidget* window, bool rectOnly) {
    if (!window) return {};
    if (rectOnly) {
        const QRect r = window->frameGeometry();
        return plat::Format("%d,%d,%d,%d,%d,%d", r.left(), r.top(), r.left() + r.width(), r.top() + r.height(),
                            SW_SHOWNORMAL, 0);
    }
    const QRect r = window->normalGeometry().isValid() ? window->normalGeometry() : window->geometry();
    int show = SW_SHOWNORMAL;
    int flags = 0;
    if (window->isMinimized()) {
        show = SW_SHOWMINIMIZED;
        if (window->windowState() & Qt::WindowMaximized) flags = WPF_RESTORETOMAXIMIZED;
    } else if (window->isMaximized()) {
        show = SW_SHOWMAXIMIZED;
    }
    return plat::Format("%d,%d,%d,%d,%d,%d", r.left(), r.top(), r.left() + r.width(), r.top() + r.height(), show,
                        flags);
}

bool CResizableState::SaveWindowRect(const QWidget* window, const std::string& section, bool rectOnly) const {
    if (!window || !writer_) return false;
    writer_(section, "WindowPlacement", PlacementText(window, rectOnly));
    return true;
}
