#pragma once
// A view: a child window of a frame that is a message window and a command target. The
// frame asks its active view first for every command and update (FrameWindow::SetActiveView),
// and a WM_COMMAND sent to the view runs the command on the view's own route.
// OnInitialUpdate is run once, by whoever creates the view, through InitialUpdate().
//
//   class HistoryView : public QTreeWidget, public plat::View {
//   public:
//       explicit HistoryView(QWidget* parent) : QTreeWidget(parent), plat::View(this) {
//           MapCommand(ID_DELETE_ALL_ROWS, &HistoryView::OnDeleteAll);
//       }
//   protected:
//       void OnInitialUpdate() override { /* columns, rows */ }
//   private:
//       void OnDeleteAll();
//   };
//   auto* view = new HistoryView(page);
//   view->InitialUpdate();
//   frame->SetActiveView(view);

#include "platform/qt/command_target.h"
#include "platform/qt/message_window.h"

namespace plat {

class FrameWindow;

class View : public MessageWindow, public CommandTarget {
public:
    // Runs OnInitialUpdate the first time only.
    void InitialUpdate();

    // The frame window this view stands in (up the widget parents), or null.
    FrameWindow* ParentFrame() const;

protected:
    explicit View(QWidget* widget, HWND parent = nullptr);
    ~View() override;

    virtual void OnInitialUpdate() {}

private:
    friend class FrameWindow;

    LRESULT OnCommandMessage(WPARAM id, LPARAM);

    bool initialised_ = false;
    // The frame that has this view as its active view.
    FrameWindow* activeIn_ = nullptr;
};

}  // namespace plat
