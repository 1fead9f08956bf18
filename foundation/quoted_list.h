#pragma once
// Lists of patterns and folders kept as one text. Entries are separated by blanks or
// ';'; an entry that holds blanks is written in double quotes, which run to the next
// quote (no nesting, no escape). A quote left open takes the rest of the text.
// Empty and all-blank entries are dropped.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "platform/core/win_types.h"

// Splits `text`, folds every entry to lower case and stores the entries in `patterns`
// (replacing what it held). When `folders` is given, an entry that holds "*.*" and is
// more than "*.*" goes there instead, cut before its "*.*": "/home/me/tmp/*.*" gives the
// folder "/home/me/tmp/". An entry that would leave an empty folder stays a pattern.
void ParseQuotedList(std::wstring_view text, std::vector<std::wstring>& patterns,
                     std::vector<std::wstring>* folders = nullptr);

// The four pattern lists of a run's filter, all lower case. An empty list means the
// list is missing (it never holds zero entries and still counts).
struct FilterPatterns {
    std::vector<std::wstring> includePatterns;
    std::vector<std::wstring> excludePatterns;
    std::vector<std::wstring> includeFolders;
    std::vector<std::wstring> excludeFolders;
};

// Empties the four lists, then fills the include lists from `includeText` and the
// exclude lists from `excludeText`.
void ParseFilterPatterns(FilterPatterns& filter, std::wstring_view includeText, std::wstring_view excludeText);

// Appends every entry of `text` to `entries` as it was written: a quoted entry keeps its
// quotes (one left open gets its closing quote), a bare word stays bare. Returns the
// number of entries added.
int SplitQuotedList(std::wstring_view text, std::vector<std::wstring>& entries);

// The entries of a list written with ';' between its entries, as another platform's
// programs write them ("/home/me/My Docs/*.*;*.tmp"): a quoted entry comes back as written,
// with its quotes; bare text is split at ';' only, each part trimmed of blanks, so blanks
// inside a part belong to its name. Empty parts are dropped.
std::vector<std::wstring> SplitSemicolonList(std::wstring_view text);

// True when `text` holds a ';' outside double quotes.
bool HasBareSemicolon(std::wstring_view text);

// Converts `text` into the 8-bit buffer of `size` bytes. The program's 8-bit text is
// UTF-8 whatever the code page asked for. Returns `buffer`, or null when a pointer is
// null or the text does not fit (the buffer then holds an empty string).
char* WideToCodePage(char* buffer, const wchar_t* text, std::size_t size, UINT codePage);
