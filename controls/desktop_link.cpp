#include "controls/desktop_link.h"

#include <cctype>

#include "platform/core/process.h"
#include "platform/core/shell_open.h"

namespace {

// "https://...", "mailto:..." and the like: a scheme of letters, digits, '+', '-' or '.'
// after a letter, then ':'.
bool HasUrlScheme(const std::string& text) {
    const std::size_t colon = text.find(':');
    if (colon == std::string::npos || colon < 2) return false;  // "C:" is no scheme
    if (!std::isalpha(static_cast<unsigned char>(text[0]))) return false;
    for (std::size_t i = 1; i < colon; ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (!std::isalnum(c) && c != '+' && c != '-' && c != '.') return false;
    }
    return true;
}

}  // namespace

bool OpenLinkWithDesktop(const std::string& url) {
    if (url.empty()) return false;
    if (!HasUrlScheme(url)) return plat::OpenWithDefaultHandler(url);  // a file or folder
    if (plat::FindProgram("xdg-open").empty()) return false;
    return plat::StartDetached("xdg-open", {url});
}
