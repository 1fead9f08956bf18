#include "platform/qt/dockable_pane.h"

#include <QResizeEvent>

#include "platform/qt/frame_window.h"
#include "platform/qt/qt_text.h"

namespace plat {

// Tells the pane of every change of its content size.
class DockablePane::ClientArea : public QWidget {
public:
    explicit ClientArea(DockablePane& pane) : QWidget(&pane), pane_(pane) {}

protected:
    void resizeEvent(QResizeEvent* event) override {
        QWidget::resizeEvent(event);
        pane_.SendSize();
    }

private:
    DockablePane& pane_;
};

DockablePane::DockablePane() : QDockWidget(nullptr), MessageWindow(this), client_(new ClientArea(*this)) {
    setWidget(client_);
    // No command brings a closed pane back, so a pane offers no close: it moves, floats
    // and docks again.
    setFeatures(DockWidgetMovable | DockWidgetFloatable);
}

bool DockablePane::Create(std::string_view title, FrameWindow* frame, UINT id, QSize size, Qt::DockWidgetArea area) {
    if (!frame) return false;
    id_ = id;
    setWindowTitle(ToQString(title));
    setObjectName(QStringLiteral("pane-%1").arg(id));  // lets the frame save its dock layout
    frame->DockPane(this, area);
    const bool across = area == Qt::LeftDockWidgetArea || area == Qt::RightDockWidgetArea;
    frame->resizeDocks({this}, {across ? size.width() : size.height()}, across ? Qt::Horizontal : Qt::Vertical);
    if (Message(WM_CREATE) != -1) return true;
    frame->removeDockWidget(this);
    setParent(nullptr);
    return false;
}

void DockablePane::SendSize() {
    const QSize size = client_->size();
    Message(WM_SIZE, 0,
            static_cast<LPARAM>(MAKELONG(static_cast<WORD>(size.width()), static_cast<WORD>(size.height()))));
}

}  // namespace plat
