#pragma once

#include "resources/command_ids.h"
// Every setting of the program, by section, key and default. Code that reads or
// writes a setting names it here, so the file's layout is in one place.

#include <string>
#include <string_view>

struct IntSetting {
    const char* section;
    const char* key;
    int defaultValue;
};

struct StringSetting {
    const char* section;
    const char* key;
    const char* defaultValue;
};

namespace settings {

inline constexpr IntSetting kApplicationLook{"Program", "ApplicationLook", ID_STYLE_BLACK};
// Lives in the per-user profile, not in the settings file.
inline constexpr IntSetting kNoPrompt{"Program", "no prompt", 0};
inline constexpr IntSetting kShowStartPage{"Configuration", "Show Start Page", 1};

inline constexpr IntSetting kTextLabelToolbar{"Program Options", "Text Label Toolbar", 1};
inline constexpr IntSetting kStatus{"Program Options", "Status", 0};
inline constexpr IntSetting kPreviewStatus{"Program Options", "Preview Status", 0};
inline constexpr IntSetting kTrayIcon{"Program Options", "Tray Icon", 0};
inline constexpr StringSetting kFolders{"Program Options", "Folders", "<Documents> <Pictures> <Music> <Video>"};

inline constexpr StringSetting kAutoScanDefaultFolder{"Configuration - AutoScan", "Default Folder", ""};
inline constexpr StringSetting kAutoScanDefaultType{"Configuration - AutoScan", "Default Type", "*.zip"};
inline constexpr IntSetting kAutoScanIncludeSubfolder{"Configuration - AutoScan", "Include Subfolder", 1};

inline constexpr const char* kFiltersSection = "Configuration - Filters";
inline constexpr IntSetting kFilterMode{kFiltersSection, "Filter Mode", 0};
inline constexpr StringSetting kFilterExclude{kFiltersSection, "Exclude", ""};
inline constexpr StringSetting kFilterInclude{kFiltersSection, "Include", ""};
inline constexpr IntSetting kFilterReadonly{kFiltersSection, "Readonly", 0};
inline constexpr IntSetting kFilterHidden{kFiltersSection, "Hidden", 1};
inline constexpr IntSetting kFilterSystem{kFiltersSection, "System", 1};
inline constexpr IntSetting kFilterEmpty{kFiltersSection, "Empty", 0};

inline constexpr const char* kLogSection = "Configuration - Compress Advanced";
inline constexpr IntSetting kLog{kLogSection, "Log", 1};
inline constexpr IntSetting kLogLevel{kLogSection, "Log Level", 1};
inline constexpr IntSetting kClearLog{kLogSection, "Clear Log", 0};

inline constexpr const char* kSyncSection = "Sync";
inline constexpr IntSetting kSyncType{kSyncSection, "Type", 1};
inline constexpr IntSetting kSyncDelete{kSyncSection, "Delete", 0};
inline constexpr IntSetting kSyncSaveDelete{kSyncSection, "Save Delete", 1};
inline constexpr IntSetting kSyncLock{kSyncSection, "Lock", 0};
inline constexpr IntSetting kSyncReadOnly{kSyncSection, "Read Only", 1};
inline constexpr IntSetting kSyncReadOnlyTarget{kSyncSection, "Read Only Target", 1};
inline constexpr IntSetting kSyncCaseSensitive{kSyncSection, "Case Sensitive", 1};
inline constexpr IntSetting kSyncSpeed{kSyncSection, "Speed", 0};
// "qtab %u" for columns 0 to 6 of a task window's item list.
inline constexpr const char* kTaskColumnKeyFormat = "qtab %u";
inline constexpr int kTaskColumnDefaultWidths[7] = {200, 100, 100, 100, 100, 100, 200};

inline constexpr IntSetting kSchedulePercent{"Schedule", "Percent", 10};
inline constexpr IntSetting kBatchType{"Batch", "Type", 0};
inline constexpr StringSetting kActiveTask{"Task", "Active", ""};
// "%u,%u,%d,%d,%d,%d,%d,%d,%d,%d"
inline constexpr StringSetting kFramePlacement{"Frame", "WP", ""};

// List controls keep "sort", "array %u" and "tab %u" (columns 0 to 6) in their section.
inline constexpr const char* kHistorySection = "history";
inline constexpr int kHistoryColumnDefaultWidths[7] = {100, 100, 100, 100, 100, 100, 800};
inline constexpr const char* kTaskListSection = "synclist";
inline constexpr int kTaskListColumnDefaultWidths[7] = {100, 25, 100, 100, 100, 100, 100};

inline constexpr const char* kRibbonSection = "MFCRibbons";
// A resizable dialog keeps "%d,%d,%d,%d,%d,%d" under this key in its own section.
inline constexpr const char* kWindowPlacementKey = "WindowPlacement";

}  // namespace settings

int ReadSetting(const IntSetting& setting);
bool WriteSetting(const IntSetting& setting, int value);
std::string ReadSetting(const StringSetting& setting);
std::wstring ReadSettingW(const StringSetting& setting);
bool WriteSetting(const StringSetting& setting, std::string_view value);
bool WriteSettingW(const StringSetting& setting, std::wstring_view value);
