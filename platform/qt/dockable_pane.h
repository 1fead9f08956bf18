#pragma once
// A dockable pane of a frame: a QDockWidget that is a message window. It can be docked on
// every side the frame allows (FrameWindow::EnableDocking) and float on its own. Its
// content lives in Client(), which the derived class fills and lays out on WM_SIZE.
//
//   class LogPane : public plat::DockablePane {
//   public:
//       LogPane() {
//           MapMessage(WM_CREATE, &LogPane::OnCreate);    // -1: the pane is not made
//           MapMessage(WM_SIZE, &LogPane::OnSize);        // l: MAKELONG(client width, height)
//           MapMessage(WM_DESTROY, &LogPane::OnDestroy);
//       }
//       ~LogPane() override { DestroyMessageWindow(); }  // WM_DESTROY while this class lives
//   };
//   frame.EnableDocking(Qt::AllDockWidgetAreas);
//   pane->Create("Log Window", &frame, IDC_LOG_PANE, QSize(150, 150), Qt::BottomDockWidgetArea);
//
// There is no auto-hide, and no close button: nothing would bring a closed pane back.

#include <QDockWidget>
#include <QSize>
#include <string_view>

#include "platform/qt/message_window.h"

namespace plat {

class FrameWindow;

class DockablePane : public QDockWidget, public MessageWindow {
public:
    DockablePane();

    // Docks the pane in `frame` at `area`, `size` wide (left and right) or high (top and
    // bottom), and sends WM_CREATE; on -1 the pane is taken out again and false returned.
    bool Create(std::string_view title, FrameWindow* frame, UINT id, QSize size, Qt::DockWidgetArea area);
    UINT Id() const { return id_; }

    // The pane's content area.
    QWidget* Client() const { return client_; }

private:
    class ClientArea;

    void SendSize();

    QWidget* client_;
    UINT id_ = 0;
};

}  // namespace plat
