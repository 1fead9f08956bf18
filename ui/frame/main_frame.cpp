#include "ui/frame/main_frame.h"

#include <QApplication>
#include <QEventLoop>
#include <QGuiApplication>
#include <QScreen>
#include <QTimer>
#include <algorithm>

#include "engine/run/run_threads.h"
#include "foundation/file_utils.h"
#include "foundation/history_message.h"
#include "foundation/main_window.h"
#include "foundation/program_state.h"
#include "foundation/registry_utils.h"
#include "foundation/resource_strings.h"
#include "foundation/script_table.h"
#include "foundation/settings_keys.h"
#include "foundation/settings_store.h"
#include "foundation/sync_task.h"
#include "platform/core/ini_file.h"
#include "platform/core/message_box.h"
#include "platform/core/text.h"
#include "platform/core/window.h"
#include "platform/qt/accelerator_table.h"
#include "platform/qt/navigation_bar.h"
#include "platform/qt/qt_text.h"
#include "platform/qt/resource_images.h"
#include "platform/qt/status_bar.h"
#include "platform/qt/view.h"
#include "platform/qt/visual_style.h"
#include "resources/accelerators.h"
#include "resources/command_ids.h"
#include "resources/control_ids.h"
#include "resources/image_ids.h"
#include "resources/menu_ids.h"
#include "resources/string_table.h"
#include "resources/sync_messages.h"
#include "ui/app/single_instance.h"
#include "ui/app/sync_app.h"
#include "ui/compare/compare_command.h"
#include "ui/frame/caption_bar.h"
#include "ui/frame/cust_ribbon.h"
#include "ui/frame/outlook_bar.h"
#include "ui/frame/placement_text.h"
#include "ui/frame/snag_wait.h"
#include "ui/frame/task_list_link.h"
#include "ui/history/history_view.h"
#include "ui/log_pane/log_bar.h"
#include "ui/task_list/sync_list_view.h"

namespace {

constexpr UINT kWaitPollMs = 500;
constexpr char kStatusSizingText[] = "This is the Maximum of the text allowed in the statusbar.";
constexpr QSize kFirstStartSize(1180, 760);
constexpr char kLogWindowTitle[] = "Log Window";
constexpr char kRunKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";

// Runs `call` on the main frame's thread with the frame, when there is one.
void OnFrameThread(const std::function<void(CMainFrame&)>& call) {
    const HWND main = GetMainWindow();
    const DWORD owner = main ? plat::GetWindowThreadId(main) : 0;
    if (owner == 0) return;
    plat::CallOnThread(owner, [main, &call]() -> LRESULT {
        if (auto* frame = dynamic_cast<CMainFrame*>(plat::MessageWindow::FromHwnd(main))) call(*frame);
        return 0;
    });
}

bool StartRunThreads(SyncTask& task, LPARAM mode) { return static_cast<bool>(StartRunThread(task, mode)); }

}  // namespace

CMainFrame* MainFrame() {
    const HWND main = GetMainWindow();
    if (!main || plat::GetWindowThreadId(main) != GetCurrentThreadId()) return nullptr;
    return dynamic_cast<CMainFrame*>(plat::MessageWindow::FromHwnd(main));
}

CMainFrame::CMainFrame() : runStarter_(StartRunThreads) {
    setObjectName(QString::fromLatin1(kFrameWindowClass));
    setWindowIcon(plat::LoadIconResource(res::kProgramIcon));
    setWindowTitle(plat::ToQString(LoadResString(IDS_APP_TITLE)));
    MapMessage(WM_CREATE, &CMainFrame::OnCreate);
    MapMessage(WM_SYNC_FIRST_SHOW, &CMainFrame::OnFirstShow);
    MapMessage(WM_SYNC_RUN_TASK, &CMainFrame::OnRunTask);
    MapMessage(WM_SYNC_TASK_CHANGED, &CMainFrame::OnTaskChanged);
    MapMessage(WM_SYNC_HISTORY_CHANGED, &CMainFrame::OnHistoryChanged);
    MapMessage(WM_COPYDATA, &CMainFrame::OnCopyData);
    MapMessage(WM_SIZE, &CMainFrame::OnSize);
    MapMessage(WM_TIMER, &CMainFrame::OnTimer);
    MapMessage(WM_CLOSE, &CMainFrame::OnClose);
    MapMessage(WM_ENDSESSION, &CMainFrame::OnEndSession);
    MapMessage(WM_SYNC_BUSY_STATE, &CMainFrame::OnBusyState);
    MapMessage(WM_SYNC_LOG_LINE, &CMainFrame::OnCaptionMessage);
    MapMessage(WM_SYNC_TRAY_NOTIFY, &CMainFrame::OnTrayNotify);
    MapMessage(plat::kTabChangedMessage, &CMainFrame::OnTabChanged);
    MapCommands();
}

