#pragma once
// Opening files for the user, running programs, keeping the system awake.

#include <string>
#include <vector>

#include "platform/core/win_types.h"

namespace plat {
class Event;
}

// Opens the file with the program the desktop associates with it; when that fails,
// offers the choice of program (OpenFileWith). An empty path does nothing.
void OpenFileShell(const std::wstring& path);
// Lets the user choose the program: the desktop has no common "open with" dialog, so
// the file's folder is opened in the file manager, where the user picks one.
bool OpenFileWith(const std::wstring& path);

// Runs a program with its arguments in `currentFolder` (empty: ours). With `wait` it
// waits for the program to end; otherwise, given `stopEvent`, it waits until the
// program ends or the event is set. Returns 0 on success, else the error code.
DWORD RunProcessWait(const std::vector<std::string>& commandLine, const std::string& currentFolder, bool wait,
                     const plat::Event* stopEvent);

// While a run is active its thread keeps the system (and display) awake; `on` false
// gives that back. Runs overlap safely: the system may sleep only after the last one.
void KeepSystemAwake(bool on);
