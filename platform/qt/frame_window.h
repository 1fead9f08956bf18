#pragma once
// The frame window: a top-level QMainWindow that is a message window and the head of a
// command route: the active view, then the frame itself, then the application's target.
// Its client area holds the bars at its top (the caption bar) above the client widget.
//
//   class MainFrame : public plat::FrameWindow {
//   public:
//       MainFrame() {
//           MapMessage(WM_CREATE, &MainFrame::OnCreate);  // -1: creation failed
//           MapMessage(WM_CLOSE, &MainFrame::OnClose);    // unmapped: the frame closes
//           MapMessage(WM_SIZE, &MainFrame::OnSize);      // w: SIZE_RESTORED, _MINIMIZED, _MAXIMIZED
//           MapCommand(ID_EXIT, &MainFrame::OnExit);
//       }
//       ~MainFrame() override { DestroyMessageWindow(); }  // only when it maps WM_DESTROY
//   private:
//       LRESULT OnCreate(WPARAM, LPARAM) {
//           auto* bar = new plat::StatusBar;
//           bar->AddPane(IDC_STATUS_PANE_MAIN, "Ready", kSizingText, plat::StatusBar::Side::Main);
//           SetStatusBar(bar);                             // ID_VIEW_STATUS_BAR shows and hides it
//           return 0;
//       }
//       void OnClose(WPARAM, LPARAM) { /* ask, save */ DestroyFrame(); }
//   };
//   MainFrame frame;
//   if (!frame.Create()) return false;
//   frame.ShowWindow(plat::SW_SHOWNORMAL);
//
// WM_COMMAND (w = id; sent by menus, keys, the tray menu or any window) runs
// DispatchCommand on the route. Keys: SetAccelerators (see accelerator_table.h). Panes:
// EnableDocking, then DockablePane::Create. A frame that must be deleted when it closes sets
// Qt::WA_DeleteOnClose.

#include <QMainWindow>
#include <QPointer>
#include <QRect>

#include <memory>

#include "platform/qt/accelerator_table.h"
#include "platform/qt/command_target.h"
#include "platform/qt/message_window.h"

class QVBoxLayout;

namespace res {
struct MenuResource;
}

namespace plat {

class StatusBar;
class View;

inline constexpr int SW_HIDE = 0;
inline constexpr int SW_SHOWNORMAL = 1;
inline constexpr int SW_SHOWMINIMIZED = 2;
inline constexpr int SW_SHOWMAXIMIZED = 3;
inline constexpr int SW_SHOWNOACTIVATE = 4;
inline constexpr int SW_SHOW = 5;
inline constexpr int SW_MINIMIZE = 6;
inline constexpr int SW_SHOWMINNOACTIVE = 7;
inline constexpr int SW_SHOWNA = 8;
inline constexpr int SW_RESTORE = 9;

inline constexpr WPARAM SIZE_RESTORED = 0;
inline constexpr WPARAM SIZE_MINIMIZED = 1;
inline constexpr WPARAM SIZE_MAXIMIZED = 2;

// Every frame handles the status bar's show-or-hide command, ID_VIEW_STATUS_BAR
// (resources/command_ids.h).

// Where a frame stands, in screen pixels. The minimised and maximised positions are not
// kept (-1, -1); the normal rectangle is the frame's area (without the window manager's
// border) when it is neither minimised nor maximised. The show command is 1, 2 or 3.
struct WINDOWPLACEMENT {
    UINT length = sizeof(WINDOWPLACEMENT);
    UINT flags = 0;
    UINT showCmd = 0;
    POINT ptMinPosition{-1, -1};
    POINT ptMaxPosition{-1, -1};
    RECT rcNormalPosition;
};

class FrameWindow : public QMainWindow, public MessageWindow, public CommandTarget {
public:
    explicit FrameWindow(QWidget* parent = nullptr);
    ~FrameWindow() override;

    // Sends WM_CREATE; an answer of -1 destroys the frame's window and gives false.
    bool Create();
    // Closes the frame for good (the answer to an unmapped WM_CLOSE): hides it and
    // destroys its window (WM_DESTROY); the object stays until its owner deletes it.
    void DestroyFrame();

    // The show commands SW_*; returns whether the frame was visible before.
    bool ShowWindow(int command);
    void SetForegroundWindow();
    void BringWindowToTop();
    bool GetWindowPlacement(WINDOWPLACEMENT* placement) const;
    // Where the window system lets no window place itself (Wayland) only the size and the
    // show command are applied. A rectangle off every screen is moved onto the primary one.
    bool SetWindowPlacement(const WINDOWPLACEMENT& placement);

    void RecalcLayout();
    // Repaints the frame and every window in it (its floating panes too), at once.
    void RedrawAll();

    // The view asked first for commands; null for none. A view that goes away stops being it.
    void SetActiveView(View* view);
    View* GetActiveView() const { return activeView_; }

    // The widget below the top bars, filling the client area (the frame owns it; a new one
    // replaces and deletes the old one).
    void SetClientWidget(QWidget* client);
    // A bar at the top of the client area, below those added before (the frame owns it).
    void AddTopBar(QWidget* bar);

    // A menu bar from a menu resource; its commands come back as WM_COMMAND.
    void SetMenu(const res::MenuResource& menu);
    // The sides panes may dock on (none until this is called; floating is always allowed).
    void EnableDocking(Qt::DockWidgetAreas areas);
    // Docks `pane` at `area` (the frame owns it from now on).
    void DockPane(QDockWidget* pane, Qt::DockWidgetArea area);

    // The keys of the frame's windows (an empty table: none).
    void SetAccelerators(AcceleratorTable table);

    // Installs the status bar (the frame owns it from now on).
    void SetStatusBar(StatusBar* bar);
    StatusBar* GetStatusBar() const { return statusBar_; }

    // The application object's command target, last on every frame's route (null: none).
    static void SetApplicationTarget(CommandTarget* target);
    static CommandTarget* ApplicationTarget();

    bool OnCmdMsg(UINT id, Call call, CmdUI* ui) override;

protected:
    LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    friend class View;
    class KeyFilter;

    LRESULT OnCommandMessage(WPARAM w, LPARAM);
    void OnViewStatusBar();
    void OnUpdateViewStatusBar(CmdUI& ui);
    void SendSize();
    void RememberNormalRect();
    WPARAM SizeType() const;

    View* activeView_ = nullptr;
    StatusBar* statusBar_ = nullptr;
    QVBoxLayout* clientLayout_ = nullptr;
    QPointer<QWidget> client_;
    int topBars_ = 0;
    bool closing_ = false;
    QRect normalRect_;
    Qt::DockWidgetAreas dockAreas_ = Qt::NoDockWidgetArea;
    std::unique_ptr<KeyFilter> keyFilter_;
};

}  // namespace plat
