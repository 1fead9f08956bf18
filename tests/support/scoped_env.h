#pragma once
// Sets or clears an environment variable while it lives, then puts back what was there.

#include <cstddef>
#include <optional>
#include <string>

namespace qbtest {

class ScopedEnv {
public:
    // No value clears the variable.
    ScopedEnv(std::string name, const std::optional<std::string>& value);
    // A null pointer would slip through the string conversion; say std::nullopt instead.
    ScopedEnv(std::string name, std::nullptr_t) = delete;
    ~ScopedEnv();
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    std::string name_;
    std::optional<std::string> old_;
};

}  // namespace qbtest
