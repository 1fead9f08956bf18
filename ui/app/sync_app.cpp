#include "ui/app/sync_app.h"

#include <QLocale>
#include <clocale>
#include <ctime>

#include "controls/desktop_link.h"
#include "foundation/app_folders.h"
#include "foundation/program_state.h"
#include "foundation/resource_strings.h"
#include "platform/core/message_box.h"
#include "platform/core/window.h"
#include "platform/qt/frame_window.h"
#include "resources/command_ids.h"
#include "resources/menu_ids.h"
#include "resources/sync_messages.h"
#include "ui/app/global_state.h"
#include "ui/app/session_end.h"
#include "ui/app/single_instance.h"
#include "ui/app/web_pages.h"
#include "ui/dialogs/about_dlg.h"
#include "ui/frame/main_frame.h"

namespace {

SyncApp* g_app = nullptr;

// The document template the frame would be made from. The frame is made directly, so the
// document and view classes it names are never created.
struct DocumentTemplate {
    UINT resourceId;
    const char* document;
    const char* frame;
    const char* view;
};
[[maybe_unused]] constexpr DocumentTemplate kDocumentTemplate{IDR_MAIN_FRAME, "CSyncDoc", "CMainFrame", "CSyncView"};

// 1 while daylight-saving time is in force, 0 while standard time is, -1 when unknown.
int DaylightSavingNow() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    if (!::localtime_r(&now, &local)) return -1;
    return local.tm_isdst > 0 ? 1 : (local.tm_isdst == 0 ? 0 : -1);
}

void OpenPage(const std::string& url) {
    if (!OpenLinkWithDesktop(url)) {
        const HWND main = MainFrame() ? MainFrame()->GetSafeHwnd() : nullptr;
        MessageBox(main, "The web page " + url + " could not be opened: the desktop has no browser for it.",
                   LoadResString(IDS_APP_TITLE), MB_OK | MB_ICONINFORMATION);
    }
}

}  // namespace

SyncApp::SyncApp() {
    g_app = this;
    MapCommand(ID_APP_ABOUT, &SyncApp::OnAppAbout);
    MapCommand(ID_CHECK_UPDATE, &SyncApp::OnCheckUpdate);
    MapCommand(ID_SUPPORT_PAGE, &SyncApp::OnSupportPage);
    MapCommand(ID_HOME_PAGE, &SyncApp::OnHomePage);
}

SyncApp::~SyncApp() {
    // Later starts are no longer served before the frame they were sent to goes.
    listener_.reset();
    sessionEnd_.reset();
    if (plat::FrameWindow::ApplicationTarget() == this) plat::FrameWindow::SetApplicationTarget(nullptr);
    frame_.reset();
    g_app = nullptr;
}

SyncApp* SyncApp::Current() { return g_app; }

bool SyncApp::InitInstance(int showCommand) {
    // No argument changes what the program does; the autostart entry's "/load" included.
    ProgramStateData& state = ProgramState();
    state.useIniFile = true;

    auto event = ClaimSingleInstance(LoadResString(IDS_APP_TITLE));
    if (!event) return false;
    instanceEvent_ = std::move(*event);

    std::setlocale(LC_ALL, "");
    if (!InitProgramState()) {
        MessageBox(
            nullptr,
            "The program cannot keep its settings and tasks: the folder " + state.dataFolder + " could not be created.",
            LoadResString(IDS_APP_TITLE), MB_OK | MB_ICONERROR);
        return false;
    }
    if (const int dst = DaylightSavingNow(); dst >= 0) state.daylightSaving = dst == 1;
    if (!InitGlobalState()) return false;

    plat::FrameWindow::SetApplicationTarget(this);
    frame_ = std::make_unique<CMainFrame>();
    if (!frame_->Create()) {
        frame_.reset();
        return false;
    }
    listener_ = ListenForLaterStarts(frame_->GetSafeHwnd());
    sessionEnd_ = std::make_unique<SessionEndWatcher>(frame_->GetSafeHwnd());
    PostMessage(frame_->GetSafeHwnd(), WM_SYNC_FIRST_SHOW, static_cast<WPARAM>(showCommand), 0);
    return true;
}

int SyncApp::ExitInstance(int loopCode) {
    listener_.reset();
    sessionEnd_.reset();
    return loopCode;
}

void SyncApp::CloseInstanceEvent() {
    listener_.reset();
    instanceEvent_.Close();
}

void SyncApp::OnAppAbout() {
    CAboutDlg about(frame_.get());
    about.DoModal();
}

void SyncApp::OnCheckUpdate() { OpenPage(UpdatePageUrl(QLocale::system().name().toStdString())); }

void SyncApp::OnSupportPage() { OpenPage(kSupportPageUrl); }

void SyncApp::OnHomePage() { OpenPage(kHomePageUrl); }
