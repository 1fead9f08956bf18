#pragma once
// A task's sync options: the record the engine reads during a run, and the state behind
// the "Sync Options" page that edits it. The page widget only binds its controls to
// SyncOptionValues; everything the page decides lives here, so it works without a display.

#include <optional>

#include "platform/core/win_types.h"

// The sync types, as the type list shows them (the stored `Type` value is the index).
enum SyncType : DWORD {
    kSyncMirror = 0,
    kSyncLeftToRight = 1,
    kSyncRightToLeft = 2,
    kBackupLeftToRight = 3,
    kBackupRightToLeft = 4,
};

inline constexpr const char* kSyncTypeTexts[] = {
    "Mirror",
    "Sync from Left to Right",
    "Sync from Right to Left",
    "Backup from Left to Right",
    "Backup from Right to Left",
};

inline constexpr const char* kCopySpeedTexts[] = {
    "No limit",
    "Medium speed and large buffer",
    "Medium speed and medium-sized buffer",
    "Low speed and small buffer",
};

// The eight option values; also what the page's controls hold.
struct SyncOptionValues {
    DWORD type = kSyncLeftToRight;
    DWORD speed = 0;           // index into kCopySpeedTexts
    DWORD allowDelete = 0;     // "Allow deletions"
    DWORD saveDelete = 1;      // "Save deleted or updated files" into "_backup"
    DWORD lock = 0;            // "Use Shadow Copy for locked files"
    DWORD caseSensitive = 1;   // names compared with case
    DWORD readOnly = 1;        // no program data in the source folder
    DWORD readOnlyTarget = 1;  // no program data in the target folder

    bool operator==(const SyncOptionValues&) const = default;
};

class CConfigSyncPage : public SyncOptionValues {
public:
    // Reads the values from the settings store (the "Default Options" values). With
    // `saveToSettings` OK writes them back; a task's own record never writes the settings.
    explicit CConfigSyncPage(bool saveToSettings);

    // The page opens: returns what the controls show and keeps a copy for Cancel.
    SyncOptionValues OnOpen();
    // OK with what the controls hold. Returns false when the settings could not be
    // written (the record keeps the new values all the same).
    bool ApplyOk(const SyncOptionValues& controls);
    // Cancel: the values as the page found them (unchanged when the page never opened);
    // returns them so the controls can show them again.
    const SyncOptionValues& OnCancel();

    // Whether a change of that control marks the page modified.
    static bool MarksModified(int controlId);
    // The string id of the pop-up help of a control, judged on what the controls hold now;
    // 0 for a control without help.
    static UINT HelpTextId(int controlId, const SyncOptionValues& controls);

private:
    bool WriteSettings() const;

    bool saveToSettings_;
    std::optional<SyncOptionValues> opened_;
};
