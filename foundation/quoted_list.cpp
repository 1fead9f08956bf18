#include "foundation/quoted_list.h"

#include <algorithm>
#include <cstring>

#include "platform/core/text.h"

namespace {

struct Entry {
    std::wstring_view text;
    bool quoted;
};

bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n'; }
bool IsSeparator(wchar_t c) { return IsBlank(c) || c == L';'; }

std::wstring_view Trim(std::wstring_view text) {
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    return text;
}

bool IsAllBlank(std::wstring_view text) { return Trim(text).empty(); }

void AddBareEntries(std::wstring_view text, std::vector<Entry>& out) {
    std::size_t pos = 0;
    while (pos < text.size()) {
        while (pos < text.size() && IsSeparator(text[pos])) ++pos;
        const std::size_t start = pos;
        while (pos < text.size() && !IsSeparator(text[pos])) ++pos;
        if (pos > start) out.push_back({text.substr(start, pos - start), false});
    }
}

void AddQuotedEntry(std::wstring_view text, std::vector<Entry>& out) {
    if (!IsAllBlank(text)) out.push_back({text, true});
}

// The entries of a list in the order written; views into `text`.
std::vector<Entry> SplitEntries(std::wstring_view text) {
    std::vector<Entry> entries;
    text = Trim(text);
    bool inQuotes = false;
    std::size_t pos = 0;
    for (std::size_t quote = text.find(L'"'); quote != std::wstring_view::npos; quote = text.find(L'"', pos)) {
        const std::wstring_view chunk = text.substr(pos, quote - pos);
        if (inQuotes) {
            AddQuotedEntry(chunk, entries);
        } else {
            AddBareEntries(chunk, entries);
        }
        inQuotes = !inQuotes;
        pos = quote + 1;
    }
    const std::wstring_view rest = text.substr(pos);
    if (inQuotes) {
        AddQuotedEntry(rest, entries);
    } else {
        AddBareEntries(rest, entries);
    }
    return entries;
}

}  // namespace

void ParseQuotedList(std::wstring_view text, std::vector<std::wstring>& patterns, std::vector<std::wstring>* folders) {
    patterns.clear();
    if (folders) folders->clear();
    for (const Entry& entry : SplitEntries(text)) {
        std::wstring lower = plat::ToLowerWide(entry.text);
        if (folders && lower != L"*.*") {
            const auto allFiles = lower.find(L"*.*");
            // A folder cut down to nothing would match every folder; keep it a pattern.
            if (allFiles != std::wstring::npos && allFiles > 0) {
                lower.resize(allFiles);
                folders->push_back(std::move(lower));
                continue;
            }
        }
        patterns.push_back(std::move(lower));
    }
}

void ParseFilterPatterns(FilterPatterns& filter, std::wstring_view includeText, std::wstring_view excludeText) {
    filter = FilterPatterns();
    if (!includeText.empty()) ParseQuotedList(includeText, filter.includePatterns, &filter.includeFolders);
    if (!excludeText.empty()) ParseQuotedList(excludeText, filter.excludePatterns, &filter.excludeFolders);
}

int SplitQuotedList(std::wstring_view text, std::vector<std::wstring>& entries) {
    int added = 0;
    for (const Entry& entry : SplitEntries(text)) {
        if (entry.quoted) {
            std::wstring quoted;
            quoted.reserve(entry.text.size() + 2);
            quoted += L'"';
            quoted += entry.text;
            quoted += L'"';
            entries.push_back(std::move(quoted));
        } else {
            entries.emplace_back(entry.text);
        }
        ++added;
    }
    return added;
}

std::vector<std::wstring> SplitSemicolonList(std::wstring_view text) {
    std::vector<std::wstring> entries;
    const auto addBare = [&entries](std::wstring_view chunk) {
        while (!chunk.empty()) {
            const std::size_t end = std::min(chunk.find(L';'), chunk.size());
            const std::wstring_view part = Trim(chunk.substr(0, end));
            if (!part.empty()) entries.emplace_back(part);
            chunk.remove_prefix(std::min(end + 1, chunk.size()));
        }
    };
    bool inQuotes = false;
    std::size_t pos = 0;
    for (std::size_t quote = text.find(L'"'); quote != std::wstring_view::npos; quote = text.find(L'"', pos)) {
        const std::wstring_view chunk = text.substr(pos, quote - pos);
        if (!inQuotes) {
            addBare(chunk);
        } else if (!IsAllBlank(chunk)) {
            entries.push_back(L'"' + std::wstring(chunk) + L'"');
        }
        inQuotes = !inQuotes;
        pos = quote + 1;
    }
    const std::wstring_view rest = text.substr(pos);
    if (!inQuotes) {
        addBare(rest);
    } else if (!IsAllBlank(rest)) {
        entries.push_back(L'"' + std::wstring(rest) + L'"');
    }
    return entries;
}

bool HasBareSemicolon(std::wstring_view text) {
    bool inQuotes = false;
    for (const wchar_t c : text) {
        if (c == L'"') inQuotes = !inQuotes;
        if (c == L';' && !inQuotes) return true;
    }
    return false;
}

char* WideToCodePage(char* buffer, const wchar_t* text, std::size_t size, UINT /*codePage*/) {
    if (!buffer || !text) return nullptr;
    const std::string bytes = plat::WideToUtf8(text);
    if (bytes.size() >= size) {
        if (size > 0) buffer[0] = '\0';
        return nullptr;
    }
    std::memcpy(buffer, bytes.data(), bytes.size());
    buffer[bytes.size()] = '\0';
    return buffer;
}