CMainFrame::~CMainFrame() {
    if (GetMainWindow() == GetSafeHwnd()) {
        SetMainWindow(nullptr);
        SetAutoStartTimerHandler({});
        ProgramScripts().SetDueHandler({});
    }
}

// --- Views ------------------------------------------------------------------------------------

void CMainFrame::SetTaskListView(plat::View* view, TaskListLink* list) {
    taskList_ = view ? list : nullptr;
    taskListWindow_ = view ? view->GetSafeHwnd() : nullptr;
    FollowActivePage();
}

void CMainFrame::SetHistoryView(plat::View* view) {
    historyWindow_ = view ? view->GetSafeHwnd() : nullptr;
    FollowActivePage();
}

// The views are found by their windows, so one that went is never reached.
plat::View* CMainFrame::ViewOf(HWND window) { return dynamic_cast<plat::View*>(plat::MessageWindow::FromHwnd(window)); }

TaskListLink* CMainFrame::TaskList() const { return ViewOf(taskListWindow_) ? taskList_ : nullptr; }

void CMainFrame::FollowActivePage() {
    SetActiveView(ViewOf(activePage_ == kHistoryPage ? historyWindow_ : taskListWindow_));
}

void CMainFrame::SetTaskWindowPane(plat::View* pane) {
    taskWindowPane_ = pane ? pane->GetSafeHwnd() : nullptr;
    SetClientWidget(pane ? pane->Widget() : nullptr);
    RecalcLayout();
}

HWND CMainFrame::TaskListWindow() const { return IsWindow(taskListWindow_) ? taskListWindow_ : nullptr; }

HWND CMainFrame::HistoryViewWindow() const { return IsWindow(historyWindow_) ? historyWindow_ : nullptr; }

HWND CMainFrame::TaskWindowPane() const { return IsWindow(taskWindowPane_) ? taskWindowPane_ : nullptr; }

bool CMainFrame::OnCmdMsg(UINT id, Call call, plat::CmdUI* ui) {
    // The active view, the frame's own table, then the task list, then the application.
    if (GetActiveView() && GetActiveView()->OnCmdMsg(id, call, ui)) return true;
    if (CommandTarget::OnCmdMsg(id, call, ui)) return true;
    plat::View* list = ViewOf(taskListWindow_);
    if (list && list != GetActiveView() && list->OnCmdMsg(id, call, ui)) return true;
    CommandTarget* app = ApplicationTarget();
    return app && app != this && app->OnCmdMsg(id, call, ui);
}

// --- Creation and first show ----------------------------------------------------------------

