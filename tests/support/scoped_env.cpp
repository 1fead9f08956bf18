#include "support/scoped_env.h"

#include <cstdlib>
#include <utility>

namespace qbtest {

namespace {

void SetOrClear(const std::string& name, const std::optional<std::string>& value) {
    if (value) {
        ::setenv(name.c_str(), value->c_str(), 1);
    } else {
        ::unsetenv(name.c_str());
    }
}

}  // namespace

ScopedEnv::ScopedEnv(std::string name, const std::optional<std::string>& value) : name_(std::move(name)) {
    if (const char* old = std::getenv(name_.c_str())) old_ = old;
    SetOrClear(name_, value);
}

ScopedEnv::~ScopedEnv() { SetOrClear(name_, old_); }

}  // namespace qbtest
