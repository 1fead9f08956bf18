// Entry point of the GUI test programs: a QApplication on the offscreen platform, so the
// tests need no display, with the message pump that lets Qt's loop serve the GUI thread's
// message queue.
#include <QApplication>
#include <cstdlib>
#include <gtest/gtest.h>

#include "platform/qt/message_pump.h"

int main(int argc, char** argv) {
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    plat::QtMessagePump pump;
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
