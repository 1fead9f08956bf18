#pragma once
// The message-window mixin: a Qt widget that inherits it gets an HWND in the window table
// (owned by the thread that builds it, the GUI thread), a parent link, and a typed message
// map from message numbers to its member handlers. Any thread reaches the widget with
// SendMessage/PostMessage on that HWND; the GUI thread may also call Message() directly.
//
//   class LogControl : public QWidget, public plat::MessageWindow {
//   public:
//       explicit LogControl(QWidget* parent = nullptr) : QWidget(parent), plat::MessageWindow(this) {
//           MapMessage(WM_SYNC_LOG_LINE, &LogControl::OnLogLine);
//           MapMessage(WM_SETREDRAW, &LogControl::OnSetRedraw);  // a void handler answers 0
//       }
//   private:
//       LRESULT OnLogLine(WPARAM text, LPARAM colour);
//       void OnSetRedraw(WPARAM on, LPARAM);
//   };
//   // From a worker: SendMessage(log->GetSafeHwnd(), WM_SYNC_LOG_LINE, text, 255);
//
// List QWidget (or the Qt base) first, so the widget exists when the mixin registers it.
// Unmapped messages go to DefWindowProc (0 unless overridden). The HWND is destroyed by the
// mixin's destructor, when the derived class is already gone, so mapped handlers no longer
// run then; a class that handles WM_DESTROY calls DestroyMessageWindow() in its destructor.
// Destroying a window destroys the HWNDs of its child windows too.

#include <functional>
#include <memory>
#include <type_traits>
#include <unordered_map>

#include "platform/core/window.h"

class QObject;
class QWidget;

namespace plat {

class MessageWindow : public WindowProcedure {
public:
    MessageWindow(const MessageWindow&) = delete;
    MessageWindow& operator=(const MessageWindow&) = delete;

    HWND GetSafeHwnd() const { return hwnd_; }
    // The widget given at construction; null once that widget is gone (a class that holds
    // its widget instead of being it may outlive it).
    QWidget* Widget() const { return widget_; }

    // The dispatch entry: SendMessage to this window (called directly on the GUI thread,
    // carried there from any other thread). 0 once the window is destroyed.
    LRESULT Message(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);

    // Lookups for GUI-thread code: the message window of a widget or of an HWND.
    static MessageWindow* FromWidget(const QWidget* widget);
    static MessageWindow* FromHwnd(HWND hwnd);

protected:
    // `widget` is the object itself as a QWidget. `parent` (when given) is the explicit parent window.
    explicit MessageWindow(QWidget* widget, HWND parent = nullptr);
    ~MessageWindow() override;

    // T is the class that derives from both QWidget and MessageWindow.
    template <class T>
    void MapMessage(UINT message, LRESULT (T::*handler)(WPARAM, LPARAM)) {
        static_assert(std::is_base_of_v<MessageWindow, T>, "the handler's class must derive from MessageWindow");
        T* self = static_cast<T*>(this);
        handlers_[message] = [self, handler](WPARAM w, LPARAM l) { return (self->*handler)(w, l); };
    }
    template <class T>
    void MapMessage(UINT message, void (T::*handler)(WPARAM, LPARAM)) {
        static_assert(std::is_base_of_v<MessageWindow, T>, "the handler's class must derive from MessageWindow");
        T* self = static_cast<T*>(this);
        handlers_[message] = [self, handler](WPARAM w, LPARAM l) -> LRESULT {
            (self->*handler)(w, l);
            return 0;
        };
    }

    // Answers the messages that have no handler in the map.
    virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);

    // Destroys the HWND now, while the derived class still handles WM_DESTROY.
    void DestroyMessageWindow();

private:
    class ParentWatcher;

    LRESULT WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) final;
    void FollowWidgetParent();

    QWidget* widget_;
    HWND hwnd_ = nullptr;
    bool explicitParent_ = false;
    std::unordered_map<UINT, std::function<LRESULT(WPARAM, LPARAM)>> handlers_;
    std::unique_ptr<QObject> parentWatcher_;
};

}  // namespace plat
