#include "foundation/help_file.h"

#include "foundation/file_utils.h"
#include "foundation/path_utils.h"
#include "foundation/program_state.h"
#include "foundation/resource_strings.h"
#include "platform/core/message_box.h"
#include "platform/core/shell_open.h"

std::string HelpFilePath() {
    const std::string& folder = ProgramState().programFolder;
    return PathJoin(folder.empty() ? GetProgramFolder() : folder, kHelpFileName);
}

bool OpenHelpTopic(HWND owner, UINT) {
    const std::string path = HelpFilePath();
    std::string problem;
    if (GetPathKind(path) != kPathFile) {
        problem = "No help file is installed: \"" + path + "\" does not exist.";
    } else if (!plat::OpenWithDefaultHandler(path)) {
        problem = "The help file \"" + path + "\" could not be opened: the desktop has no program for it.";
    }
    if (problem.empty()) return true;
    MessageBox(owner, problem, LoadResString(IDS_APP_TITLE), MB_OK | MB_ICONINFORMATION);
    return false;
}
