#pragma once
// The program's main window. It holds the chrome (status bar, and the ribbon, navigation
// bar, caption bar, log pane and tray icon), turns every ribbon, menu and key command into
// a message to the task list, which hands most of them to the selected task's window,
// starts run threads, and closes the program in order: it waits for running tasks behind
// the please-wait window and saves its placement.
//
// The task list, the history view and the task-window pane are views of their own; each
// hands itself to the frame when it is made (SetTaskListView, SetHistoryView,
// SetTaskWindowPane). Until then the frame's commands that need them are disabled.

#include <QPointer>
#include <functional>
#include <string>
#include <string_view>

#include "platform/core/win_types.h"
#include "platform/qt/frame_window.h"
#include "ui/frame/tray_icon.h"

class CBarraOutLook;
class CCustRibbon;
class CLogBar;
class COutlookBar;
class CSnagWait;
class TaskListLink;
struct SyncTask;

namespace plat {
class View;
}

// Timer ids.
inline constexpr UINT_PTR kTaskListTimer = 150;  // the task list's automatic starts
inline constexpr UINT_PTR kScriptTimer = 7024;   // scheduled scripts
inline constexpr UINT kTimerPeriodMs = 5000;

// Status-bar elements.

class CMainFrame : public plat::FrameWindow {
public:
    // Starts the run threads of `task` (posting them the start); false when no thread
    // could be made.
    using RunStarter = std::function<bool(SyncTask& task, LPARAM mode)>;

    CMainFrame();
    ~CMainFrame() override;

    // --- The views that hand themselves over -------------------------------------------
    void SetTaskListView(plat::View* view, TaskListLink* list);
    void SetHistoryView(plat::View* view);
    // The lower pane of task windows; it fills the client area.
    void SetTaskWindowPane(plat::View* pane);
    HWND TaskListWindow() const;
    HWND HistoryViewWindow() const;
    HWND TaskWindowPane() const;
    TaskListLink* TaskList() const;

    // The chrome, made when the frame is created.
    CCustRibbon* Ribbon() const { return ribbon_; }
    COutlookBar* NavigationBar() const { return navigationBar_; }
    CBarraOutLook* CaptionBar() const { return captionBar_; }
    CLogBar* LogPane() const { return logPane_; }
    // The navigation bar's page shown (0 Tasks, 1 History).
    int ActivePage() const { return activePage_; }

    // --- Operations other windows call ----------------------------------------------------
    // Arms the task list's automatic-start timer (150, 5000 ms). Any thread.
    static void ArmTaskTimer();
    // Arms or kills the scheduled-script timer (7024) while scheduled scripts exist. Any thread.
    static void ArmScriptTimer();
    static void KillScriptTimer();
    // Pane 0 is the main status element, any other the extended one.
    void SetStatusText(int pane, std::string_view text);
    // Hides the frame to the tray (false) or shows it again (true).
    void ShowInTray(BOOL show);
    // The show command of the first showing; a minimise becomes a hide when the frame
    // hides to the tray.
    void ActivateFrame(int showCommand);
    // The scheduler that runs scheduled tasks while the program is closed, beside the program.
    static std::string GetSchedulerPath();
    // Registers the scheduler to start at logon; false when it is not installed or the
    // entry could not be written.
    static bool SetRunAtLogon();

    // Compares the left and the right copy of a file in the compare window.
    void CompareFiles(const std::wstring& left, const std::wstring& right);

    void SetRunStarter(RunStarter starter) { runStarter_ = std::move(starter); }

    // Closing waits behind the please-wait window until no run is left, dispatching
    // messages meanwhile; false when the program's quit ended the wait first.
    static bool WaitForTasks();

    // --- State ------------------------------------------------------------------------------
    bool IsShown() const { return shown_; }
    bool IsClosing() const { return closing_; }
    // The please-wait window while closing waits, else null.
    CSnagWait* PleaseWaitWindow() const { return pleaseWait_; }
    // True when close and minimise hide the frame: the tray option is on and a tray exists.
    bool HidesToTray() const;

    bool OnCmdMsg(UINT id, Call call, plat::CmdUI* ui) override;

private:
    LRESULT OnCreate(WPARAM, LPARAM);
    void OnFirstShow(WPARAM showCommand, LPARAM);
    LRESULT OnRunTask(WPARAM task, LPARAM mode);
    LRESULT OnTaskChanged(WPARAM w, LPARAM l);
    LRESULT OnHistoryChanged(WPARAM w, LPARAM l);
    LRESULT OnCopyData(WPARAM, LPARAM);
    void OnSize(WPARAM type, LPARAM);
    void OnTimer(WPARAM id, LPARAM);
    void OnClose(WPARAM, LPARAM);
    void OnEndSession(WPARAM ending, LPARAM);
    void OnBusyState(WPARAM running, LPARAM);
    void OnCaptionMessage(WPARAM text, LPARAM colour);
    void OnTrayNotify(WPARAM id, LPARAM mouse);
    void OnTabChanged(WPARAM page, LPARAM control);
    // Makes the view of the page shown the first on the command route.
    void FollowActivePage();
    void ApplyVisualStyle(UINT id);

    void CreateStatusBar();
    void PlaceAtFirstStart();
    void RestorePlacement(int showCommand);
    void SavePlacement() const;

    // Commands (main_frame_commands.cpp).
    void MapCommands();
    void OnTaskListMessageCommand(UINT id);
    void OnNewTask();
    void OnRenameTask();
    void OnCopyTask();
    void OnSyncContainer();
    void OnDefaultOptions();
    void OnDeleteHistory();
    void OnImportTaskList();
    void OnExportTaskList();
    void OnTemplate(UINT id);
    void OnImportTemplate();
    void OnShowHide();
    void OnToggleTrayOption();
    void OnExit();
    void OnCloseCommand();
    void OnHelpContents();
    void OnReadmeHelp(UINT id);
    void OnMenuParent();
    void OnCaptionBar();
    void OnVisualStyle(UINT id);

    // Update rules.
    void OnUpdateFromTaskList(plat::CmdUI& ui);
    void OnUpdateAlways(plat::CmdUI& ui);
    void OnUpdateExport(plat::CmdUI& ui);
    void OnUpdateTemplate(plat::CmdUI& ui);
    void OnUpdateShowHide(plat::CmdUI& ui);
    void OnUpdateTrayOption(plat::CmdUI& ui);
    void OnUpdateNeedsTaskList(plat::CmdUI& ui);
    void OnUpdateCaptionBar(plat::CmdUI& ui);
    void OnUpdateVisualStyle(plat::CmdUI& ui);

    static plat::View* ViewOf(HWND window);

    HWND taskWindowPane_ = nullptr;
    HWND taskListWindow_ = nullptr;
    TaskListLink* taskList_ = nullptr;  // the task list's view while its window lives
    HWND historyWindow_ = nullptr;
    int activePage_ = 0;

    CCustRibbon* ribbon_ = nullptr;
    COutlookBar* navigationBar_ = nullptr;
    CBarraOutLook* captionBar_ = nullptr;
    CLogBar* logPane_ = nullptr;
    CTrayIcon tray_;

    bool trayOption_ = false;
    bool shown_ = true;
    bool realExit_ = false;
    bool minimisedToTray_ = false;
    bool loggingOff_ = false;
    // Set from the moment the close steps begin, so a second Close while the please-wait
    // window stands is ignored.
    bool closing_ = false;
    CSnagWait* pleaseWait_ = nullptr;

    RunStarter runStarter_;
};

// The frame when it lives and the caller is on its thread, else null.
CMainFrame* MainFrame();
