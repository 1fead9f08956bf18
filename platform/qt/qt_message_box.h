#pragma once
// Shows a message box request as a QMessageBox on the GUI thread (the presenter that
// QtMessagePump installs). Returns the ID* of the button chosen.

#include "platform/core/message_box.h"

namespace plat {

int ShowQtMessageBox(const MessageBoxRequest& request);

}  // namespace plat
