#pragma once
// The account the program runs as.

#include <string>

namespace plat {

// The user's logon name: $USER, else $LOGNAME, else the name the password database gives
// the effective user id (a program started by a service or cron has neither variable);
// "" when none of them knows it.
std::string LogonUserName();

}  // namespace plat
