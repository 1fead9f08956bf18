#include "ui/compare/detail_frame.h"

#include <QSplitter>

#include "foundation/resource_strings.h"
#include "platform/core/message_box.h"
#include "platform/qt/message_window.h"
#include "platform/qt/status_bar.h"
#include "resources/command_ids.h"
#include "resources/menu_ids.h"
#include "resources/menus.h"
#include "ui/compare/detail_list_box.h"
#include "ui/compare/detail_view.h"

CDetailFrame::CDetailFrame(std::string leftFile, std::string rightFile, DiffHunks hunks, QWidget* mainWindow)
    : leftFile_(std::move(leftFile)),
      rightFile_(std::move(rightFile)),
      hunks_(std::move(hunks)),
      mainWindow_(mainWindow) {
    MapMessage(WM_CREATE, &CDetailFrame::OnCreate);
    MapMessage(WM_CLOSE, &CDetailFrame::OnClose);
    MapCommand(ID_COMPARE_EXIT, &CDetailFrame::OnExit);
}

LRESULT CDetailFrame::OnCreate(WPARAM, LPARAM) {
    if (const res::MenuResource* menu = res::FindMenu(IDR_COMPARE_FRAME)) SetMenu(*menu);
    auto* bar = new plat::StatusBar;
    bar->SetSizeGrip(true);
    SetStatusBar(bar);

    splitter_ = new QSplitter(Qt::Horizontal);
    splitter_->setChildrenCollapsible(false);
    for (CDetailView*& view : views_) view = new CDetailView(splitter_);
    // The left pane keeps its width when the window is resized; the right one takes the rest.
    splitter_->setStretchFactor(0, 0);
    splitter_->setStretchFactor(1, 1);
    splitter_->setSizes({kLeftPaneWidth, kRightPaneWidth});
    LeftView().ListBox().SetPartner(&RightView().ListBox());
    RightView().ListBox().SetPartner(&LeftView().ListBox());
    SetClientWidget(splitter_);
    if (!FillPanes()) return -1;
    setWindowTitle(QString::fromStdString("Sync:  " + leftFile_ + " -vs- " + rightFile_));
    // Made, it lives until it is closed; a frame whose creation failed is its creator's to delete.
    setAttribute(Qt::WA_DeleteOnClose);
    return 0;
}

bool CDetailFrame::FillPanes() {
    TextFileLines lines[2];
    const std::string* paths[2] = {&leftFile_, &rightFile_};
    for (int side = 0; side < 2; ++side) {
        std::string reason;
        if (!lines[side].Read(*paths[side], reason)) {
            const auto* owner = plat::MessageWindow::FromWidget(mainWindow_);
            MessageBox(owner ? owner->GetSafeHwnd() : nullptr, *paths[side] + "\r\n" + reason,
                       LoadResString(IDS_APP_TITLE), MB_OK | MB_ICONEXCLAMATION);
            return false;
        }
    }
    LeftView().ListBox().SetRows(FillPaneRows(PaneSide::Left, lines[0], lines[1].size(), hunks_));
    RightView().ListBox().SetRows(FillPaneRows(PaneSide::Right, lines[1], lines[0].size(), hunks_));
    return true;
}

void CDetailFrame::OnClose(WPARAM, LPARAM) {
    if (mainWindow_) {
        if (auto* frame = dynamic_cast<plat::FrameWindow*>(mainWindow_.data())) {
            frame->ShowWindow(plat::SW_SHOWNORMAL);
        } else {
            mainWindow_->showNormal();
        }
    }
    DestroyFrame();
}

void CDetailFrame::OnExit() { close(); }
