#include "engine/model/file_info.h"

#include <initializer_list>

#include "platform/core/clock.h"
#include "platform/core/file_info.h"
#include "platform/core/file_time.h"
#include "platform/core/text.h"

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
SideRoot RootOf(std::wstring_view fullPath, std::string_view relPath, bool& whole,
                std::initializer_list<const SideRoot*> known) {
    const std::wstring wideRel = plat::Utf8ToWide(relPath);
    const std::size_t rootLength = fullPath.size() - wideRel.size();
    whole = wideRel.empty() || fullPath.size() <= wideRel.size() || fullPath[rootLength - 1] != L'/' ||
            fullPath.substr(rootLength) != wideRel;
    const std::wstring_view root = whole ? fullPath : fullPath.substr(0, rootLength);
    for (const SideRoot* candidate : known) {
        if (*candidate && **candidate == root) return *candidate;
    }
    return SideRoot(root);
}

std::wstring Joined(const SideRoot& root, bool whole, std::string_view relPath) {
    if (!root) return {};
    if (whole) return *root;
    return *root + plat::Utf8ToWide(relPath);
}

}  // namespace

CFileInfo::CFileInfo() : CFileInfo(plat::NowUnixSeconds()) {}

CFileInfo::CFileInfo(LONGLONG now) { lastWrite = counterpartLastWrite = now; }

CFileInfo::CFileInfo(const CFileInfo& other)
    : savedState(other.savedState),
      state(other.state),
      treeItem(other.treeItem),
      shadowIndex(other.shadowIndex),
      relativePath(other.relativePath),
      attributes(other.attributes),
      counterpartAttributes(other.counterpartAttributes),
      size(other.size),
      counterpartSize(other.counterpartSize),
      lastWrite(other.lastWrite),
      counterpartLastWrite(other.counterpartLastWrite),
      root_(other.root_),
      counterpartRoot_(other.counterpartRoot_),
      counterpartSpelling_(other.counterpartSpelling_ ? std::make_unique<std::string>(*other.counterpartSpelling_)
                                                      : nullptr),
      sourceRowTime_(other.sourceRowTime_),
      targetRowTime_(other.targetRowTime_),
      sourceRowSize_(other.sourceRowSize_),
      targetRowSize_(other.targetRowSize_),
      sourceRowAttributes_(other.sourceRowAttributes_),
      targetRowAttributes_(other.targetRowAttributes_),
      sourceRowFound_(other.sourceRowFound_),
      targetRowFound_(other.targetRowFound_),
      wholePath_(other.wholePath_),
      counterpartWhole_(other.counterpartWhole_),
      failure_(other.failure_) {}

CFileInfo& CFileInfo::operator=(const CFileInfo& other) {
    if (this != &other) *this = CFileInfo(other);
    return *this;
}

void CFileInfo::SetFromFindData(const plat::FileInfo& entry, const SideRoot& root, std::string_view relPath,
                                DWORD stateWord) {
    attributes = entry.attributes;
    size = entry.size;
    lastWrite = plat::FileTimeToUnixSeconds(entry.lastWriteTime);
    root_ = root;
    wholePath_ = false;
    relativePath = relPath;
    state = ItemState(stateWord);
}

void CFileInfo::SetFromFindData(const plat::FileInfo& entry, std::wstring_view fullPath, std::string_view relPath,
                                DWORD stateWord) {
    bool whole = false;
    const SideRoot root = RootOf(fullPath, relPath, whole, {&root_, &counterpartRoot_});
    SetFromFindData(entry, root, relPath, stateWord);
    wholePath_ = whole;
}

void CFileInfo::Set(std::wstring_view fullPath, ULONGLONG fileSize, DWORD attrs, LONGLONG time,
                    std::string_view relPath, DWORD stateWord) {
    bool whole = false;
    const SideRoot root = RootOf(fullPath, relPath, whole, {&root_, &counterpartRoot_});
    Set(root, fileSize, attrs, time, relPath, stateWord);
    wholePath_ = whole;
}

