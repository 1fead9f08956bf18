#include "platform/qt/view.h"

#include <QWidget>

#include "platform/qt/frame_window.h"

namespace plat {

View::View(QWidget* widget, HWND parent) : MessageWindow(widget, parent) {
    MapMessage(WM_COMMAND, &View::OnCommandMessage);
}

View::~View() {
    if (activeIn_) activeIn_->SetActiveView(nullptr);
}

void View::InitialUpdate() {
    if (initialised_) return;
    initialised_ = true;
    OnInitialUpdate();
}

FrameWindow* View::ParentFrame() const {
    for (QWidget* up = Widget() ? Widget()->parentWidget() : nullptr; up; up = up->parentWidget()) {
        if (auto* frame = dynamic_cast<FrameWindow*>(up)) return frame;
    }
    return nullptr;
}

LRESULT View::OnCommandMessage(WPARAM w, LPARAM) {
    // Notification codes other than a click are the business of the class that maps them.
    if (HIWORD(w) != 0) return 0;
    return DispatchCommand(LOWORD(w)) ? 1 : 0;
}

}  // namespace plat
