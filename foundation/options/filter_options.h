#pragma once
// A task's filters: the record the scan applies, and the state behind the "Filters" page
// that edits it. The page widget binds its controls to FilterPageControls and shows the
// refusal text that ApplyOk returns; everything the page decides lives here.

#include <optional>
#include <string>
#include <vector>

#include "platform/core/win_types.h"

// The attribute exclusions as the scan tests them.
inline constexpr DWORD kExcludeReadonlyBit = 1;
inline constexpr DWORD kExcludeHiddenBit = 2;
inline constexpr DWORD kExcludeSystemBit = 4;

// Which pattern lists are in use.
inline constexpr DWORD kFilterModeExclusion = 1;
inline constexpr DWORD kFilterModeInclusion = 2;

inline constexpr const char* kNoExclusionFiltersText =
    "You selected 'Use exclusion filter'; however, you have not entered any filters";
inline constexpr const char* kNoInclusionFiltersText =
    "You selected 'Use inclusion filter'; however, you have not entered any filters";
inline constexpr const char* kNothingSelectedToRemoveText = "There are no items selected to remove";

// The stored values; also what the page compares to tell whether anything changed.
struct FilterOptionValues {
    DWORD filterMode = 0;      // 0 none, 1 exclusion list, 2 inclusion list, 3 both
    std::wstring excludeText;  // patterns, each followed by a blank; quoted when holding blanks
    std::wstring includeText;
    bool system = true;     // "Exclude System files and folders"
    bool readonly = false;  // "Exclude Read Only files"
    bool hidden = true;     // "Exclude Hidden files and folders"
    bool empty = false;     // "Exclude empty folders"

    bool operator==(const FilterOptionValues&) const = default;
};

// What the page's controls hold: one list item per pattern entry.
struct FilterPageControls {
    bool useExclusion = false;
    bool useInclusion = false;
    std::vector<std::wstring> exclusionItems;
    std::vector<std::wstring> inclusionItems;
    bool system = false;
    bool readonly = false;
    bool hidden = false;
    bool empty = false;
};

// The outcome of OK: either the page may close, or it stays open showing `refusal`.
struct FilterOkResult {
    bool accepted = true;
    std::string refusal;
    bool settingsWritten = true;  // false when the settings could not be written
};

class CConfigCompressFilterPage : public FilterOptionValues {
public:
    // Reads the values from the settings store. With `saveToSettings` ("Default Options")
    // OK writes them back. `startFolder` is where the page's browse dialogs start.
    CConfigCompressFilterPage(bool saveToSettings, std::wstring startFolder);

    // The attribute exclusions as one mask, always in step with the three flags;
    // setting it sets the flags.
    DWORD AttributeMask() const;
    void SetAttributeMask(DWORD mask);

    // The page opens: returns what the controls show and keeps a copy for Cancel.
    FilterPageControls OnOpen();
    // OK with what the controls hold. A refusal changes nothing.
    FilterOkResult ApplyOk(const FilterPageControls& controls);
    // Cancel: the values as the page found them (unchanged when it never opened).
    void OnCancel();

    static bool MarksModified(int controlId);
    // The string id of a control's pop-up help, 0 for a control without help.
    static UINT HelpTextId(int controlId);

    // One text from the list items: each trimmed of blanks and followed by one blank,
    // the whole without trailing blanks. An item with ';' between entries is stored as
    // its entries, each that holds blanks in double quotes.
    static std::wstring BuildFilterText(const std::vector<std::wstring>& items);

    bool useExclusion = false;  // check box "&Exclusion filter"
    bool useInclusion = false;  // check box "&Inclusion filter"
    bool changed = false;       // set by OK when a value differs from the opening one
    std::wstring startFolder;

private:
    void SwitchesFromFilterMode();
    bool WriteSettings() const;

    bool saveToSettings_;
    std::optional<FilterOptionValues> opened_;
};
