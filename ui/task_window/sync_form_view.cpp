#include "ui/task_window/sync_form_view.h"

#include <QResizeEvent>
#include <QSignalBlocker>
#include <QTabBar>
#include <QTabWidget>

#include "foundation/sync_task.h"
#include "platform/qt/qt_text.h"
#include "resources/sync_messages.h"
#include "ui/frame/main_frame.h"
#include "ui/task_window/sync_dlg.h"

namespace {

constexpr int kMinimumWidth = 300;
constexpr int kMinimumHeight = 2;
constexpr int kTabControlInset = 3;

}  // namespace

CSyncFormView::CSyncFormView(QWidget* parent, HWND mainFrame, HWND taskList)
    : QWidget(parent), plat::View(this), mainFrame_(mainFrame), taskList_(taskList) {
    MapMessage(WM_SYNC_TASK_CHANGED, &CSyncFormView::OnTaskChanged);
    MapMessage(WM_SYNC_TASK_REMOVED, &CSyncFormView::OnTaskRemoved);
    MapMessage(WM_SYNC_RENAME_TASK, &CSyncFormView::OnRenameTask);
    MapMessage(WM_SYNC_SAVE_COLUMNS, &CSyncFormView::OnSaveColumns);
    MapMessage(WM_SIZE, &CSyncFormView::OnSize);
    MapMessage(WM_DESTROY, &CSyncFormView::OnDestroy);

    tabs_ = new QTabWidget(this);
    tabs_->setDocumentMode(true);
    // A click tells the task list even on the tab Qt already shows (after a removal the
    // remembered tab is none); keys that move between tabs come as a change.
    connect(tabs_->tabBar(), &QTabBar::tabBarClicked, this, [this](int index) { OnTabChange(index); });
    connect(tabs_, &QTabWidget::currentChanged, this, [this](int index) { OnTabChange(index); });
}

CSyncFormView::~CSyncFormView() {
    // WM_DESTROY while the view's handlers still run.
    DestroyMessageWindow();
}

CSyncFormView* CSyncFormView::CreatePane(CMainFrame& frame, HWND taskList) {
    auto* pane = new CSyncFormView(&frame, frame.GetSafeHwnd(), taskList);  // the frame's child from now on
    pane->InitialUpdate();
    return pane;
}

CSyncFormView* CSyncFormView::PaneOf(const CMainFrame& frame) {
    return dynamic_cast<CSyncFormView*>(plat::MessageWindow::FromHwnd(frame.TaskWindowPane()));
}

void CSyncFormView::OnInitialUpdate() {
    if (auto* frame = dynamic_cast<CMainFrame*>(plat::MessageWindow::FromHwnd(mainFrame_))) {
        frame->SetTaskWindowPane(this);
    }
}

CSyncDlg* CSyncFormView::AddTaskTab(const std::string& name, int row, SyncTask* task) {
    if (!task) return nullptr;
    auto* window = new CSyncDlg(tabs_, mainFrame_, taskList_);  // the tab's page, deleted by this view
    task->taskWindow = window->GetSafeHwnd();
    window->Message(WM_SYNC_TASK_CHANGED, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(task));
    // Adding the first tab makes it current; that is no choice of the user's.
    const QSignalBlocker quiet(tabs_);
    tabs_->addTab(window, plat::ToQString(name));
    return window;
}

CSyncDlg* CSyncFormView::TaskWindowAt(int index) const { return dynamic_cast<CSyncDlg*>(tabs_->widget(index)); }

int CSyncFormView::FindTab(const SyncTask* task) const {
    for (int index = 0; index < tabs_->count(); ++index) {
        const CSyncDlg* window = TaskWindowAt(index);
        if (window && window->Task() == task) return index;
    }
    return -1;
}

void CSyncFormView::OnTabChange(int index) {
    if (index < 0 || index == activeTab_) return;
    activeTab_ = index;
    const std::string label = tabs_->tabText(index).toStdString();
    SendMessageToDescendants(mainFrame_, WM_SYNC_SELECT_TASK, reinterpret_cast<WPARAM>(label.c_str()), 0);
}

LRESULT CSyncFormView::OnTaskChanged(WPARAM task, LPARAM) {
    if (!task) return 0;
    const int index = FindTab(reinterpret_cast<const SyncTask*>(task));
    if (index >= 0 && index != activeTab_) {
        tabs_->setCurrentIndex(index);
        OnTabChange(index);  // also when Qt showed that tab already
    }
    return 1;
}

LRESULT CSyncFormView::OnTaskRemoved(WPARAM task, LPARAM) {
    if (!task) return 0;
    auto* removed = reinterpret_cast<SyncTask*>(task);
    const int index = FindTab(removed);
    if (index < 0) return 1;
    QWidget* window = tabs_->widget(index);
    {
        // Qt shows a neighbour; that is no choice of the user's.
        const QSignalBlocker quiet(tabs_);
        tabs_->removeTab(index);
    }
    delete window;
    removed->taskWindow = nullptr;
    // The remembered tab follows the tabs that remain, so it always names the one shown.
    if (index == activeTab_)
        activeTab_ = -1;
    else if (index < activeTab_)
        --activeTab_;
    return 1;
}

LRESULT CSyncFormView::OnRenameTask(WPARAM task, LPARAM name) {
    if (!task) return 0;
    const int index = FindTab(reinterpret_cast<const SyncTask*>(task));
    if (index >= 0 && name) tabs_->setTabText(index, plat::ToQString(reinterpret_cast<const char*>(name)));
    return 1;
}

void CSyncFormView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    Message(WM_SIZE, 0, MAKELONG(static_cast<WORD>(event->size().width()), static_cast<WORD>(event->size().height())));
}

void CSyncFormView::OnSize(WPARAM, LPARAM size) {
    const int width = LOWORD(static_cast<DWORD_PTR>(size));
    const int height = HIWORD(static_cast<DWORD_PTR>(size));
    if (width < kMinimumWidth || height < kMinimumHeight || !tabs_) return;
    tabs_->setGeometry(0, 0, width - kTabControlInset, height - kTabControlInset);
    tabs_->update();
}

LRESULT CSyncFormView::OnSaveColumns(WPARAM, LPARAM) {
    // The widths of the window shown last are the ones kept.
    CSyncDlg* active = tabs_ ? TaskWindowAt(tabs_->currentIndex()) : nullptr;
    return active ? active->Message(WM_SYNC_SAVE_COLUMNS, 0, 0) : 0;
}

void CSyncFormView::OnDestroy(WPARAM, LPARAM) {
    if (!tabs_) return;
    OnSaveColumns(0, 0);
    // The tasks may be gone already (the task list goes first at shutdown): their windows
    // go without a word to them.
    const QSignalBlocker quiet(tabs_);
    while (tabs_->count() > 0) {
        QWidget* window = tabs_->widget(0);
        tabs_->removeTab(0);
        delete window;
    }
    activeTab_ = -1;
}
