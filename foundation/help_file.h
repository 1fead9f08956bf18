#pragma once
// The program's help file, "qbsync.chm" in the program's folder. The desktop opens it with
// the application it associates with the file; no viewer here is told a topic, so every
// topic opens the file at its start.

#include <string>

#include "platform/core/win_types.h"

inline constexpr const char* kHelpFileName = "qbsync.chm";

// The help file's full path.
std::string HelpFilePath();

// Opens the help file for `topic`. When the file is not installed, or the desktop cannot
// open it, the user is told so in a message box owned by `owner`, and the answer is false.
bool OpenHelpTopic(HWND owner, UINT topic);
