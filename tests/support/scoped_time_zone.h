#pragma once
// Sets TZ while it lives and makes the C library read it, then puts the old zone back.

#include <optional>
#include <string>

#include "support/scoped_env.h"

namespace qbtest {

class ScopedTimeZone {
public:
    explicit ScopedTimeZone(const std::string& zone);
    ~ScopedTimeZone();
    ScopedTimeZone(const ScopedTimeZone&) = delete;
    ScopedTimeZone& operator=(const ScopedTimeZone&) = delete;

private:
    // Optional so that the old value is back before tzset() reads it again.
    std::optional<ScopedEnv> zone_;
};

}  // namespace qbtest
