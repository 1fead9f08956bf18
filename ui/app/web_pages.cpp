#include "ui/app/web_pages.h"

#include "foundation/resource_strings.h"

namespace {

// Keeps letters, digits and the few marks a locale name uses; anything else is dropped,
// so a strange locale setting cannot change the query.
std::string QueryValue(const std::string& text) {
    std::string out;
    for (const char c : text) {
        if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' || c == '-' ||
            c == '.') {
            out += c;
        }
    }
    return out;
}

}  // namespace

std::string UpdatePageUrl(const std::string& language) {
    return std::string(kUpdatePageUrl) + "?app=qbsync&type=linux&ver=" + LoadResString(IDS_VERSION_TEXT) +
           "&build=" + LoadResString(IDS_BUILD_TEXT) + "&lang=" + QueryValue(language) + "&iid=";
}
