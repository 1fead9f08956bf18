#pragma once
// The application object: allows one running copy, fills the program-wide start-up state,
// creates the main frame and asks it to show itself. It also answers the commands that
// belong to the program as a whole (the about box and the maker's web pages), last on
// every command route.
//
//   QApplication qt(argc, argv);
//   plat::QtMessagePump pump;
//   SyncApp app;
//   if (!app.InitInstance()) return 0;
//   return app.ExitInstance(qt.exec());

#include <memory>

#include "platform/core/instance_channel.h"
#include "platform/core/named_event.h"
#include "platform/qt/command_target.h"

class CMainFrame;
class SessionEndWatcher;

class SyncApp : public plat::CommandTarget {
public:
    SyncApp();
    ~SyncApp() override;

    // The one application object, or null.
    static SyncApp* Current();

    // False ends the program at once: another copy runs (it was woken), or start-up failed.
    bool InitInstance(int showCommand = 1);
    // The program's exit code, after the message loop has ended with `loopCode`.
    int ExitInstance(int loopCode);

    CMainFrame* MainFrame() const { return frame_.get(); }
    // Shutdown lets later starts find no running copy from here on.
    void CloseInstanceEvent();

private:
    void OnAppAbout();
    void OnCheckUpdate();
    void OnSupportPage();
    void OnHomePage();

    plat::NamedEvent instanceEvent_;
    std::unique_ptr<CMainFrame> frame_;
    std::unique_ptr<plat::InstanceListener> listener_;
    std::unique_ptr<SessionEndWatcher> sessionEnd_;
};
