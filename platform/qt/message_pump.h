#pragma once
// Lets Qt's event loop drain the GUI thread's message queue. While a QtMessagePump lives,
// everything queued for the GUI thread (sent calls from other threads, posts, timers) is
// handled from Qt's loop, nested loops included (QDialog::exec, QMessageBox::exec), and a
// WM_QUIT taken there ends Qt's loop with its code. It also shows the message boxes that
// any thread asks for (MessageBox, platform/core/message_box.h) on the GUI thread.
//
// Make exactly one, on the GUI thread, after the QApplication:
//     QApplication app(argc, argv);
//     plat::QtMessagePump pump;
//     return app.exec();

#include <cstdint>
#include <memory>

#include "platform/core/win_types.h"

class QTimer;

namespace plat {

class QtMessagePump {
public:
    QtMessagePump();
    ~QtMessagePump();
    QtMessagePump(const QtMessagePump&) = delete;
    QtMessagePump& operator=(const QtMessagePump&) = delete;

private:
    static void Wake();
    static void Drain();
    void ArmTimer();

    const DWORD thread_;
    // Wakes Qt's loop when the next message timer of the GUI thread is due.
    std::unique_ptr<QTimer> timer_;
    // The calls sent to the GUI thread as last seen by a drain.
    std::uint64_t sentSeen_ = 0;
};

// The thread the pump was made on, or 0 when there is no pump.
DWORD GuiThreadId();

}  // namespace plat
