#include "engine/model/file_info.h"

#include <initializer_list>

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

// `fullPath` as a root and `relPath`: the root is one of `known` when it is the same text,
// so the records of a side share one. A path that does not end in `relPath` below a
// folder is kept whole.
SideRoot RootOf(std::wstring_view fullPath, std::wstring_view relPath, bool& whole,
                std::initializer_list<const SideRoot*> known) {
    const std::size_t rootLength = fullPath.size() - relPath.size();
    whole = relPath.empty() || fullPath.size() <= relPath.size() || fullPath[rootLength - 1] != L'/' ||
            fullPath.substr(rootLength) != relPath;
    const std::wstring_view root = whole ? fullPath : fullPath.substr(0, rootLength);
    for (const SideRoot* candidate : known) {
        if (*candidate && **candidate == root) return *candidate;
    }
    return std::make_shared<const std::wstring>(root);
}

std::wstring Joined(const SideRoot& root, bool whole, std::wstring_view relPath) {
    if (!root) return {};
    if (whole) return *root;
    std::wstring path;
    path.reserve(root->size() + relPath.size());
    path += *root;
    path += relPath;
    return path;
}

}  // namespace

SideRoot MakeSideRoot(std::wstring_view folder) {
    std::wstring root(folder);
    if (root.empty() || root.back() != L'/') root += L'/';
    return std::make_shared<const std::wstring>(std::move(root));
}

CFileInfo::CFileInfo() {
    const LONGLONG now = plat::NowUnixSeconds();
    created = lastAccess = lastWrite = counterpartLastWrite = now;
}

void CFileInfo::SetFromFindData(const plat::FileInfo& entry, const SideRoot& root, std::wstring_view relPath,
                                DWORD stateWord) {
    attributes = entry.attributes;
    size = entry.size;
    created = plat::FileTimeToUnixSeconds(entry.creationTime);
    lastAccess = plat::FileTimeToUnixSeconds(entry.lastAccessTime);
    lastWrite = plat::FileTimeToUnixSeconds(entry.lastWriteTime);
    root_ = root;
    wholePath_ = false;
    relativePath = relPath;
    state = ItemState(stateWord);
}

void CFileInfo::SetFromFindData(const plat::FileInfo& entry, std::wstring_view fullPath, std::wstring_view relPath,
                                DWORD stateWord) {
    bool whole = false;
    const SideRoot root = RootOf(fullPath, relPath, whole, {&root_, &counterpartRoot_});
    SetFromFindData(entry, root, relPath, stateWord);
    wholePath_ = whole;
}

void CFileInfo::Set(std::wstring_view fullPath, ULONGLONG fileSize, DWORD attrs, LONGLONG time,
                    std::wstring_view relPath, DWORD stateWord) {
    bool whole = false;
    const SideRoot root = RootOf(fullPath, relPath, whole, {&root_, &counterpartRoot_});
    Set(root, fileSize, attrs, time, relPath, stateWord);
    wholePath_ = whole;
}

void CFileInfo::Set(const SideRoot& root, ULONGLONG fileSize, DWORD attrs, LONGLONG time, std::wstring_view relPath,
                    DWORD stateWord) {
    root_ = root;
    wholePath_ = false;
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
    bool whole = false;
    const SideRoot root = RootOf(otherPath, otherRelativePath, whole, {&counterpartRoot_, &root_});
    SetCounterpart(root, otherRelativePath, otherAttributes, otherSize, otherLastWrite);
    counterpartWhole_ = whole;
}

void CFileInfo::SetCounterpartRecord(const CFileInfo& other) {
    SetCounterpart(other.root_, other.relativePath, other.attributes, other.size, other.lastWrite);
    counterpartWhole_ = other.wholePath_;
}

std::wstring CFileInfo::path() const { return Joined(root_, wholePath_, relativePath); }

std::wstring CFileInfo::counterpartPath() const {
    return Joined(counterpartRoot_, counterpartWhole_, counterpartRelativePath());
}

void CFileInfo::SetCounterpartRelativePath(std::wstring_view otherRelativePath) {
    if (otherRelativePath == relativePath) {
        counterpartSpelling_.clear();
        counterpartSpelling_.shrink_to_fit();
    } else {
        counterpartSpelling_ = otherRelativePath;
    }
}

void CFileInfo::SetCounterpart(const SideRoot& otherRoot, std::wstring_view otherRelativePath,
                               DWORD otherAttributes, ULONGLONG otherSize, LONGLONG otherLastWrite) {
    counterpartRoot_ = otherRoot;
    counterpartWhole_ = false;
    SetCounterpartRelativePath(otherRelativePath);
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
    const std::wstring full = path();
    const std::wstring_view name = NameOf(full);
    const auto dot = ExtensionDot(name);
    return std::wstring(dot == std::wstring_view::npos ? name : name.substr(0, dot));
}

std::wstring CFileInfo::GetFileExt() const {
    const std::wstring full = path();
    const std::wstring_view name = NameOf(full);
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
