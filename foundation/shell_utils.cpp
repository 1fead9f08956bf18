#include "foundation/shell_utils.h"

#include "foundation/path_utils.h"
#include "platform/core/errors.h"
#include "platform/core/keep_awake.h"
#include "platform/core/process.h"
#include "platform/core/shell_open.h"
#include "platform/core/sync.h"
#include "platform/core/text.h"
#include "platform/core/window.h"

void OpenFileShell(const std::wstring& path) {
    if (path.empty()) return;
    if (!plat::OpenWithDefaultHandler(plat::WideToUtf8(path))) OpenFileWith(path);
}

bool OpenFileWith(const std::wstring& path) {
    const std::wstring folder = GetParentFolder(path);
    if (folder.empty()) return false;
    return plat::OpenWithDefaultHandler(plat::WideToUtf8(folder));
}

DWORD RunProcessWait(const std::vector<std::string>& commandLine, const std::string& currentFolder, bool wait,
                     const plat::Event* stopEvent) {
    if (commandLine.empty()) return ERROR_INVALID_PARAMETER;
    const std::vector<std::string> arguments(commandLine.begin() + 1, commandLine.end());
    if (!wait && !stopEvent) {
        if (currentFolder.empty()) {
            return plat::StartDetached(commandLine.front(), arguments) ? ERROR_SUCCESS : GetLastError();
        }
        // A detached program starts in our folder: a shell changes folder first, with the
        // folder and the command passed as arguments, never as text to interpret.
        std::vector<std::string> shellArguments{"-c", "cd -- \"$0\" && exec \"$@\"", currentFolder};
        shellArguments.insert(shellArguments.end(), commandLine.begin(), commandLine.end());
        return plat::StartDetached("/bin/sh", shellArguments) ? ERROR_SUCCESS : GetLastError();
    }
    plat::ProcessCommand spec;
    spec.program = commandLine.front();
    spec.arguments = arguments;
    spec.workingFolder = currentFolder;
    spec.input = plat::StreamMode::Null;
    spec.output = plat::StreamMode::Null;
    spec.errors = plat::StreamMode::Null;

    plat::ChildProcess child;
    if (!child.Start(spec)) return GetLastError();
    for (;;) {
        if (child.WaitForExit(100)) break;
        if (!wait && WaitForSingleObject(*stopEvent, 0) == WAIT_OBJECT_0) {
            // Asked to stop: the program does not outlive the request.
            child.Stop(2000);
            break;
        }
    }
    return ERROR_SUCCESS;
}

void KeepSystemAwake(bool on) { plat::KeepThreadAwake(on); }
