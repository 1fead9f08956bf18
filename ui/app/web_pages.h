#pragma once
// The maker's web pages that the Help tab's commands and the about box open. The
// addresses are placeholders of this program's own (see the README) until it has a site.

#include <string>

inline constexpr const char* kHomePageUrl = "https://quarrybend-sync.example/";
inline constexpr const char* kSupportPageUrl = "https://quarrybend-sync.example/support";
inline constexpr const char* kUpdatePageUrl = "https://quarrybend-sync.example/update";
inline constexpr const char* kSupportMailUrl = "mailto:support@quarrybend-sync.example";

// The update page's address for this copy: app, type, ver, build, lang (the user's
// locale, as "en_GB") and iid (no installation id is kept: empty).
std::string UpdatePageUrl(const std::string& language);