LRESULT CMainFrame::OnCreate(WPARAM, LPARAM) {
    trayOption_ =
        ReadProfileInt(settings::kTrayIcon.section, settings::kTrayIcon.key, settings::kTrayIcon.defaultValue) != 0;
    tray_.SetNotificationWnd(GetSafeHwnd(), WM_SYNC_TRAY_NOTIFY);
    if (trayOption_) tray_.SetIconById(res::kTrayIcon);
    shown_ = true;
    realExit_ = false;

    ApplyVisualStyle(static_cast<UINT>(ReadProfileInt(
        settings::kApplicationLook.section, settings::kApplicationLook.key, settings::kApplicationLook.defaultValue)));
    ribbon_ = new CCustRibbon(this);
    ribbon_->Build();
    CreateStatusBar();
    EnableDocking(Qt::AllDockWidgetAreas);

    navigationBar_ = new COutlookBar;
    if (!navigationBar_->Create(this)) return -1;
    SetTaskListView(navigationBar_->TaskListView(), navigationBar_->TaskListView());
    SetHistoryView(navigationBar_->HistoryView());
    captionBar_ = new CBarraOutLook;
    AddTopBar(captionBar_);

    logPane_ = new CLogBar;
    if (!logPane_->Create(kLogWindowTitle, this, IDC_LOG_PANE, QSize(150, 150), Qt::BottomDockWidgetArea)) {
        return -1;
    }
    SetAccelerators(plat::AcceleratorTable(res::FindAccelerators(IDR_MAIN_FRAME)));

    PlaceAtFirstStart();
    SetMainWindow(GetSafeHwnd());
    SetAutoStartTimerHandler(&CMainFrame::ArmTaskTimer);
    ProgramScripts().SetDueHandler(&CMainFrame::ArmTaskTimer);
    activePage_ = navigationBar_->TabControl()->ActivePage();
    FollowActivePage();
    RecalcLayout();
    ribbon_->LoadState(plat::IniFile(ProgramState().settingsFile));
    return 0;
}

void CMainFrame::ApplyVisualStyle(UINT id) {
    if (!plat::ApplyVisualStyle(id)) plat::ApplyVisualStyle(static_cast<UINT>(settings::kApplicationLook.defaultValue));
}

void CMainFrame::CreateStatusBar() {
    auto* bar = new plat::StatusBar;
    bar->AddPane(IDC_STATUS_PANE_MAIN, "Ready", kStatusSizingText, plat::StatusBar::Side::Main);
    bar->AddPane(IDC_STATUS_PANE_EXTENDED, LoadResString(IDS_NO_ACTION), kStatusSizingText,
                 plat::StatusBar::Side::Extended);
    SetStatusBar(bar);
}

void CMainFrame::PlaceAtFirstStart() {
    // Where no placement was saved yet: most of the screen, centred.
    const QScreen* shown = screen() ? screen() : QGuiApplication::primaryScreen();
    if (!shown) return;
    const QRect area = shown->availableGeometry();
    const QSize size(std::min(kFirstStartSize.width(), area.width() * 9 / 10),
                     std::min(kFirstStartSize.height(), area.height() * 9 / 10));
    setGeometry(QRect(area.center() - QPoint(size.width() / 2, size.height() / 2), size));
}

void CMainFrame::OnFirstShow(WPARAM showCommand, LPARAM) {
    RestorePlacement(static_cast<int>(showCommand));
    if (const HWND list = TaskListWindow()) PostMessage(list, WM_SYNC_LOAD_TASKS, 0, 0);
}

void CMainFrame::RestorePlacement(int showCommand) {
    if (showCommand != plat::SW_SHOWMINNOACTIVE && showCommand != plat::SW_SHOWMAXIMIZED) {
        const auto placement = ParsePlacement(ReadProfileString("Frame", "WP", ""));
        if (placement && SetWindowPlacement(*placement)) return;
    }
    ActivateFrame(showCommand);
}

void CMainFrame::ActivateFrame(int showCommand) {
    const bool minimise = showCommand == plat::SW_SHOWMINIMIZED || showCommand == plat::SW_MINIMIZE ||
                          showCommand == plat::SW_SHOWMINNOACTIVE;
    if (minimise && HidesToTray()) {
        minimisedToTray_ = true;
        ShowInTray(FALSE);
        return;
    }
    ShowWindow(showCommand);
}

void CMainFrame::SavePlacement() const {
    plat::WINDOWPLACEMENT placement;
    if (GetWindowPlacement(&placement)) WriteProfileString("Frame", "WP", FormatPlacement(placement));
}

// --- Messages ---------------------------------------------------------------------------------

