#include "platform/qt/frame_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDockWidget>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLayout>
#include <QScreen>
#include <QVBoxLayout>
#include <QWindow>

#include "platform/qt/popup_menu.h"
#include "platform/qt/status_bar.h"
#include "platform/qt/view.h"
#include "resources/command_ids.h"
#include "resources/menus.h"

namespace plat {

namespace {

CommandTarget* g_applicationTarget = nullptr;

// A window system that places every window itself.
bool PlacesWindowsItself() { return QGuiApplication::platformName().startsWith(QLatin1String("wayland")); }

QRect OnSomeScreen(QRect rect) {
    for (const QScreen* screen : QGuiApplication::screens()) {
        if (screen->availableGeometry().intersects(rect)) return rect;
    }
    const QScreen* primary = QGuiApplication::primaryScreen();
    if (!primary) return rect;
    const QRect area = primary->availableGeometry();
    rect.setSize(rect.size().boundedTo(area.size()));
    rect.moveTopLeft(area.topLeft());
    return rect;
}

}  // namespace

// Raises the frame's keys before the focused widget sees them.
class FrameWindow::KeyFilter : public QObject {
public:
    KeyFilter(FrameWindow& frame, AcceleratorTable table) : frame_(frame), table_(std::move(table)) {}

    bool eventFilter(QObject* watched, QEvent* event) override {
        const QEvent::Type type = event->type();
        if (type != QEvent::ShortcutOverride && type != QEvent::KeyPress) return false;
        auto* widget = qobject_cast<QWidget*>(watched);
        if (!widget || QApplication::activeModalWidget() || QApplication::activePopupWidget()) return false;
        // Once per key, at the widget that has the focus (the key then travels up its parents).
        if (QWidget* focus = QApplication::focusWidget(); focus && focus != widget) return false;
        if (!InFrame(widget)) return false;
        auto* key = static_cast<QKeyEvent*>(event);
        const UINT command = table_.CommandFor(key->key(), key->modifiers());
        if (command == 0) return false;
        const WORD virtualKey = VirtualKeyOf(key->key());
        const BYTE modifiers = ModifierFlags(key->modifiers());
        if (IsEditKey(virtualKey, modifiers) && TakesEditKeys(widget)) return false;
        if (virtualKey == res::vk::Return && modifiers == 0 && TakesEnterKey(widget)) return false;
        CmdUI ui(command);
        frame_.UpdateCommandUI(ui);
        if (!ui.IsEnabled()) return false;
        if (type == QEvent::ShortcutOverride) {
            event->accept();  // no shortcut takes it; the key press comes here next
            return true;
        }
        SendMessage(frame_.GetSafeHwnd(), WM_COMMAND, MAKELONG(static_cast<WORD>(command), 1), 0);
        return true;
    }

private:
    // The frame's own widgets and those of its floating panes.
    bool InFrame(const QWidget* widget) const {
        for (const QWidget* w = widget; w; w = w->parentWidget()) {
            if (w == &frame_) return true;
        }
        return false;
    }

    FrameWindow& frame_;
    AcceleratorTable table_;
};

FrameWindow::FrameWindow(QWidget* parent) : QMainWindow(parent), MessageWindow(this) {
    auto* central = new QWidget(this);
    clientLayout_ = new QVBoxLayout(central);
    clientLayout_->setContentsMargins(0, 0, 0, 0);
    clientLayout_->setSpacing(0);
    clientLayout_->addStretch(1);  // holds the place of the client widget until there is one
    setCentralWidget(central);
    MapMessage(WM_COMMAND, &FrameWindow::OnCommandMessage);
    MapCommand(ID_VIEW_STATUS_BAR, &FrameWindow::OnViewStatusBar);
    MapUpdate(ID_VIEW_STATUS_BAR, &FrameWindow::OnUpdateViewStatusBar);
}

FrameWindow::~FrameWindow() {
    if (keyFilter_) qApp->removeEventFilter(keyFilter_.get());
    // The views are Qt children, deleted after this frame's own parts are gone.
    if (activeView_) activeView_->activeIn_ = nullptr;
}

bool FrameWindow::Create() {
    if (Message(WM_CREATE) != -1) return true;
    DestroyFrame();
    return false;
}

void FrameWindow::DestroyFrame() {
    closing_ = true;
    close();
    DestroyMessageWindow();
}

LRESULT FrameWindow::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CLOSE) {
        DestroyFrame();
        return 0;
    }
    return MessageWindow::DefWindowProc(message, wParam, lParam);
}

