#include "controls/treelist/incremental_search.h"

#include <chrono>

IncrementalSearch& IncrementalSearch::Shared() {
    static IncrementalSearch search;
    return search;
}

std::uint64_t IncrementalSearch::NowMs() {
    using namespace std::chrono;
    return static_cast<std::uint64_t>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

wchar_t IncrementalSearch::Fold(wchar_t ch) {
    if ((ch >= L'a' && ch <= L'z') || (ch >= 0xE0 && ch <= 0xFE)) return static_cast<wchar_t>(ch - 0x20);
    return ch;
}

bool IncrementalSearch::MatchesPrefix(std::wstring_view text, std::wstring_view foldedPrefix) {
    if (text.size() < foldedPrefix.size()) return false;
    for (std::size_t i = 0; i < foldedPrefix.size(); ++i)
        if (Fold(text[i]) != foldedPrefix[i]) return false;
    return true;
}

bool IncrementalSearch::Type(wchar_t ch, std::uint64_t nowMs) {
    const wchar_t folded = Fold(ch);
    const std::uint64_t age = nowMs - lastMs_;
    const std::uint64_t timeout = text_.empty() ? 500 : text_.size() <= 2 ? 750 : 1000;
    lastMs_ = nowMs;
    const bool restart = age > timeout || text_.size() >= kMaxLength || (text_.size() == 1 && text_[0] == folded);
    if (restart) text_.clear();
    text_.push_back(folded);
    return text_.size() > 1;
}

void IncrementalSearch::KeepLastOnly() {
    if (text_.size() > 1) text_.erase(0, text_.size() - 1);
}

std::wstring IncrementalSearch::Current(std::uint64_t nowMs) const {
    return nowMs - lastMs_ < 750 ? text_ : std::wstring();
}
