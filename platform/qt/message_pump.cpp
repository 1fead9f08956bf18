#include "platform/qt/message_pump.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QTimer>
#include <atomic>

#include "platform/core/message_box.h"
#include "platform/core/window.h"
#include "platform/qt/qt_message_box.h"

namespace plat {

namespace {

std::atomic<DWORD> g_guiThread{0};
constexpr auto kServeSentCallsFor = std::chrono::milliseconds(4);
// The live pump; read and written on the GUI thread only.
QtMessagePump* g_pump = nullptr;

}  // namespace

// Runs on whichever thread queued something: asks the GUI thread to drain its queue.
// The application object is the context, so the call is safe whatever becomes of the pump.
void QtMessagePump::Wake() {
    if (QCoreApplication* app = QCoreApplication::instance()) {
        QMetaObject::invokeMethod(
            app, [] { Drain(); }, Qt::QueuedConnection);
    }
}

QtMessagePump::QtMessagePump() : thread_(GetCurrentThreadId()), timer_(std::make_unique<QTimer>()) {
    EnsureMessageQueue();
    timer_->setSingleShot(true);
    timer_->setTimerType(Qt::PreciseTimer);
    QObject::connect(timer_.get(), &QTimer::timeout, [] { Drain(); });
    g_pump = this;
    g_guiThread = thread_;
    SetMessageBoxPresenter(thread_, &ShowQtMessageBox);
    SetQueueWakeHook(thread_, &Wake);
}

QtMessagePump::~QtMessagePump() {
    SetQueueWakeHook(thread_, {});
    SetMessageBoxPresenter(0, {});
    g_guiThread = 0;
    g_pump = nullptr;
}

void QtMessagePump::Drain() {
    if (!g_pump || GetCurrentThreadId() != g_pump->thread_) return;
    int quitCode = 0;
    if (!ProcessPendingMessages(&quitCode)) {
        QCoreApplication::exit(quitCode);
        return;
    }
    // A worker that has just been answered often sends again at once (a run reports file
    // after file): its next messages are answered here, without a pass through Qt's loop
    // for each, but only for a few milliseconds, so painting and input keep their turn.
    // Only when some thread sent since the last look: a drain for posts or timers alone
    // goes straight back.
    // (A handler may have ended the pump.)
    if (!g_pump) return;
    if (SentCallCount() != g_pump->sentSeen_) ServeSentCallsAsTheyCome(kServeSentCallsFor);
    if (!g_pump) return;
    g_pump->sentSeen_ = SentCallCount();
    g_pump->ArmTimer();
}

void QtMessagePump::ArmTimer() {
    const DWORD ms = TimeToNextTimer();
    if (ms == INFINITE) {
        timer_->stop();
    } else {
        timer_->start(static_cast<int>(ms));
    }
}

DWORD GuiThreadId() { return g_guiThread; }

}  // namespace plat