void FrameWindow::closeEvent(QCloseEvent* event) {
    if (closing_) {
        event->accept();
        return;
    }
    // The frame's WM_CLOSE handler decides (hide to the tray, ask, or DestroyFrame).
    Message(WM_CLOSE);
    event->setAccepted(closing_);
}

bool FrameWindow::ShowWindow(int command) {
    const bool wasVisible = isVisible();
    switch (command) {
    case SW_HIDE: hide(); break;
    case SW_SHOWMINIMIZED:
    case SW_MINIMIZE:
    case SW_SHOWMINNOACTIVE: showMinimized(); break;
    case SW_SHOWMAXIMIZED:
        showMaximized();
        activateWindow();
        break;
    case SW_SHOW:
        show();
        activateWindow();
        break;
    case SW_SHOWNOACTIVATE:
    case SW_SHOWNA: show(); break;
    default:  // SW_SHOWNORMAL, SW_RESTORE and anything else
        showNormal();
        activateWindow();
        break;
    }
    return wasVisible;
}

void FrameWindow::SetForegroundWindow() { activateWindow(); }

void FrameWindow::BringWindowToTop() { raise(); }

bool FrameWindow::GetWindowPlacement(WINDOWPLACEMENT* placement) const {
    if (!placement) return false;
    *placement = WINDOWPLACEMENT{};
    // A hidden frame reports the state it shows in again, never "hidden", so a stored
    // placement always brings the window back.
    if (isMinimized()) {
        placement->showCmd = SW_SHOWMINIMIZED;
    } else if (isMaximized()) {
        placement->showCmd = SW_SHOWMAXIMIZED;
    } else {
        placement->showCmd = SW_SHOWNORMAL;
    }
    const QRect normal = normalRect_.isValid() ? normalRect_ : geometry();
    placement->rcNormalPosition =
        RECT{normal.left(), normal.top(), normal.left() + normal.width(), normal.top() + normal.height()};
    return true;
}

bool FrameWindow::SetWindowPlacement(const WINDOWPLACEMENT& placement) {
    const RECT& r = placement.rcNormalPosition;
    if (r.right <= r.left || r.bottom <= r.top) return false;
    if (windowState() & (Qt::WindowMinimized | Qt::WindowMaximized)) setWindowState(Qt::WindowNoState);
    const QRect rect(r.left, r.top, r.right - r.left, r.bottom - r.top);
    if (PlacesWindowsItself()) {
        resize(rect.size());
    } else {
        setGeometry(OnSomeScreen(rect));
    }
    normalRect_ = geometry();
    ShowWindow(static_cast<int>(placement.showCmd));
    return true;
}

void FrameWindow::RecalcLayout() {
    if (QLayout* frameLayout = layout()) frameLayout->activate();
    clientLayout_->activate();
}

void FrameWindow::RedrawAll() {
    repaint();
    for (QWidget* child : findChildren<QWidget*>()) {
        if (child->isWindow() && child->isVisible()) child->repaint();
    }
}

void FrameWindow::SetActiveView(View* view) {
    if (view == activeView_) return;
    if (activeView_) activeView_->activeIn_ = nullptr;
    activeView_ = view;
    if (view) {
        if (view->activeIn_) view->activeIn_->activeView_ = nullptr;
        view->activeIn_ = this;
    }
}

