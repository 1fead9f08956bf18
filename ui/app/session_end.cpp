#include "ui/app/session_end.h"

#include <fcntl.h>
#include <unistd.h>

#include <QGuiApplication>
#include <QSocketNotifier>
#include <atomic>

#include "platform/core/window.h"

namespace {

// The write end of the watcher's pipe; the signal handler may only write to it.
std::atomic<int> g_signalPipe{-1};

void OnSignal(int) {
    const int fd = g_signalPipe.load();
    if (fd < 0) return;
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(fd, &byte, 1);
}

}  // namespace

SessionEndWatcher::SessionEndWatcher(HWND frame) : frame_(frame) {
    int fds[2] = {-1, -1};
    if (::pipe2(fds, O_CLOEXEC | O_NONBLOCK) == 0) {
        wakeRead_.Reset(fds[0]);
        g_signalPipe.store(fds[1]);
        notifier_ = std::make_unique<QSocketNotifier>(fds[0], QSocketNotifier::Read);
        connect(notifier_.get(), &QSocketNotifier::activated, this, [this] {
            char bytes[16];
            while (::read(wakeRead_.Get(), bytes, sizeof bytes) > 0) {
            }
            EndSession();
        });
        struct sigaction action {};
        action.sa_handler = OnSignal;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESTART;
        ::sigaction(SIGTERM, &action, &oldTerm_);
        ::sigaction(SIGHUP, &action, &oldHup_);
    }
    if (auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        connect(
            app, &QGuiApplication::commitDataRequest, this, [this] { EndSession(); }, Qt::DirectConnection);
    }
}

SessionEndWatcher::~SessionEndWatcher() {
    if (!notifier_) return;
    ::sigaction(SIGTERM, &oldTerm_, nullptr);
    ::sigaction(SIGHUP, &oldHup_, nullptr);
    const int fd = g_signalPipe.exchange(-1);
    if (fd >= 0) ::close(fd);
}

void SessionEndWatcher::EndSession() {
    if (ended_) return;
    ended_ = true;
    SendMessage(frame_, WM_ENDSESSION, TRUE, 0);
}
