#pragma once
// The typed prefix of the TreeList's incremental search. There is one for the whole
// process: typing in any tree list continues or restarts it, by time.

#include <cstdint>
#include <string>

class IncrementalSearch {
public:
    static constexpr std::size_t kMaxLength = 16;

    // The search shared by every tree list of the process (GUI thread only).
    static IncrementalSearch& Shared();
    // Milliseconds of a clock that never goes back.
    static std::uint64_t NowMs();

    // Adds a typed character at `nowMs`. Returns true when it extends the previous prefix
    // (the search then starts at the caret row itself), false when the buffer restarted.
    bool Type(wchar_t ch, std::uint64_t nowMs);
    // Starts again with only the last character typed.
    void KeepLastOnly();

    const std::wstring& Text() const { return text_; }
    // The text while it is younger than 750 ms, else empty.
    std::wstring Current(std::uint64_t nowMs) const;

    // Capitals: a-z and U+00E0..U+00FE lose 0x20.
    static wchar_t Fold(wchar_t ch);
    // Whether the folded `text` starts with the (folded) prefix.
    static bool MatchesPrefix(std::wstring_view text, std::wstring_view foldedPrefix);

private:
    std::wstring text_;
    std::uint64_t lastMs_ = 0;
};
