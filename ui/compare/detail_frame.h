#pragma once
// The compare window: the left and the right copy of a text file side by side in two panes
// that scroll together, the lines that differ on grey, filler rows keeping both sides
// level. It deletes itself when closed and shows the main window again.
//
//   auto frame = std::make_unique<CDetailFrame>(left, right, std::move(hunks), mainWindow);
//   if (!frame->Create()) return;   // a file could not be read: the user was told
//   frame.release()->ShowWindow(plat::SW_SHOWNORMAL);

#include <QPointer>
#include <string>

#include "platform/qt/frame_window.h"
#include "ui/compare/diff_hunk.h"

class CDetailView;
class QSplitter;

class CDetailFrame : public plat::FrameWindow {
public:
    static constexpr int kLeftPaneWidth = 350;
    static constexpr int kRightPaneWidth = 10;

    // `mainWindow` is shown again when this window closes and owns the boxes it shows.
    CDetailFrame(std::string leftFile, std::string rightFile, DiffHunks hunks, QWidget* mainWindow);

    CDetailView& LeftView() const { return *views_[0]; }
    CDetailView& RightView() const { return *views_[1]; }

private:
    LRESULT OnCreate(WPARAM, LPARAM);
    void OnClose(WPARAM, LPARAM);
    void OnExit();
    bool FillPanes();

    std::string leftFile_;
    std::string rightFile_;
    DiffHunks hunks_;
    QPointer<QWidget> mainWindow_;
    QSplitter* splitter_ = nullptr;
    CDetailView* views_[2] = {nullptr, nullptr};
};
