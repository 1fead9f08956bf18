#include "foundation/folder_tokens.h"

#include <algorithm>
#include <climits>

#include "foundation/app_folders.h"
#include "foundation/path_utils.h"
#include "foundation/program_state.h"
#include "platform/core/special_folders.h"
#include "platform/core/text.h"

namespace {

// The first special folder of the list that this system has, or "".
std::string FirstSpecialFolder(std::initializer_list<int> ids) {
    for (int id : ids) {
        std::string folder = plat::SpecialFolderPath(id);
        if (!folder.empty()) return folder;
    }
    return {};
}

std::string TempFolderWithoutSeparator() { return RemoveBackslashA(ProgramState().tempFolder); }

// The folder a token stands for; "" for a token this system has no folder for.
// `known` tells whether the text is a token at all.
std::string TokenFolder(const std::string& token, bool& known) {
    known = true;
    const std::string t = plat::ToLowerAscii(token);
    if (t == "<win>" || t == "<sys>" || t == "<sys32>" || t == "<autosys>")
        return {};  // system folders with no counterpart here
    if (t == "<appdata>") return FirstSpecialFolder({CSIDL_APPDATA, CSIDL_PERSONAL});
    if (t == "<commonappdata>") return FirstSpecialFolder({CSIDL_COMMON_APPDATA, CSIDL_APPDATA, CSIDL_PERSONAL});
    if (t == "<localappdata>") return FirstSpecialFolder({CSIDL_LOCAL_APPDATA, CSIDL_APPDATA, CSIDL_PERSONAL});
    if (t == "<mydocuments>") return FirstSpecialFolder({CSIDL_PERSONAL});
    if (t == "<commondocuments>") return FirstSpecialFolder({CSIDL_COMMON_DOCUMENTS, CSIDL_PERSONAL});
    if (t == "<desktop>") return FirstSpecialFolder({CSIDL_DESKTOPDIRECTORY});
    if (t == "<commondesktop>") return FirstSpecialFolder({CSIDL_COMMON_DESKTOPDIRECTORY, CSIDL_DESKTOPDIRECTORY});
    if (t == "<programfiles>") return GetProgramFilesDir();
    if (t == "<commonfiles>") return GetCommonFilesDir();
    if (t == "<wintemp>" || t == "<temp>") return TempFolderWithoutSeparator();
    if (t == "<recycle bin>") return GetRecycleBinPath();
    if (t == "<internet cache>") return FirstSpecialFolder({CSIDL_INTERNET_CACHE});
    known = false;
    return {};
}

constexpr size_t kLongestPath = PATH_MAX - 1;

}  // namespace

std::string ExpandFolderTokens(const std::string& path) {
    if (path.empty()) return {};
    // Template files were written with '\' separators; the token ends at either kind.
    const size_t end = path.find_first_of("\\/");
    const std::string first = path.substr(0, end);
    bool known = false;
    const std::string folder = TokenFolder(first, known);
    if (!known || folder.empty()) return path;
    std::string rest = end == std::string::npos ? std::string() : path.substr(end + 1);
    std::replace(rest.begin(), rest.end(), '\\', '/');
    std::string result = rest.empty() ? folder : AppendPathPart(folder, rest);
    if (result.size() > kLongestPath) return path;
    return result;
}
