#pragma once
// Page titles of a tree sheet name the page's place in the tree: "Options::Filters" puts
// the page "Filters" under a node "Options". A "::" right after an odd number of
// backslashes is escaped and belongs to the text.

#include <string>
#include <string_view>

namespace TreePropSheet {

struct PageTitleStep {
    std::string node;       // the first part, unescaped: "\::" is "::", "\\" is "\"
    std::string_view rest;  // the text after the first unescaped "::", still escaped
    bool hasRest = false;
};

PageTitleStep SplitPageTitle(std::string_view title);

}  // namespace TreePropSheet
