#include "controls/tree_property_sheet/page_title_path.h"

namespace TreePropSheet {

namespace {

std::string Unescape(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 1 < text.size()) {
            if (text[i + 1] == '\\') {
                out += '\\';
                ++i;
                continue;
            }
            if (text.substr(i + 1, 2) == "::") {
                out += "::";
                i += 2;
                continue;
            }
        }
        out += text[i];
    }
    return out;
}

}  // namespace

PageTitleStep SplitPageTitle(std::string_view title) {
    PageTitleStep step;
    for (size_t at = title.find("::"); at != std::string_view::npos; at = title.find("::", at + 1)) {
        size_t backslashes = 0;
        while (backslashes < at && title[at - 1 - backslashes] == '\\') ++backslashes;
        if (backslashes % 2 == 0) {
            step.node = Unescape(title.substr(0, at));
            step.rest = title.substr(at + 2);
            step.hasRest = true;
            return step;
        }
    }
    step.node = Unescape(title);
    return step;
}

}  // namespace TreePropSheet
