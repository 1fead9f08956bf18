#include "platform/qt/message_window.h"

#include <QEvent>
#include <QObject>
#include <QWidget>

namespace plat {

namespace {

// Registered widgets, for the parent chain and the lookups; used on the GUI thread only.
std::unordered_map<const QWidget*, MessageWindow*>& ByWidget() {
    static std::unordered_map<const QWidget*, MessageWindow*> map;
    return map;
}

std::unordered_map<std::uintptr_t, MessageWindow*>& ByHwnd() {
    static std::unordered_map<std::uintptr_t, MessageWindow*> map;
    return map;
}

}  // namespace

// Follows the widget's moves between Qt parents.
class MessageWindow::ParentWatcher : public QObject {
public:
    explicit ParentWatcher(MessageWindow& window) : window_(window) {}

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::ParentChange && watched == window_.widget_) window_.FollowWidgetParent();
        return false;
    }

private:
    MessageWindow& window_;
};

MessageWindow::MessageWindow(QWidget* widget, HWND parent) : widget_(widget), explicitParent_(parent != nullptr) {
    hwnd_ = CreateMessageWindow(this, parent);
    if (!hwnd_) {
        // An explicit parent that is gone: the window lives on without one.
        hwnd_ = CreateMessageWindow(this, nullptr);
    }
    ByWidget()[widget_] = this;
    ByHwnd()[IdFromHwnd(hwnd_)] = this;
    if (!explicitParent_) FollowWidgetParent();
    parentWatcher_ = std::make_unique<ParentWatcher>(*this);
    widget_->installEventFilter(parentWatcher_.get());
    QObject::connect(widget_, &QObject::destroyed, parentWatcher_.get(), [this] {
        ByWidget().erase(widget_);
        widget_ = nullptr;
    });
}

MessageWindow::~MessageWindow() {
    parentWatcher_.reset();
    // The derived part is gone: its handlers must not run for WM_DESTROY.
    handlers_.clear();
    DestroyMessageWindow();
    if (widget_) ByWidget().erase(widget_);
}

void MessageWindow::DestroyMessageWindow() {
    if (!hwnd_) return;
    const HWND hwnd = hwnd_;
    DestroyWindow(hwnd);
    // Normally done by WM_NCDESTROY; also covers a window another thread could not destroy.
    ByHwnd().erase(IdFromHwnd(hwnd));
    hwnd_ = nullptr;
}

LRESULT MessageWindow::Message(UINT message, WPARAM wParam, LPARAM lParam) {
    return SendMessage(hwnd_, message, wParam, lParam);
}

MessageWindow* MessageWindow::FromWidget(const QWidget* widget) {
    const auto it = ByWidget().find(widget);
    return it == ByWidget().end() ? nullptr : it->second;
}

MessageWindow* MessageWindow::FromHwnd(HWND hwnd) {
    const auto it = ByHwnd().find(IdFromHwnd(hwnd));
    return it == ByHwnd().end() ? nullptr : it->second;
}

LRESULT MessageWindow::DefWindowProc(UINT /*message*/, WPARAM /*wParam*/, LPARAM /*lParam*/) { return 0; }

LRESULT MessageWindow::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    const auto it = handlers_.find(message);
    if (it != handlers_.end()) {
        // A copy: the handler may change the map (or destroy the window) while it runs.
        const auto handler = it->second;
        result = handler(wParam, lParam);
    } else {
        result = DefWindowProc(message, wParam, lParam);
    }
    // The last message of a window, also when a parent's destruction took it along.
    if (message == WM_NCDESTROY && hwnd == hwnd_) {
        ByHwnd().erase(IdFromHwnd(hwnd_));
        hwnd_ = nullptr;
    }
    return result;
}

void MessageWindow::FollowWidgetParent() {
    if (explicitParent_ || !hwnd_ || !widget_) return;
    HWND parent = nullptr;
    for (const QWidget* up = widget_->parentWidget(); up; up = up->parentWidget()) {
        if (const MessageWindow* found = FromWidget(up); found && found->hwnd_) {
            parent = found->hwnd_;
            break;
        }
    }
    if (GetParent(hwnd_) != parent) SetParent(hwnd_, parent);
}

}  // namespace plat
