#include "engine/scan/wildcard_filter.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>

#include "platform/core/text.h"

namespace {

constexpr wchar_t kSeparator = L'/';
constexpr std::size_t kNone = std::wstring_view::npos;

// One stretch of text against one stretch of pattern, with no separator rules.
//
// A run of wildcards that starts with '*' is one free '*' plus one fixed character
// for every wildcard after it. The walk keeps a single way back, to the last free '*',
// which then takes one more character: an earlier '*' taking more could only push the
// later parts further right, where the last one already tries them. So the work is at
// most the product of the two lengths, whatever the pattern.
bool MatchStretch(std::wstring_view pattern, std::wstring_view text) {
    std::size_t p = 0;
    std::size_t t = 0;
    std::size_t starPattern = kNone;  // pattern position after the last run of wildcards
    std::size_t starText = 0;         // where the text after that '*' begins now
    for (;;) {
        if (p < pattern.size()) {
            const wchar_t c = pattern[p];
            if (c == L'*') {
                std::size_t after = p + 1;
                while (after < pattern.size() && (pattern[after] == L'*' || pattern[after] == L'?')) ++after;
                const std::size_t fixed = after - p - 1;
                // Any other way through reaches this point further on, with fewer left.
                if (text.size() - t < fixed) return false;
                t += fixed;
                p = after;
                if (p == pattern.size()) return true;
                starPattern = p;
                starText = t;
                continue;
            }
            if (t < text.size() && (c == L'?' || c == text[t])) {
                ++p;
                ++t;
                continue;
            }
        } else if (t == text.size()) {
            return true;
        }
        if (starPattern == kNone || starText == text.size()) return false;
        p = starPattern;
        t = ++starText;
    }
}

// Under the leading-dot rule neither '?' nor '*' may take a dot that begins the text.
bool MatchWithLeadingDot(std::wstring_view pattern, std::wstring_view text, bool leadingDot) {
    if (leadingDot && !text.empty() && text.front() == L'.' && (pattern.empty() || pattern.front() != L'.'))
        return false;
    return MatchStretch(pattern, text);
}

// Under the path-name rule nothing but a '/' matches a '/', so the two split into the
// same number of folder names and each pair is matched alone.
bool MatchByFolderNames(std::wstring_view pattern, std::wstring_view text, bool leadingDot) {
    for (;;) {
        const std::size_t patternEnd = pattern.find(kSeparator);
        const std::size_t textEnd = text.find(kSeparator);
        if (!MatchWithLeadingDot(pattern.substr(0, patternEnd), text.substr(0, textEnd), leadingDot)) return false;
        if (patternEnd == kNone || textEnd == kNone) return patternEnd == textEnd;
        pattern.remove_prefix(patternEnd + 1);
        text.remove_prefix(textEnd + 1);
    }
}

struct PathParts {
    std::wstring_view folder;  // with its trailing '/'; empty when there is none
    std::wstring_view name;
};

PathParts SplitAtLastSeparator(std::wstring_view path) {
    const std::size_t slash = path.rfind(kSeparator);
    if (slash == kNone) return {{}, path};
    return {path.substr(0, slash + 1), path.substr(slash + 1)};
}

bool IsAbsolutePattern(std::wstring_view pattern) { return !pattern.empty() && pattern.front() == kSeparator; }

bool StartsAtFolderName(std::wstring_view path, std::size_t pos) { return pos == 0 || path[pos - 1] == kSeparator; }

bool OccursAtFolderName(std::wstring_view path, std::wstring_view part) {
    for (std::size_t pos = path.find(part); pos != kNone; pos = path.find(part, pos + 1))
        if (StartsAtFolderName(path, pos)) return true;
    return false;
}

bool EndsAtFolderName(std::wstring_view path, std::wstring_view part) {
    return path.ends_with(part) && StartsAtFolderName(path, path.size() - part.size());
}

// `folder` ends with '/'. A relative pattern must start at a whole folder name, so that
// "temp/" never takes "mytemp/" with it.
bool FolderMatches(std::wstring_view pattern, std::wstring_view folder, bool absolute, bool substring) {
    if (absolute) return substring ? folder.starts_with(pattern) : folder == pattern;
    return substring ? OccursAtFolderName(folder, pattern) : EndsAtFolderName(folder, pattern);
}

// Case folding as the quoted-list reader folds patterns, with a shortcut for the
// common all-ASCII name.
std::wstring LowerCase(std::wstring_view text) {
    const auto isAscii = [](wchar_t c) { return static_cast<std::uint32_t>(c) < 0x80; };
    if (!std::all_of(text.begin(), text.end(), isAscii)) return plat::ToLowerWide(text);
    std::wstring lowered(text);
    for (wchar_t& c : lowered)
        if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c - L'A' + L'a');
    return lowered;
}

