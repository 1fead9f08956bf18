#pragma once
// The end of the user's session as the main frame hears it: the desktop's session manager
// asking the program to save (commitDataRequest), or SIGTERM or SIGHUP. Each is sent to
// the frame as WM_ENDSESSION (w TRUE), once; the frame saves what it keeps and ends the
// program's loop without asking anything.

#include <QObject>
#include <csignal>
#include <memory>

#include "platform/core/owned_fd.h"
#include "platform/core/win_types.h"

class QSocketNotifier;

class SessionEndWatcher : public QObject {
public:
    explicit SessionEndWatcher(HWND frame);
    ~SessionEndWatcher() override;
    SessionEndWatcher(const SessionEndWatcher&) = delete;
    SessionEndWatcher& operator=(const SessionEndWatcher&) = delete;

private:
    void EndSession();

    HWND frame_;
    bool ended_ = false;
    plat::OwnedFd wakeRead_;
    std::unique_ptr<QSocketNotifier> notifier_;
    struct sigaction oldTerm_ {};
    struct sigaction oldHup_ {};
};
