#include "support/scoped_time_zone.h"

#include <ctime>

namespace qbtest {

ScopedTimeZone::ScopedTimeZone(const std::string& zone) {
    zone_.emplace("TZ", zone);
    ::tzset();
}

ScopedTimeZone::~ScopedTimeZone() {
    zone_.reset();
    ::tzset();
}

}  // namespace qbtest