// The tested file, folded as far as the patterns need: most look at the name alone.
class FoldedFile {
public:
    explicit FoldedFile(std::wstring_view path) : parts_(SplitAtLastSeparator(path)), name_(LowerCase(parts_.name)) {}

    std::wstring_view Name() const { return name_; }
    std::wstring_view Folder() {
        if (!folderFolded_) {
            folder_ = LowerCase(parts_.folder);
            folderFolded_ = true;
        }
        return folder_;
    }

private:
    PathParts parts_;
    std::wstring name_;
    std::wstring folder_;
    bool folderFolded_ = false;
};

bool FilePatternMatches(std::wstring_view pattern, FoldedFile& file, bool substring) {
    const PathParts wanted = SplitAtLastSeparator(pattern);
    const bool sameName =
        HasWildcard(wanted.name) ? MatchStretch(wanted.name, file.Name()) : wanted.name == file.Name();
    if (!sameName) return false;
    if (wanted.folder.empty()) return true;
    return FolderMatches(wanted.folder, file.Folder(), IsAbsolutePattern(pattern), substring);
}

template <typename Matches>
int ExcludedByLists(std::span<const std::wstring> includeList, std::span<const std::wstring> excludeList,
                    const Matches& matches) {
    const auto anyMatch = [&](std::span<const std::wstring> list) {
        return std::any_of(list.begin(), list.end(), matches);
    };
    const bool included =
        (includeList.empty() || anyMatch(includeList)) && (excludeList.empty() || !anyMatch(excludeList));
    return included ? 0 : 1;
}

}  // namespace

int WildcardMatch(std::wstring_view pattern, std::wstring_view text, unsigned flags) {
    if (flags > (kWildcardPathName | kWildcardNoEscape | kWildcardLeadingDot)) {
        errno = EINVAL;
        return -1;
    }
    const bool leadingDot = (flags & kWildcardLeadingDot) != 0;
    const bool matched = (flags & kWildcardPathName) ? MatchByFolderNames(pattern, text, leadingDot)
                                                     : MatchWithLeadingDot(pattern, text, leadingDot);
    return matched ? 0 : 1;
}

bool HasWildcard(std::wstring_view text) { return text.find_first_of(L"*?") != kNone; }

int MatchFileFilter(std::wstring_view path, std::span<const std::wstring> includeList,
                    std::span<const std::wstring> excludeList, bool substring) {
    if (includeList.empty() && excludeList.empty()) return 0;
    FoldedFile file(path);
    return ExcludedByLists(includeList, excludeList,
                           [&](const std::wstring& pattern) { return FilePatternMatches(pattern, file, substring); });
}

int MatchFolderFilter(std::wstring_view path, std::span<const std::wstring> includeList,
                      std::span<const std::wstring> excludeList, bool substring) {
    if (includeList.empty() && excludeList.empty()) return 0;
    std::wstring folder = LowerCase(path);
    if (folder.empty() || folder.back() != kSeparator) folder += kSeparator;
    return ExcludedByLists(includeList, excludeList, [&](const std::wstring& pattern) {
        return FolderMatches(pattern, folder, IsAbsolutePattern(pattern), substring);
    });
}
