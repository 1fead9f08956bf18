// Quarrybend Sync: entry point.
#include <QApplication>

#include "platform/qt/message_pump.h"
#include "platform/qt/qt_gui_services.h"
#include "ui/app/sync_app.h"

int main(int argc, char** argv) {
    QApplication qt(argc, argv);
    // Hidden to the tray the program still runs; only its own shutdown ends the loop.
    QApplication::setQuitOnLastWindowClosed(false);
    plat::QtMessagePump pump;
    plat::QtGuiServices gui;
    SyncApp app;
    if (!app.InitInstance()) return 0;
    return app.ExitInstance(qt.exec());
}