void CFileInfo::Set(const SideRoot& root, ULONGLONG fileSize, DWORD attrs, LONGLONG time, std::string_view relPath,
                    DWORD stateWord) {
    root_ = root;
    wholePath_ = false;
    size = fileSize;
    attributes = attrs;
    lastWrite = time;
    // A folder record carries no time, and so none for its counterpart either: a time of
    // 0 given to SetCounterpart keeps this one, where the record's making time would
    // otherwise end in the other side's catalog and change it on every run.
    counterpartLastWrite = time;
    relativePath = relPath;
    state = ItemState(stateWord);
}

void CFileInfo::SetCounterpart(std::wstring_view otherPath, std::string_view otherRelativePath, DWORD otherAttributes,
                               ULONGLONG otherSize, LONGLONG otherLastWrite) {
    bool whole = false;
    const SideRoot root = RootOf(otherPath, otherRelativePath, whole, {&counterpartRoot_, &root_});
    SetCounterpart(root, otherRelativePath, otherAttributes, otherSize, otherLastWrite);
    counterpartWhole_ = whole;
}

void CFileInfo::Set(std::wstring_view fullPath, ULONGLONG fileSize, DWORD attrs, LONGLONG time,
                    std::wstring_view relPath, DWORD stateWord) {
    Set(fullPath, fileSize, attrs, time, plat::WideToUtf8(relPath), stateWord);
}

void CFileInfo::SetCounterpart(std::wstring_view otherPath, std::wstring_view otherRelativePath, DWORD otherAttributes,
                               ULONGLONG otherSize, LONGLONG otherLastWrite) {
    SetCounterpart(otherPath, plat::WideToUtf8(otherRelativePath), otherAttributes, otherSize, otherLastWrite);
}

void CFileInfo::SetCounterpartRecord(const CFileInfo& other) {
    SetCounterpart(other.root_, other.relativePath, other.attributes, other.size, other.lastWrite);
    counterpartWhole_ = other.wholePath_;
}

std::wstring CFileInfo::path() const { return Joined(root_, wholePath_, relativePath); }

std::wstring CFileInfo::counterpartPath() const {
    return Joined(counterpartRoot_, counterpartWhole_, counterpartRelativePath());
}

void CFileInfo::SetCounterpartRelativePath(std::string_view otherRelativePath) {
    if (otherRelativePath == relativePath) {
        counterpartSpelling_.reset();
    } else {
        counterpartSpelling_ = std::make_unique<std::string>(otherRelativePath);
    }
}

CatalogRowMemo CFileInfo::sourceCatalogRow() const {
    return {sourceRowFound_, sourceRowAttributes_, sourceRowSize_, sourceRowTime_};
}

CatalogRowMemo CFileInfo::targetCatalogRow() const {
    return {targetRowFound_, targetRowAttributes_, targetRowSize_, targetRowTime_};
}

void CFileInfo::SetSourceCatalogRow(const CatalogRowMemo& memo) {
    sourceRowFound_ = memo.found;
    sourceRowAttributes_ = memo.attributes;
    sourceRowSize_ = memo.size;
    sourceRowTime_ = memo.time;
}

void CFileInfo::SetTargetCatalogRow(const CatalogRowMemo& memo) {
    targetRowFound_ = memo.found;
    targetRowAttributes_ = memo.attributes;
    targetRowSize_ = memo.size;
    targetRowTime_ = memo.time;
}

void CFileInfo::SetCounterpart(const SideRoot& otherRoot, std::string_view otherRelativePath, DWORD otherAttributes,
                               ULONGLONG otherSize, LONGLONG otherLastWrite) {
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

void CFileInfo2::Set(std::string_view rowName, ULONGLONG rowSize, DWORD attrs, LONGLONG rowTime, DWORD rowFlag) {
    name = rowName;
    size = rowSize;
    attributes = attrs;
    if (rowTime != 0) time = rowTime;
    flag = rowFlag;
}

void CFileInfo2::Set(std::wstring_view rowName, ULONGLONG rowSize, DWORD attrs, LONGLONG rowTime, DWORD rowFlag) {
    Set(plat::WideToUtf8(rowName), rowSize, attrs, rowTime, rowFlag);
}