LRESULT CMainFrame::OnRunTask(WPARAM w, LPARAM mode) {
    auto* task = reinterpret_cast<SyncTask*>(w);
    if (!task) return 0;
    const auto busyCode = static_cast<LPARAM>(BusyCodeOfRun(static_cast<DWORD>(mode)));
    if (SendMessage(TaskListWindow(), WM_SYNC_TASK_BUSY, w, busyCode) == 0) return 0;
    task->startThread = GetSafeHwnd();
    if (runStarter_ && runStarter_(*task, mode)) return 1;
    // No thread: the task must not stay busy for good. The task list's end of the busy
    // state also tells the task window that the run is over.
    SendMessage(TaskListWindow(), WM_SYNC_TASK_DONE, w, busyCode);
    return 0;
}

LRESULT CMainFrame::OnTaskChanged(WPARAM w, LPARAM l) {
    if (const HWND list = TaskListWindow()) PostMessage(list, WM_SYNC_TASK_CHANGED, w, l);
    return 1;
}

LRESULT CMainFrame::OnHistoryChanged(WPARAM w, LPARAM l) {
    if (const HWND history = HistoryViewWindow()) SendMessage(history, WM_SYNC_HISTORY_CHANGED, w, l);
    // The view takes the path when it handles the message; what it left is freed here.
    TakeHistoryPathParam(w);
    return 1;
}

LRESULT CMainFrame::OnCopyData(WPARAM, LPARAM) {
    // A second start means the user wants this copy: a frame hidden to the tray or
    // minimised comes back, and comes to the front.
    if (closing_) return TRUE;
    if (!isVisible()) {
        ShowInTray(TRUE);
    } else if (isMinimized()) {
        minimisedToTray_ = false;
        setWindowState((windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
        shown_ = true;
    }
    BringWindowToTop();
    SetForegroundWindow();
    return TRUE;
}

void CMainFrame::OnSize(WPARAM type, LPARAM) {
    if (type != plat::SIZE_MINIMIZED || !HidesToTray()) return;
    minimisedToTray_ = true;
    // Hidden once the minimising is over: whoever minimised may show the window yet.
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (minimisedToTray_ && isMinimized()) ShowInTray(FALSE);
        },
        Qt::QueuedConnection);
}

void CMainFrame::OnTimer(WPARAM id, LPARAM) {
    if (id != kScriptTimer) return;
    KillTimer(GetSafeHwnd(), kScriptTimer);
    if (CheckAllScripts() != 0) SetTimer(GetSafeHwnd(), kScriptTimer, kTimerPeriodMs);
}

void CMainFrame::OnBusyState(WPARAM running, LPARAM) {
    if (ribbon_) ribbon_->OnBusyState(running);
}

void CMainFrame::OnCaptionMessage(WPARAM text, LPARAM colour) {
    if (captionBar_ && text)
        captionBar_->ShowMessage(reinterpret_cast<const char*>(text), static_cast<COLORREF>(colour));
}

void CMainFrame::OnTrayNotify(WPARAM id, LPARAM mouse) { tray_.OnTrayNotification(id, mouse); }

void CMainFrame::OnTabChanged(WPARAM page, LPARAM control) {
    if (control != IDC_NAVIGATION_TABS) return;
    activePage_ = static_cast<int>(page);
    FollowActivePage();
}

void CMainFrame::OnEndSession(WPARAM ending, LPARAM) {
    if (!ending) return;
    realExit_ = true;
    loggingOff_ = true;
    OnClose(0, 0);
}

// --- Operations -------------------------------------------------------------------------------

void CMainFrame::ArmTaskTimer() {
    OnFrameThread([](CMainFrame& frame) {
        if (const HWND list = frame.TaskListWindow()) SetTimer(list, kTaskListTimer, kTimerPeriodMs);
    });
}

void CMainFrame::ArmScriptTimer() {
    if (ScheduledScriptCount() <= 0) return;
    OnFrameThread([](CMainFrame& frame) { SetTimer(frame.GetSafeHwnd(), kScriptTimer, kTimerPeriodMs); });
}

void CMainFrame::KillScriptTimer() {
    if (ScheduledScriptCount() <= 0) return;
    OnFrameThread([](CMainFrame& frame) { KillTimer(frame.GetSafeHwnd(), kScriptTimer); });
}

void CMainFrame::SetStatusText(int pane, std::string_view text) {
    if (plat::StatusBar* bar = GetStatusBar()) {
        bar->SetPaneText(pane == 0 ? IDC_STATUS_PANE_MAIN : IDC_STATUS_PANE_EXTENDED, text);
    }
}

