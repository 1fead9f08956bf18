#include "ui/frame/outlook_bar.h"

#include "foundation/resource_strings.h"
#include "foundation/settings_store.h"
#include "resources/control_ids.h"
#include "resources/image_ids.h"
#include "ui/frame/strip_images.h"
#include "ui/history/history_view.h"
#include "ui/task_list/sync_list_view.h"

namespace {

constexpr int kBarWidth = 250;
constexpr int kTasksImage = 7;
constexpr int kHistoryImage = 8;

}  // namespace

COutlookBar::COutlookBar() = default;

bool COutlookBar::Create(plat::FrameWindow* frame) {
    SetImages(StripImages(res::kRibbonLargeImages, 32));
    if (!NavigationBar::Create(LoadResString(IDS_SHORTCUTS), frame, IDC_NAVIGATION_BAR, kBarWidth,
                               IDC_NAVIGATION_TABS)) {
        return false;
    }
    Tabs()->SetAnimation(ReadUserProfileInt("Program", "OutlookAnimation", 1) != 0);
    taskList_ = new CSyncListView;
    taskList_->setObjectName(QString::number(IDC_TASK_LIST));
    Tabs()->AddPage(LoadResString(IDS_TASKS), kTasksImage, taskList_);
    taskList_->InitialUpdate();
    history_ = new CHistoryView;
    history_->setObjectName(QString::number(IDC_HISTORY_VIEW));
    Tabs()->AddPage(LoadResString(IDS_HISTORY), kHistoryImage, history_);
    history_->InitialUpdate();
    return true;
}
