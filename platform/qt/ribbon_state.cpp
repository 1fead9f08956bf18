// The ribbon's saved state: where the quick-access toolbar stands, what it shows, and
// whether the ribbon is minimised.
#include <algorithm>
#include <cctype>
#include <charconv>
#include <optional>

#include "platform/core/ini_file.h"
#include "platform/qt/ribbon_bar.h"

namespace plat {

namespace {

constexpr const char* kOnTop = "QuickAccessToolbarOnTop";
constexpr const char* kCount = "Number Commands";
constexpr const char* kMinimized = "IsMinimized";

std::string CommandKey(std::size_t index) { return "MFCRibbonBar-" + std::to_string(index); }

// A whole decimal number and nothing else (blanks around it aside).
std::optional<long long> WholeNumber(const std::optional<std::string>& value) {
    if (!value) return std::nullopt;
    std::string_view text = *value;
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front()))) text.remove_prefix(1);
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back()))) text.remove_suffix(1);
    long long number = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    if (error != std::errc() || end != text.data() + text.size() || text.empty()) return std::nullopt;
    return number;
}

std::optional<bool> Flag(const IniFile& settings, const std::string& section, const char* key) {
    const auto number = WholeNumber(settings.Read(section, key));
    if (number == 0) return false;
    if (number == 1) return true;
    return std::nullopt;
}

}  // namespace

bool RibbonBar::SaveState(IniFile& settings, const std::string& section) const {
    return settings.Update([&](IniDocument& document) {
        document.Set(section, kOnTop, quickOnTop_ ? "1" : "0");
        document.Set(section, kCount, std::to_string(shown_.size()));
        for (std::size_t i = 0; i < shown_.size(); ++i) document.Set(section, CommandKey(i), std::to_string(shown_[i]));
        // Places a longer list of an earlier run left behind.
        for (std::size_t i = shown_.size(); document.RemoveKey(section, CommandKey(i)); ++i) {
        }
        document.Set(section, kMinimized, minimized_ ? "1" : "0");
        return true;
    });
}

void RibbonBar::LoadState(const IniFile& settings, const std::string& section) {
    // The list is taken only when it is whole: a count within the offered commands, and
    // every place naming an offered command once. Anything else keeps the defaults.
    std::vector<UINT> shown = defaultShown_;
    if (const auto count = WholeNumber(settings.Read(section, kCount));
        count && *count >= 0 && *count <= static_cast<long long>(offered_.size())) {
        std::vector<UINT> read;
        for (long long i = 0; i < *count; ++i) {
            const auto id = WholeNumber(settings.Read(section, CommandKey(static_cast<std::size_t>(i))));
            const bool offered = id && std::any_of(offered_.begin(), offered_.end(),
                                                   [&](const QuickAccessCommand& c) { return c.id == *id; });
            if (!offered || std::find(read.begin(), read.end(), static_cast<UINT>(*id)) != read.end()) break;
            read.push_back(static_cast<UINT>(*id));
        }
        if (read.size() == static_cast<std::size_t>(*count)) shown = std::move(read);
    }
    shown_ = std::move(shown);
    RebuildQuickAccess();
    if (const auto onTop = Flag(settings, section, kOnTop)) SetQuickAccessOnTop(*onTop);
    if (const auto minimized = Flag(settings, section, kMinimized)) SetMinimized(*minimized);
}

}  // namespace plat
