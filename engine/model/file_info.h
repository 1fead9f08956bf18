#pragma once
// The engine's records of files and folders. Times are whole seconds since 1970, UTC.

#include <memory>
#include <string>
#include <string_view>

#include "engine/model/item_state.h"
#include "engine/model/side_root.h"
#include "platform/core/win_types.h"

namespace plat {
struct FileInfo;
}

// The row one side's catalog of the last run held for an item, as the Check found it.
// An item that does not end in step keeps it in that side's new catalog.
struct CatalogRowMemo {
    bool found = false;  // false: the catalog had no row of that path, or the side had none
    DWORD attributes = INVALID_FILE_ATTRIBUTES;
    ULONGLONG size = 0;
    LONGLONG time = 0;  // last write
};

// One file or folder of a scanned side, with a copy of its counterpart's values (the
// entry of the same relative path on the other side) and the item's state word. Relative
// paths are the file system's own bytes (UTF-8; any byte string round-trips). A record
// keeps its relative path and its side's root; a full path is made from them when a call
// needs one.
class CFileInfo {
public:
    CFileInfo();  // times default to now
    // Times default to `now`: a caller that makes many records reads the clock once.
    explicit CFileInfo(LONGLONG now);
    CFileInfo(const CFileInfo& other);
    CFileInfo& operator=(const CFileInfo& other);
    CFileInfo(CFileInfo&&) noexcept = default;
    CFileInfo& operator=(CFileInfo&&) noexcept = default;
    ~CFileInfo() = default;

    // From one directory entry below `root`.
    void SetFromFindData(const plat::FileInfo& entry, const SideRoot& root, std::string_view relPath, DWORD stateWord);
    // One time for the last write and the counterpart's; folder records are made this way
    // (state 0x80).
    void Set(const SideRoot& root, ULONGLONG fileSize, DWORD attrs, LONGLONG time, std::string_view relPath,
             DWORD stateWord);
    // The same with the entry's full path, which ends in `relPath` below its root (a
    // path that does not is kept whole).
    void SetFromFindData(const plat::FileInfo& entry, std::wstring_view fullPath, std::string_view relPath,
                         DWORD stateWord);
    void Set(std::wstring_view fullPath, ULONGLONG fileSize, DWORD attrs, LONGLONG time, std::string_view relPath,
             DWORD stateWord);
    // The same with the relative path as wide text (made into its bytes).
    void Set(std::wstring_view fullPath, ULONGLONG fileSize, DWORD attrs, LONGLONG time, std::wstring_view relPath,
             DWORD stateWord);
    // A time of 0 leaves the counterpart's last-write time as it was. `otherPath` ends in
    // `otherRelativePath` below the other side's root (or is kept whole).
    void SetCounterpart(std::wstring_view otherPath, std::string_view otherRelativePath, DWORD otherAttributes,
                        ULONGLONG otherSize, LONGLONG otherLastWrite);
    void SetCounterpart(std::wstring_view otherPath, std::wstring_view otherRelativePath, DWORD otherAttributes,
                        ULONGLONG otherSize, LONGLONG otherLastWrite);
    void SetCounterpart(const SideRoot& otherRoot, std::string_view otherRelativePath, DWORD otherAttributes,
                        ULONGLONG otherSize, LONGLONG otherLastWrite);
    // `other` as this record's counterpart: its root, relative path and values.
    void SetCounterpartRecord(const CFileInfo& other);
    // After an action: what the counterpart is now.
    void SetCounterpartState(ULONGLONG otherSize, DWORD otherAttributes, LONGLONG otherLastWrite);

    // The user's change of the action; the first change keeps the decided word so that
    // it can be restored.
    void ChangeActionByUser(DWORD action);

    // The name of `path` without its folder and extension, and the extension without its
    // dot. A leading dot belongs to the name (".profile" has no extension).
    std::wstring GetFileTitle() const;
    std::wstring GetFileExt() const;

    DWORD savedState = 0;  // the word before the user's first change; 0 = never changed
    ItemState state;
    int treeItem = -1;     // the item's row in the task window's tree; -1 = none
    int shadowIndex = -1;  // place in the run's list of files waiting for a shadow copy; -1 = not waiting
    // The full path on its own side; the counterpart's (empty while it has none). Wide,
    // as the calls that take a full path want it.
    std::wstring path() const;
    std::wstring counterpartPath() const;
    const SideRoot& Root() const { return root_; }

    std::string relativePath;  // relative to the side's root, UTF-8: the key of every lookup
    // The counterpart's relative path: the record's own, unless the other side spells it
    // in other case (matched without regard to case), which only then is kept apart.
    const std::string& counterpartRelativePath() const {
        return counterpartSpelling_ ? *counterpartSpelling_ : relativePath;
    }
    void SetCounterpartRelativePath(std::string_view otherRelativePath);
    DWORD attributes = INVALID_FILE_ATTRIBUTES;
    DWORD counterpartAttributes = INVALID_FILE_ATTRIBUTES;
    ULONGLONG size = 0;
    ULONGLONG counterpartSize = 0;
    LONGLONG lastWrite = 0;
    LONGLONG counterpartLastWrite = 0;

    // The rows each side's catalog held, stored by the decision, each side looked up by
    // that side's spelling of the path; they travel with the trees to a later Sync.
    CatalogRowMemo sourceCatalogRow() const;
    CatalogRowMemo targetCatalogRow() const;
    void SetSourceCatalogRow(const CatalogRowMemo& memo);
    void SetTargetCatalogRow(const CatalogRowMemo& memo);

    // Why the item's action failed (its error, backup error or the copy before it): the
    // error code the Sync met, 0 when none was kept.
    DWORD failure() const { return failure_; }
    void SetFailure(DWORD error) { failure_ = error; }

private:
    SideRoot root_;                                     // with wholePath_: the whole full path
    SideRoot counterpartRoot_;                          // with counterpartWhole_: the counterpart's whole path
    std::unique_ptr<std::string> counterpartSpelling_;  // null: the counterpart's relative path is the record's own
    // The two catalog rows, field by field so that they pack.
    LONGLONG sourceRowTime_ = 0;
    LONGLONG targetRowTime_ = 0;
    ULONGLONG sourceRowSize_ = 0;
    ULONGLONG targetRowSize_ = 0;
    DWORD sourceRowAttributes_ = INVALID_FILE_ATTRIBUTES;
    DWORD targetRowAttributes_ = INVALID_FILE_ATTRIBUTES;
    bool sourceRowFound_ = false;
    bool targetRowFound_ = false;
    bool wholePath_ = false;
    bool counterpartWhole_ = false;
    DWORD failure_ = 0;  // after the flags, where the record has room for it
};

// One catalog row in memory.
class CFileInfo2 {
public:
    // A time of 0 leaves `time` as it was.
    void Set(std::string_view rowName, ULONGLONG rowSize, DWORD attrs, LONGLONG rowTime, DWORD rowFlag);
    void Set(std::wstring_view rowName, ULONGLONG rowSize, DWORD attrs, LONGLONG rowTime, DWORD rowFlag);

    DWORD flag = 0;    // carried from the catalog builder
    std::string name;  // the row's relative path, UTF-8 as the records hold it
    DWORD attributes = INVALID_FILE_ATTRIBUTES;
    ULONGLONG size = 0;
    LONGLONG time = 0;  // last write
};