void FrameWindow::SetClientWidget(QWidget* client) {
    if (client_ == client) return;
    QWidget* old = client_;
    if (old) {
        clientLayout_->removeWidget(old);
        old->deleteLater();
    } else {
        delete clientLayout_->takeAt(clientLayout_->count() - 1);  // the stretch
    }
    client_ = client;
    if (client) {
        clientLayout_->addWidget(client, 1);
    } else {
        clientLayout_->addStretch(1);
    }
}

void FrameWindow::AddTopBar(QWidget* bar) { clientLayout_->insertWidget(topBars_++, bar); }

void FrameWindow::EnableDocking(Qt::DockWidgetAreas areas) {
    dockAreas_ = areas;
    setDockOptions(AnimatedDocks | AllowNestedDocks | AllowTabbedDocks);
    for (QDockWidget* pane : findChildren<QDockWidget*>(Qt::FindDirectChildrenOnly)) pane->setAllowedAreas(areas);
}

void FrameWindow::DockPane(QDockWidget* pane, Qt::DockWidgetArea area) {
    pane->setAllowedAreas(dockAreas_);
    addDockWidget(area, pane);
}

void FrameWindow::SetAccelerators(AcceleratorTable table) {
    if (keyFilter_) qApp->removeEventFilter(keyFilter_.get());
    keyFilter_.reset();
    if (table.Empty()) return;
    keyFilter_ = std::make_unique<KeyFilter>(*this, std::move(table));
    qApp->installEventFilter(keyFilter_.get());
}

void FrameWindow::SetMenu(const res::MenuResource& menu) { FillMenuBar(menuBar(), menu, GetSafeHwnd()); }

void FrameWindow::SetStatusBar(StatusBar* bar) {
    statusBar_ = bar;
    setStatusBar(bar);
}

void FrameWindow::SetApplicationTarget(CommandTarget* target) { g_applicationTarget = target; }

CommandTarget* FrameWindow::ApplicationTarget() { return g_applicationTarget; }

bool FrameWindow::OnCmdMsg(UINT id, Call call, CmdUI* ui) {
    if (activeView_ && activeView_->OnCmdMsg(id, call, ui)) return true;
    if (CommandTarget::OnCmdMsg(id, call, ui)) return true;
    return g_applicationTarget && g_applicationTarget != this && g_applicationTarget->OnCmdMsg(id, call, ui);
}

LRESULT FrameWindow::OnCommandMessage(WPARAM w, LPARAM) {
    // 0 from a menu or a button, 1 from a key; other codes are a control's notifications.
    if (HIWORD(w) > 1) return 0;
    return DispatchCommand(LOWORD(w)) ? 1 : 0;
}

void FrameWindow::OnViewStatusBar() {
    if (statusBar_) statusBar_->setVisible(!statusBar_->isVisibleTo(this));
}

void FrameWindow::OnUpdateViewStatusBar(CmdUI& ui) {
    ui.Enable(statusBar_ != nullptr);
    ui.SetCheck(statusBar_ && statusBar_->isVisibleTo(this) ? 1 : 0);
}

WPARAM FrameWindow::SizeType() const {
    if (isMinimized()) return SIZE_MINIMIZED;
    if (isMaximized()) return SIZE_MAXIMIZED;
    return SIZE_RESTORED;
}

void FrameWindow::RememberNormalRect() {
    if (!(windowState() & (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen))) normalRect_ = geometry();
}

void FrameWindow::SendSize() {
    Message(WM_SIZE, SizeType(),
            static_cast<LPARAM>(MAKELONG(static_cast<WORD>(width()), static_cast<WORD>(height()))));
}

void FrameWindow::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    RememberNormalRect();
    SendSize();
}

void FrameWindow::moveEvent(QMoveEvent* event) {
    QMainWindow::moveEvent(event);
    RememberNormalRect();
}

void FrameWindow::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange) SendSize();
}

}  // namespace plat
