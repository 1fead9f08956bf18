#include "foundation/scheduled_script.h"

#include "foundation/sync_task.h"
#include "platform/core/file_time.h"
#include "platform/core/record_bytes.h"

namespace {

constexpr std::size_t kStartTimeOffset = 0;
constexpr std::size_t kStartDateOffset = 2;
constexpr std::size_t kHasEndOffset = 4;
constexpr std::size_t kEndDateOffset = 8;
constexpr std::size_t kKindOffset = 12;
constexpr std::size_t kBlockOffset = 16;
static_assert(kBlockOffset + kRepetitionBlockSize == kScheduleRecordSize);

using plat::GetU16;
using plat::GetU32;
using plat::PutU16;
using plat::PutU32;

}  // namespace

RepetitionBlock RepetitionBlock::FromBytes(const RepetitionBytes& bytes) {
    RepetitionBlock block;
    for (std::size_t i = 0; i < kRepetitionWordCount; ++i) block.words[i] = GetU32(bytes, 4 * i);
    return block;
}

RepetitionBytes RepetitionBlock::ToBytes() const {
    RepetitionBytes bytes{};
    for (std::size_t i = 0; i < kRepetitionWordCount; ++i) PutU32(bytes, 4 * i, words[i]);
    return bytes;
}

ScheduleRecord ScheduleRecord::FromBytes(std::span<const BYTE, kScheduleRecordSize> bytes) {
    ScheduleRecord record;
    record.startTime = GetU16(bytes, kStartTimeOffset);
    record.startDate = GetU16(bytes, kStartDateOffset);
    record.hasEnd = GetU32(bytes, kHasEndOffset);
    record.endDate = GetU32(bytes, kEndDateOffset);
    record.kind = GetU32(bytes, kKindOffset);
    for (std::size_t i = 0; i < kRepetitionBlockSize; ++i) record.block[i] = bytes[kBlockOffset + i];
    return record;
}

std::array<BYTE, kScheduleRecordSize> ScheduleRecord::ToBytes() const {
    std::array<BYTE, kScheduleRecordSize> bytes{};
    PutU16(bytes, kStartTimeOffset, startTime);
    PutU16(bytes, kStartDateOffset, startDate);
    PutU32(bytes, kHasEndOffset, hasEnd);
    PutU32(bytes, kEndDateOffset, endDate);
    PutU32(bytes, kKindOffset, kind);
    for (std::size_t i = 0; i < kRepetitionBlockSize; ++i) bytes[kBlockOffset + i] = block[i];
    return bytes;
}

ScheduleRecord ScheduleRecordOfTask(const SyncTask& task) {
    ScheduleRecord record;
    record.startTime = task.scheduleStartTime;
    record.startDate = task.scheduleStartDate;
    record.hasEnd = task.scheduleHasEnd;
    record.endDate = task.scheduleEndDate;
    record.kind = task.scheduleType;
    record.block = task.scheduleBlock;
    return record;
}

void SetTaskSchedule(SyncTask& task, const ScheduleRecord& record) {
    task.scheduleStartTime = record.startTime;
    task.scheduleStartDate = record.startDate;
    task.scheduleHasEnd = record.hasEnd;
    task.scheduleEndDate = static_cast<WORD>(record.endDate);
    task.scheduleType = record.kind;
    task.scheduleBlock = record.block;
}

bool DosDateToLocalSeconds(WORD dosDate, WORD dosTime, LocalSeconds* out) {
    FILETIME ft{};
    if (!DosDateTimeToFileTime(dosDate, dosTime, &ft)) return false;
    *out = plat::FileTimeToUnixSeconds(ft);
    return true;
}

void CSvScript::SetSchedule(const ScheduleRecord& record) {
    std::string keptText = std::move(text);
    *this = CSvScript{};
    text = std::move(keptText);
    LocalSeconds start = 0;
    LocalSeconds day = 0;
    LocalSeconds end = 0;
    const bool startKnown = DosDateToLocalSeconds(record.startDate, record.startTime, &start) &&
                            DosDateToLocalSeconds(record.startDate, 0, &day);
    const bool endKnown = !record.hasEnd || DosDateToLocalSeconds(static_cast<WORD>(record.endDate), 0, &end);
    if (startKnown) {
        startTime = start;
        startDay = day;
    }
    hasEnd = record.hasEnd ? 1 : 0;
    if (record.hasEnd && endKnown) endDay = end;
    type = static_cast<int>(record.kind);
    block = record.block;
    // A garbled date or kind must not make a task run at some time nobody chose.
    hasSchedule = startKnown && endKnown && record.kind <= kScheduleHourly;
}

CSvScript CSvScript::FromTask(const SyncTask& task) {
    CSvScript script;
    script.text = task.scheduleText;
    script.SetSchedule(ScheduleRecordOfTask(task));
    return script;
}

DWORD CSvScript::Word(std::size_t index) const { return index < kRepetitionWordCount ? GetU32(block, 4 * index) : 0; }
