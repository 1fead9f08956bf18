#pragma once
// The navigation bar on the left of the main window, "Shortcuts", with its two pages:
// "Tasks" (the task list, IDC_TASK_LIST) and "History" (the history view, IDC_HISTORY_VIEW).
// Its tab control tells the frame of every page change (plat::kTabChangedMessage, l IDC_NAVIGATION_TABS).

#include "platform/qt/navigation_bar.h"

class CHistoryView;
class CSyncListView;

// The bar's tab control is the framework's own.
using CControlOutLook = plat::NavigationTabs;

inline constexpr int kTasksPage = 0;
inline constexpr int kHistoryPage = 1;

class COutlookBar : public plat::NavigationBar {
public:
    COutlookBar();

    // Docks the bar in `frame` and makes both pages.
    bool Create(plat::FrameWindow* frame);

    CControlOutLook* TabControl() const { return Tabs(); }
    CSyncListView* TaskListView() const { return taskList_; }
    CHistoryView* HistoryView() const { return history_; }

private:
    CSyncListView* taskList_ = nullptr;
    CHistoryView* history_ = nullptr;
};
