#include "foundation/app_folders.h"

#include <langinfo.h>
#include <unistd.h>

#include <cstdlib>

#include "foundation/path_utils.h"
#include "foundation/program_state.h"
#include "platform/core/file_system.h"
#include "platform/core/special_folders.h"
#include "platform/core/text.h"
#include "platform/core/trash.h"
#include "platform/core/user_account.h"
#include "platform/core/xdg_base_dirs.h"

namespace {

bool IsWritableFolder(const std::string& folder) {
    return plat::CreateFolderWithParents(folder) && ::access(folder.c_str(), W_OK | X_OK) == 0;
}

std::string EnvOr(const char* name, const std::string& fallback) {
    const char* value = std::getenv(name);
    return value && *value ? std::string(value) : fallback;
}

}  // namespace

std::string GetAppDataFolder() {
    const std::string beside = PathJoin(GetProgramFolder(), "Data");
    if (IsWritableFolder(beside)) return beside;
    return PathJoin(PathJoin(plat::UserDataFolder(), "quarrybend-sync"), "Data");
}

bool InitProgramState() {
    ProgramStateData& state = ProgramState();
    state.programFolder = GetProgramFolder();
    state.dataFolder = GetAppDataFolder();
    const bool haveData = plat::CreateFolderWithParents(state.dataFolder);
    state.settingsFile = PathJoin(state.dataFolder, "qboptions.ini");
    const std::string profileFolder = PathJoin(plat::UserConfigFolder(), "quarrybend-sync");
    plat::CreateFolderWithParents(profileFolder);
    state.profileFile = PathJoin(profileFolder, "profile.ini");
    state.tempFolder = AddBackslash(EnvOr("TMPDIR", "/tmp"));

    char host[256] = {};
    if (::gethostname(host, sizeof host - 1) == 0) state.computerName = host;
    state.userName = plat::LogonUserName();
    state.isAdmin = IsUserAdmin();
    state.windowsVersionClass = 7;
    state.useIniFile = true;

    const char* radix = ::nl_langinfo(RADIXCHAR);
    if (radix && radix[0] && !radix[1]) state.decimalSeparator = radix[0];
    const char* thousands = ::nl_langinfo(THOUSEP);
    if (thousands && thousands[0] && !thousands[1]) state.thousandSeparator = thousands[0];
    return haveData;
}

std::string GetSpecialFolderPath(int csidl) {
    if (csidl == CSIDL_BITBUCKET) return GetRecycleBinPath();
    return plat::SpecialFolderPath(csidl);
}

std::wstring GetSpecialFolderPathW(int csidl) { return plat::Utf8ToWide(GetSpecialFolderPath(csidl)); }

std::string GetProgramFilesDir() { return {}; }
std::string GetCommonFilesDir() { return {}; }

std::string GetRecycleBinPath() {
    const std::string trash = plat::HomeTrashFolder();
    return trash.empty() ? std::string() : PathJoin(trash, "files");
}

bool IsUserAdmin() { return ::geteuid() == 0; }