bool CMainFrame::HidesToTray() const { return trayOption_ && tray_.IsShown(); }

void CMainFrame::ShowInTray(BOOL show) {
    if (!show) {
        ShowWindow(plat::SW_HIDE);
    } else if (!minimisedToTray_) {
        ShowWindow(plat::SW_SHOW);
        SetForegroundWindow();
        BringWindowToTop();
    } else {
        minimisedToTray_ = false;
        plat::WINDOWPLACEMENT placement;
        GetWindowPlacement(&placement);
        placement.flags = 0;
        placement.showCmd = plat::SW_SHOWNORMAL;
        SetWindowPlacement(placement);
    }
    shown_ = show != FALSE;
}

void CMainFrame::CompareFiles(const std::wstring& left, const std::wstring& right) {
    CompareTwoFiles(left, right, this);
}

std::string CMainFrame::GetSchedulerPath() { return ProgramState().programFolder + "brelvane"; }

bool CMainFrame::SetRunAtLogon() {
    const std::string scheduler = GetSchedulerPath();
    // No scheduler ships with the program yet: an entry would start nothing.
    if (GetPathKind(scheduler) != kPathFile) return false;
    return RegWriteStringValue(plat::RegRoot::CurrentUser, kRunKey, "QBSync",
                               plat::Format("\"%s\" -s", scheduler.c_str()));
}

// --- Closing ----------------------------------------------------------------------------------

void CMainFrame::OnClose(WPARAM, LPARAM) {
    if (closing_) return;
    if (HidesToTray() && !realExit_) {
        ShowInTray(FALSE);
        return;
    }
    closing_ = true;
    KillScriptTimer();
    if (!loggingOff_) {
        const int running = RunningTaskCount().load();
        if (running > 0) {
            const std::string question = running == 1 ? LoadResString(IDS_ONE_TASK_ACTIVE)
                                                      : plat::Format(LoadResString(IDS_TASKS_ACTIVE).c_str(),
                                                                     static_cast<unsigned long>(running));
            if (MessageBox(GetSafeHwnd(), question, LoadResString(IDS_APP_TITLE), MB_YESNO | MB_ICONQUESTION) !=
                IDYES) {
                closing_ = false;
                realExit_ = false;
                ArmScriptTimer();
                return;
            }
            DispatchCommand(ID_STOP_ALL);
            CSnagWait wait(LoadResString(IDS_PLEASE_WAIT), LoadResString(IDS_APP_TITLE), this);
            pleaseWait_ = &wait;
            wait.ShowNow();
            WaitForTasks();
            pleaseWait_ = nullptr;
        }
    }
    if (SyncApp* app = SyncApp::Current()) app->CloseInstanceEvent();
    SavePlacement();
    // While every task window is still there: the task list takes them with it.
    if (const HWND pane = TaskWindowPane()) SendMessage(pane, WM_SYNC_SAVE_COLUMNS, 0, 0);
    if (ribbon_) {
        plat::IniFile settings(ProgramState().settingsFile);
        ribbon_->SaveState(settings);
    }
    if (loggingOff_) {
        // Nothing ends this process for the session: it ends its own loop.
        PostQuitMessage(0);
        return;
    }
    WriteProfileInt(settings::kTrayIcon.section, settings::kTrayIcon.key, trayOption_ ? 1 : 0);
    if (const HWND list = TaskListWindow()) DestroyWindow(list);
    DestroyFrame();
    PostQuitMessage(0);
}

bool CMainFrame::WaitForTasks() {
    if (RunningTaskCount().load() <= 0) return true;
    QEventLoop loop;
    QTimer poll;
    poll.setInterval(static_cast<int>(kWaitPollMs));
    QObject::connect(&poll, &QTimer::timeout, &loop, [&loop] {
        if (RunningTaskCount().load() <= 0) loop.exit(0);
    });
    poll.start();
    // The program's quit ends every loop of this thread, this one with it.
    const int code = loop.exec();
    return code == 0 && RunningTaskCount().load() <= 0;
}
