#include "platform/core/user_account.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <vector>

namespace plat {

namespace {

std::string FromEnvironment(const char* name) {
    const char* value = std::getenv(name);
    return value && *value ? std::string(value) : std::string();
}

std::string FromPasswordDatabase() {
    const long size = sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(size > 0 ? static_cast<std::size_t>(size) : 16384);
    passwd entry{};
    passwd* found = nullptr;
    if (getpwuid_r(geteuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found && found->pw_name)
        return found->pw_name;
    return {};
}

}  // namespace

std::string LogonUserName() {
    std::string name = FromEnvironment("USER");
    if (name.empty()) name = FromEnvironment("LOGNAME");
    if (name.empty()) name = FromPasswordDatabase();
    return name;
}

}  // namespace plat
