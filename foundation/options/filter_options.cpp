#include "foundation/options/filter_options.h"

#include "foundation/quoted_list.h"
#include "foundation/settings_keys.h"
#include "foundation/settings_store.h"
#include "platform/core/text.h"
#include "resources/control_ids.h"
#include "resources/string_ids.h"

namespace {

bool ReadFlag(const IntSetting& setting) { return ReadSetting(setting) != 0; }

}  // namespace

CConfigCompressFilterPage::CConfigCompressFilterPage(bool saveToSettings, std::wstring folder)
    : startFolder(std::move(folder)), saveToSettings_(saveToSettings) {
    filterMode = static_cast<DWORD>(ReadSetting(settings::kFilterMode));
    excludeText = ReadSettingW(settings::kFilterExclude);
    includeText = ReadSettingW(settings::kFilterInclude);
    readonly = ReadFlag(settings::kFilterReadonly);
    hidden = ReadFlag(settings::kFilterHidden);
    system = ReadFlag(settings::kFilterSystem);
    empty = ReadFlag(settings::kFilterEmpty);
    SwitchesFromFilterMode();
}

DWORD CConfigCompressFilterPage::AttributeMask() const {
    return (readonly ? kExcludeReadonlyBit : 0) | (hidden ? kExcludeHiddenBit : 0) | (system ? kExcludeSystemBit : 0);
}

void CConfigCompressFilterPage::SetAttributeMask(DWORD mask) {
    readonly = (mask & kExcludeReadonlyBit) != 0;
    hidden = (mask & kExcludeHiddenBit) != 0;
    system = (mask & kExcludeSystemBit) != 0;
}

void CConfigCompressFilterPage::SwitchesFromFilterMode() {
    useExclusion = (filterMode & kFilterModeExclusion) != 0;
    useInclusion = (filterMode & kFilterModeInclusion) != 0;
}

FilterPageControls CConfigCompressFilterPage::OnOpen() {
    SwitchesFromFilterMode();
    opened_ = static_cast<const FilterOptionValues&>(*this);

    FilterPageControls controls;
    controls.useExclusion = useExclusion;
    controls.useInclusion = useInclusion;
    controls.system = system;
    controls.readonly = readonly;
    controls.hidden = hidden;
    controls.empty = empty;
    SplitQuotedList(excludeText, controls.exclusionItems);
    SplitQuotedList(includeText, controls.inclusionItems);
    return controls;
}

std::wstring CConfigCompressFilterPage::BuildFilterText(const std::vector<std::wstring>& items) {
    std::wstring text;
    for (const std::wstring& item : items) {
        const std::wstring trimmed = plat::TrimBlanksW(item);
        if (!HasBareSemicolon(trimmed)) {
            text += trimmed;
            text += L' ';
            continue;
        }
        // An item written with ';' between its entries ("/home/me/My Docs/*.*;*.tmp"):
        // its entries are stored apart, one with blanks in quotes, or the blank would
        // split it and the ';' would join it to the items around it.
        for (const std::wstring& entry : SplitSemicolonList(trimmed)) {
            const bool quote = entry.front() != L'"' && entry.find_first_of(L" \t") != std::wstring::npos;
            text += quote ? L'"' + entry + L'"' : entry;
            text += L' ';
        }
    }
    return plat::TrimBlanksW(text);
}

FilterOkResult CConfigCompressFilterPage::ApplyOk(const FilterPageControls& controls) {
    FilterOkResult result;
    if (controls.useExclusion && controls.exclusionItems.empty()) {
        result.accepted = false;
        result.refusal = kNoExclusionFiltersText;
        return result;
    }
    if (controls.useInclusion && controls.inclusionItems.empty()) {
        result.accepted = false;
        result.refusal = kNoInclusionFiltersText;
        return result;
    }

    useExclusion = controls.useExclusion;
    useInclusion = controls.useInclusion;
    filterMode = (useExclusion ? kFilterModeExclusion : 0) | (useInclusion ? kFilterModeInclusion : 0);
    excludeText = BuildFilterText(controls.exclusionItems);
    includeText = BuildFilterText(controls.inclusionItems);
    system = controls.system;
    readonly = controls.readonly;
    hidden = controls.hidden;
    empty = controls.empty;

    // The page may be closed without ever having opened (OK on an unvisited page).
    if (opened_ && *opened_ != static_cast<const FilterOptionValues&>(*this)) changed = true;
    if (saveToSettings_) result.settingsWritten = WriteSettings();
    return result;
}

void CConfigCompressFilterPage::OnCancel() {
    if (!opened_) return;
    static_cast<FilterOptionValues&>(*this) = *opened_;
    SwitchesFromFilterMode();
}

bool CConfigCompressFilterPage::WriteSettings() const {
    // An empty text removes its key, which reads back as the empty default.
    bool ok = WriteSetting(settings::kFilterMode, static_cast<int>(filterMode));
    ok &= WriteSetting(settings::kFilterReadonly, readonly ? 1 : 0);
    ok &= WriteSetting(settings::kFilterSystem, system ? 1 : 0);
    ok &= WriteSetting(settings::kFilterHidden, hidden ? 1 : 0);
    ok &= WriteSetting(settings::kFilterEmpty, empty ? 1 : 0);
    ok &= WriteSettingW(settings::kFilterExclude, excludeText);
    ok &= WriteSettingW(settings::kFilterInclude, includeText);
    return ok;
}

bool CConfigCompressFilterPage::MarksModified(int controlId) {
    // A list edit, a preset or a removal is a change as much as a ticked box.
    switch (controlId) {
    case IDC_USE_EXCLUSION:
    case IDC_USE_INCLUSION:
    case IDC_EXCLUSION_LIST:
    case IDC_INCLUSION_LIST:
    case IDC_EXCLUSION_PRESETS:
    case IDC_INCLUSION_PRESETS:
    case IDC_REMOVE_EXCLUSION:
    case IDC_REMOVE_INCLUSION:
    case IDC_EXCLUDE_READONLY:
    case IDC_EXCLUDE_SYSTEM:
    case IDC_EXCLUDE_HIDDEN:
    case IDC_EXCLUDE_EMPTY: return true;
    default: return false;
    }
}

UINT CConfigCompressFilterPage::HelpTextId(int controlId) {
    switch (controlId) {
    case IDC_USE_EXCLUSION: return IDS_USE_EXCLUSION_HELP;
    case IDC_USE_INCLUSION: return IDS_USE_INCLUSION_HELP;
    case IDC_EXCLUSION_LIST: return IDS_EXCLUSION_LIST_HELP;
    case IDC_INCLUSION_LIST: return IDS_INCLUSION_LIST_HELP;
    case IDC_EXCLUSION_PRESETS: return IDS_EXCLUSION_PRESETS_HELP;
    case IDC_INCLUSION_PRESETS: return IDS_INCLUSION_PRESETS_HELP;
    case IDC_REMOVE_EXCLUSION: return IDS_REMOVE_EXCLUSION_HELP;
    case IDC_REMOVE_INCLUSION: return IDS_REMOVE_INCLUSION_HELP;
    case IDC_EXCLUDE_READONLY: return IDS_EXCLUDE_READONLY_HELP;
    case IDC_EXCLUDE_SYSTEM: return IDS_EXCLUDE_SYSTEM_HELP;
    case IDC_EXCLUDE_HIDDEN: return IDS_EXCLUDE_HIDDEN_HELP;
    case IDC_EXCLUDE_EMPTY: return IDS_EXCLUDE_EMPTY_HELP;
    default: return 0;
    }
}
