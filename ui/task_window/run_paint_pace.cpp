#include "ui/task_window/run_paint_pace.h"

#include "controls/tree_list_ctrl.h"
#include "platform/core/window.h"

RunPaintPace::RunPaintPace(CTreeListCtrl& tree, std::vector<HWND> held) : tree_(tree), held_(std::move(held)) {
    timer_.setInterval(kIntervalMs);
    QObject::connect(&timer_, &QTimer::timeout, [this] { Paint(); });
}

RunPaintPace::~RunPaintPace() {
    timer_.stop();
    if (running_) SetRedraw(true);
}

void RunPaintPace::Begin(HWND alsoHeld) {
    if (running_) return;
    running_ = true;
    newestRow_ = 0;
    runHeld_ = alsoHeld;
    SetRedraw(false);
    timer_.start();
}

void RunPaintPace::End() {
    if (!running_) return;
    timer_.stop();
    Paint();
    running_ = false;
    SetRedraw(true);
    runHeld_ = nullptr;
}

void RunPaintPace::Paint() {
    // A row the run reported may have gone since (the list emptied by the user).
    if (newestRow_ && tree_.GetSafeHwnd()) tree_.EnsureVisible(newestRow_);
    newestRow_ = 0;
    SetRedraw(true);
    if (running_) SetRedraw(false);
}

void RunPaintPace::SetRedraw(bool on) {
    if (tree_.GetSafeHwnd()) tree_.SendMessage(WM_SETREDRAW, on ? TRUE : FALSE);
    for (const HWND window : held_) SendMessage(window, WM_SETREDRAW, on ? TRUE : FALSE, 0);
    if (runHeld_) SendMessage(runHeld_, WM_SETREDRAW, on ? TRUE : FALSE, 0);
}
