#pragma once
// The pace at which a task window paints while a run is under way. The engine reports
// every file it copies, each report a round trip from the run's thread, and painting at
// each of them costs more than the copy. So while the pace runs, the item tree and the two
// bars hold their painting (WM_SETREDRAW off): a report only changes what they show, and a
// timer paints what changed a few dozen times a second, scrolling the tree to the newest
// row it was told of just before. Ending the pace paints the last state at once. The
// task's log control holds the run's lines the same way and adds them at each tick.

#include <QTimer>
#include <vector>

#include "controls/treelist/treelist_defs.h"
#include "platform/core/win_types.h"

class CTreeListCtrl;

class RunPaintPace {
public:
    static constexpr int kIntervalMs = 40;

    // `held`: the windows besides the tree whose painting is held (they answer WM_SETREDRAW).
    RunPaintPace(CTreeListCtrl& tree, std::vector<HWND> held);
    ~RunPaintPace();
    RunPaintPace(const RunPaintPace&) = delete;
    RunPaintPace& operator=(const RunPaintPace&) = delete;

    bool IsRunning() const { return running_; }
    // `alsoHeld`: a window of this run only whose painting is held too (the task's log).
    void Begin(HWND alsoHeld = nullptr);
    // What is held is painted now and every change paints at once again.
    void End();
    // The row the tree scrolls to at its next paint.
    void ShowRow(HTREEITEM row) { newestRow_ = row; }
    // One tick: the newest row into view, then everything held painted once.
    void Paint();

private:
    void SetRedraw(bool on);

    CTreeListCtrl& tree_;
    std::vector<HWND> held_;
    HWND runHeld_ = nullptr;
    QTimer timer_;
    HTREEITEM newestRow_ = 0;
    bool running_ = false;
};
