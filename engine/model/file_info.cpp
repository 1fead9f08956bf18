#include "engine/model/file_info.h"

#include "platform/core/clock.h"
#include "platform/core/file_info.h"
#include "platform/core/file_time.h"

namespace {

// The name part of a path: what follows its last '/'.
std::wstring_view NameOf(std::wstring_view path) {
    const auto slash = path.find_last_of(L'/');
    return slash == std::wstring_view::npos ? path : path.substr(slash + 1);
}

// Where the extension's dot is in `name`, or npos. A dot that starts the name is not one.
std::size_t ExtensionDot(std::wstring_view name) {
    const auto dot = name.find_last_of(L'.');
    return (dot == std::wstring_view::npos || dot == 0) ? std::wstring_view::npos : dot;
}

}  // namespace

CFileInfo::CFileInfo() {
    const LONGLONG now = plat::NowUnixSeconds();
    created = lastAccess = lastWrite = counterpartLastWrite = now;
}

void CFileInfo::SetFromFindData(const plat::FileInfo& entry, std::wstring_view fullPath,
                                std::wstring_view relPath, DWORD stateWord) {
    attributes = entry.attributes;
    size = entry.size;
    created = plat::FileTimeToUnixSeconds(entry.creationTime);
    lastAccess = plat::FileTimeToUnixSeconds(entry.lastAccessTime);
    lastWrite = plat::FileTimeToUnixSeconds(entry.lastWriteTime);
    path = fullPath;
    relativePath = relPath;
    state = ItemState(stateWord);
}

void CFileInfo::Set(std::wstring_view fullPath, ULONGLONG fileSize, DWORD attrs, LONGLONG time,
                    std::wstring_view relPath, DWORD stateWord) {
    path = fullPath;
    size = fileSize;
    attributes = attrs;
    created = lastAccess = lastWrite = time;
    // A folder record carries no time, and so none for its counterpart either: a time of
    // 0 given to SetCounterpart keeps this one, where the record's making time would
    // otherwise end in the other side's catalog and change it on every run.
    counterpartLastWrite = time;
    relativePath = relPath;
    state = ItemState(stateWord);
}

void CFileInfo::SetCounterpart(std::wstring_view otherPath, std::wstring_view otherRelativePath,
                               DWORD otherAttributes, ULONGLONG otherSize, LONGLONG otherLastWrite) {
    counterpartPath = otherPath;
    counterpartRelativePath = otherRelativePath;
    counterpartAttributes = otherAttributes;
    counterpartSize = otherSize;
    if (otherLastWrite != 0) counterpartLastWrite = otherLastWrite;
}

void CFileInfo::SetCounterpartState(ULONGLONG otherSize, DWORD otherAttributes, LONGLONG otherLastWrite) {
    counterpartSize = otherSize;
    counterpartAttributes = otherAttributes;
    if (otherLastWrite != 0) counterpartLastWrite = otherLastWrite;
}

void CFileInfo::ChangeActionByUser(DWORD action) {
    if (savedState == 0) savedState = state.Word();
    state.SetAction(action);
    state.Set(ItemState::kUserChange);
}

std::wstring CFileInfo::GetFileTitle() const {
    const std::wstring_view name = NameOf(path);
    const auto dot = ExtensionDot(name);
    return std::wstring(dot == std::wstring_view::npos ? name : name.substr(0, dot));
}

std::wstring CFileInfo::GetFileExt() const {
    const std::wstring_view name = NameOf(path);
    const auto dot = ExtensionDot(name);
    return dot == std::wstring_view::npos ? std::wstring() : std::wstring(name.substr(dot + 1));
}

void CFileInfo2::Set(std::wstring_view rowName, ULONGLONG rowSize, DWORD attrs, LONGLONG rowTime, DWORD rowFlag) {
    name = rowName;
    size = rowSize;
    attributes = attrs;
    if (rowTime != 0) time = rowTime;
    flag = rowFlag;
}
