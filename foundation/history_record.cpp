#include "foundation/history_record.h"

#include <utility>

#include "platform/core/record_bytes.h"
#include "platform/core/text.h"

namespace {

using plat::GetFileTime;
using plat::GetU32;
using plat::PutFileTime;
using plat::PutU32;

// Field places in the stored record.
constexpr std::size_t kNameOffset = 0;
constexpr std::size_t kNameSize = 260;
constexpr std::size_t kLeftOffset = 260;
constexpr std::size_t kRightOffset = 2308;
constexpr std::size_t kFolderSize = 2048;
constexpr std::size_t kTextOffset = 4356;
constexpr std::size_t kTextSize = 256;
constexpr std::size_t kIgnoreCaseOffset = 4612;
constexpr std::size_t kCodeOffset = 4616;
constexpr std::size_t kSyncTypeOffset = 4620;
constexpr std::size_t kDeleteOffset = 4624;
constexpr std::size_t kSaveDeleteOffset = 4628;
constexpr std::size_t kLockOffset = 4632;
constexpr std::size_t kReadOnlyOffset = 4636;
constexpr std::size_t kReadOnlyTargetOffset = 4640;
constexpr std::size_t kStartSourceOffset = 4644;
constexpr std::size_t kTypeOffset = 4648;
constexpr std::size_t kStartOffset = 4652;
constexpr std::size_t kEndOffset = 4660;
constexpr std::size_t kStatusOffset = 4668;
static_assert(kStatusOffset + 4 == kHistoryRecordSize);

std::optional<std::string> GetNarrow(std::span<const std::uint8_t> bytes, std::size_t offset, std::size_t size) {
    bool terminated = false;
    std::string text = plat::ReadNarrowField(bytes.subspan(offset, size), &terminated);
    if (!terminated) return std::nullopt;
    return text;
}

// Older versions stored the folders as 8-bit text of the ANSI code page, which is UTF-8
// on this platform.
std::optional<std::wstring> GetFolder(std::span<const std::uint8_t> bytes, std::size_t offset, bool wide) {
    const std::span<const std::uint8_t> field = bytes.subspan(offset, kFolderSize);
    bool terminated = false;
    std::wstring folder;
    if (wide) {
        folder = plat::ReadUtf16Field(field, &terminated);
    } else {
        folder = plat::Utf8ToWide(plat::ReadNarrowField(field, &terminated));
    }
    if (!terminated) return std::nullopt;
    return folder;
}

}  // namespace

HistoryRecordBytes SerializeHistoryRecord(const HistoryRecord& record) {
    HistoryRecordBytes stored{};
    const std::span<std::uint8_t> bytes(stored);
    plat::WriteNarrowField(bytes.subspan(kNameOffset, kNameSize), record.taskName);
    plat::WriteUtf16Field(bytes.subspan(kLeftOffset, kFolderSize), record.leftFolder);
    plat::WriteUtf16Field(bytes.subspan(kRightOffset, kFolderSize), record.rightFolder);
    plat::WriteNarrowField(bytes.subspan(kTextOffset, kTextSize), record.text);
    PutU32(bytes, kIgnoreCaseOffset, record.ignoreCase);
    PutU32(bytes, kCodeOffset, record.code);
    PutU32(bytes, kSyncTypeOffset, record.syncType);
    PutU32(bytes, kDeleteOffset, record.allowDelete);
    PutU32(bytes, kSaveDeleteOffset, record.saveDelete);
    PutU32(bytes, kLockOffset, record.lock);
    PutU32(bytes, kReadOnlyOffset, record.readOnly);
    PutU32(bytes, kReadOnlyTargetOffset, record.readOnlyTarget);
    PutU32(bytes, kStartSourceOffset, record.startSource);
    PutU32(bytes, kTypeOffset, record.type);
    PutFileTime(bytes, kStartOffset, record.start);
    PutFileTime(bytes, kEndOffset, record.end);
    PutU32(bytes, kStatusOffset, (record.status & ~kHistoryWideFolders) | kHistoryWideFolders);
    return stored;
}

std::optional<HistoryRecord> ParseHistoryRecord(std::span<const std::uint8_t> bytes) {
    if (bytes.size() != kHistoryRecordSize) return std::nullopt;
    const DWORD statusWord = GetU32(bytes, kStatusOffset);
    const bool wideFolders = (statusWord & kHistoryWideFolders) != 0;

    auto name = GetNarrow(bytes, kNameOffset, kNameSize);
    auto left = GetFolder(bytes, kLeftOffset, wideFolders);
    auto right = GetFolder(bytes, kRightOffset, wideFolders);
    auto text = GetNarrow(bytes, kTextOffset, kTextSize);
    if (!name || !left || !right || !text) return std::nullopt;

    HistoryRecord record;
    record.taskName = std::move(*name);
    record.leftFolder = std::move(*left);
    record.rightFolder = std::move(*right);
    record.text = std::move(*text);
    record.ignoreCase = GetU32(bytes, kIgnoreCaseOffset);
    record.code = GetU32(bytes, kCodeOffset);
    record.syncType = GetU32(bytes, kSyncTypeOffset);
    record.allowDelete = GetU32(bytes, kDeleteOffset);
    record.saveDelete = GetU32(bytes, kSaveDeleteOffset);
    record.lock = GetU32(bytes, kLockOffset);
    record.readOnly = GetU32(bytes, kReadOnlyOffset);
    record.readOnlyTarget = GetU32(bytes, kReadOnlyTargetOffset);
    record.startSource = GetU32(bytes, kStartSourceOffset);
    record.type = GetU32(bytes, kTypeOffset);
    record.start = GetFileTime(bytes, kStartOffset);
    record.end = GetFileTime(bytes, kEndOffset);
    record.status = statusWord & ~kHistoryWideFolders;
    return record;
}
