#include "foundation/task_record.h"

#include <algorithm>
#include <cassert>
#include <memory>
#include <utility>

#include "foundation/options/filter_text_fit.h"
#include "foundation/sync_task.h"
#include "platform/core/record_bytes.h"
#include "platform/core/text.h"

namespace {

using plat::GetFileTime;
using plat::GetU16;
using plat::GetU32;
using plat::PutFileTime;
using plat::PutU16;
using plat::PutU32;

// Field places in the stored record.
constexpr std::size_t kRunStartOffset = 0;
constexpr std::size_t kRunEndOffset = 8;
constexpr std::size_t kStartSourceOffset = 16;
constexpr std::size_t kRunSyncTypeOffset = 20;
constexpr std::size_t kRunModeOffset = 24;
constexpr std::size_t kContainerOffset = 28;
constexpr std::size_t kReservedOffset = 32;
constexpr std::size_t kNameOffset = 36;
constexpr std::size_t kNameSize = 2048;
constexpr std::size_t kLeftOffset = 2084;
constexpr std::size_t kRightOffset = 4132;
constexpr std::size_t kFilterModeOffset = 6180;
constexpr std::size_t kExcludeOffset = 6184;
constexpr std::size_t kIncludeOffset = 8232;
constexpr std::size_t kTextFieldSize = 2048;
constexpr std::size_t kAttributeMaskOffset = 10280;
constexpr std::size_t kTypeOffset = 10284;
constexpr std::size_t kDeleteOffset = 10288;
constexpr std::size_t kSaveDeleteOffset = 10292;
constexpr std::size_t kLockOffset = 10296;
constexpr std::size_t kReadOnlyOffset = 10300;
constexpr std::size_t kReadOnlyTargetOffset = 10304;
constexpr std::size_t kLogLevelOffset = 10308;
constexpr std::size_t kLogOffset = 10312;
constexpr std::size_t kClearLogOffset = 10316;
constexpr std::size_t kScheduleOnOffset = 10320;
constexpr std::size_t kScheduleTextOffset = 10324;
constexpr std::size_t kScheduleTextSize = 256;
constexpr std::size_t kScheduleStartTimeOffset = 10580;
constexpr std::size_t kScheduleStartDateOffset = 10582;
constexpr std::size_t kScheduleHasEndOffset = 10584;
constexpr std::size_t kScheduleEndDateOffset = 10588;
constexpr std::size_t kRunDosDateOffset = 10590;
constexpr std::size_t kScheduleTypeOffset = 10592;
constexpr std::size_t kScheduleBlockOffset = 10596;
constexpr std::size_t kRunAtStartOffset = 10644;
constexpr std::size_t kStartDelayOffset = 10648;
constexpr std::size_t kRunOnDeviceOffset = 10652;
constexpr std::size_t kRepeatOnOffset = 10656;
constexpr std::size_t kRepeatMinutesOffset = 10660;
constexpr std::size_t kRepeatHoursOffset = 10662;
constexpr std::size_t kSkipPercentOffset = 10664;
constexpr std::size_t kAutoResolveOffset = 10668;
constexpr std::size_t kAutoRunModeOffset = 10672;
constexpr std::size_t kCaseSensitiveOffset = 10676;
constexpr std::size_t kEmptyOffset = 10680;
constexpr std::size_t kWideTextOffset = 10684;
constexpr std::size_t kSpeedOffset = 10688;
constexpr std::size_t kZeroTailOffset = 10692;
static_assert(kScheduleBlockOffset + 48 == kRunAtStartOffset);
static_assert(kZeroTailOffset + 8128 == kTaskRecordSize);

using Bytes = std::span<std::uint8_t>;
using ConstBytes = std::span<const std::uint8_t>;

void PutFlag(Bytes bytes, std::size_t offset, bool value) { PutU32(bytes, offset, value ? 1 : 0); }

// Reads one text field; an unterminated one names itself in `fault`.
class FieldReader {
public:
    explicit FieldReader(ConstBytes bytes) : bytes_(bytes) {}

    std::string Narrow(std::size_t offset, std::size_t size, const char* what) {
        bool terminated = false;
        std::string text = plat::ReadNarrowField(bytes_.subspan(offset, size), &terminated);
        if (!terminated) Fail(what);
        return text;
    }

    // Older records hold these fields as 8-bit text of the ANSI code page, which is UTF-8
    // on this platform.
    std::wstring Text(std::size_t offset, bool wide, const char* what) {
        const ConstBytes field = bytes_.subspan(offset, kTextFieldSize);
        bool terminated = false;
        std::wstring text = wide ? plat::ReadUtf16Field(field, &terminated)
                                 : plat::Utf8ToWide(plat::ReadNarrowField(field, &terminated));
        if (!terminated) Fail(what);
        return text;
    }

    const std::string& fault() const { return fault_; }

private:
    void Fail(const char* what) {
        if (fault_.empty()) fault_ = plat::Format("the %s field has no end", what);
    }

    ConstBytes bytes_;
    std::string fault_;
};

}  // namespace

TaskArchiveRecord TaskArchiveRecordOf(const SyncTask& task) {
    const TaskRunFacts facts = task.runFacts.Get();
    TaskArchiveRecord record;
    record.lastRunStart = facts.lastRunStart;
    record.lastRunEnd = facts.lastRunEnd;
    record.startSource = task.startSource;
    record.lastRunSyncType = facts.lastRunSyncType;
    record.lastRunMode = facts.lastRunMode;
    record.containerMode = task.containerMode;
    record.reservedWord = task.reservedWord;
    record.name = task.name;
    record.leftFolder = task.leftFolder;
    record.rightFolder = task.rightFolder;
    if (task.filterOptions) record.filter = *task.filterOptions;
    if (task.syncOptions) record.sync = *task.syncOptions;
    if (task.logOptions) record.log = *task.logOptions;
    record.scheduleOn = task.scheduleOn;
    record.scheduleText = task.scheduleText;
    record.scheduleStartTime = task.scheduleStartTime;
    record.scheduleStartDate = task.scheduleStartDate;
    record.scheduleHasEnd = task.scheduleHasEnd;
    record.scheduleEndDate = task.scheduleEndDate;
    record.lastRunDosDate = facts.lastRunDosDate;
    record.scheduleType = task.scheduleType;
    record.scheduleBlock = task.scheduleBlock;
    record.runAtStart = task.runAtStart;
    record.startDelaySeconds = task.startDelaySeconds;
    record.runOnDevice = task.runOnDevice;
    record.repeatOn = task.repeatOn;
    record.repeatMinutes = task.repeatMinutes;
    record.repeatHours = task.repeatHours;
    record.skipPercent = task.skipPercent;
    record.autoResolve = task.autoResolve;
    record.autoRunMode = task.autoRunMode;
    return record;
}

void ApplyTaskArchiveRecord(const TaskArchiveRecord& record, SyncTask& task) {
    if (!task.syncOptions) task.syncOptions = std::make_unique<CConfigSyncPage>(false);
    if (!task.logOptions) task.logOptions = std::make_unique<CConfigLogPage>(false);
    if (!task.filterOptions) task.filterOptions = std::make_unique<CConfigCompressFilterPage>(false, std::wstring());

    task.runFacts.Update([&record](TaskRunFacts& facts) {
        facts.lastRunStart = record.lastRunStart;
        facts.lastRunEnd = record.lastRunEnd;
        facts.lastRunSyncType = record.lastRunSyncType;
        facts.lastRunMode = record.lastRunMode;
        facts.lastRunDosDate = record.lastRunDosDate;
    });
    task.startSource = record.startSource;
    task.containerMode = record.containerMode;
    task.reservedWord = record.reservedWord;
    task.name = record.name;
    task.leftFolder = record.leftFolder;
    task.rightFolder = record.rightFolder;
    static_cast<FilterOptionValues&>(*task.filterOptions) = record.filter;
    static_cast<SyncOptionValues&>(*task.syncOptions) = record.sync;
    static_cast<LogOptionValues&>(*task.logOptions) = record.log;
    // The page's switches follow the stored mode when it next opens.
    task.filterOptions->useExclusion = (record.filter.filterMode & kFilterModeExclusion) != 0;
    task.filterOptions->useInclusion = (record.filter.filterMode & kFilterModeInclusion) != 0;
    task.scheduleOn = record.scheduleOn;
    task.scheduleText = record.scheduleText;
    task.scheduleStartTime = record.scheduleStartTime;
    task.scheduleStartDate = record.scheduleStartDate;
    task.scheduleHasEnd = record.scheduleHasEnd;
    task.scheduleEndDate = record.scheduleEndDate;
    task.scheduleType = record.scheduleType;
    task.scheduleBlock = record.scheduleBlock;
    task.runAtStart = record.runAtStart;
    task.startDelaySeconds = record.startDelaySeconds;
    task.runOnDevice = record.runOnDevice;
    task.repeatOn = record.repeatOn;
    task.repeatMinutes = record.repeatMinutes;
    task.repeatHours = record.repeatHours;
    task.skipPercent = record.skipPercent;
    task.autoResolve = record.autoResolve;
    task.autoRunMode = record.autoRunMode;
}

BuiltTaskRecord SerializeTaskRecord(const TaskArchiveRecord& record) {
    BuiltTaskRecord built;
    std::vector<std::uint8_t> stored(kTaskRecordSize, 0);
    const Bytes bytes(stored);
    const char* name = record.name.c_str();

    if (!plat::WriteNarrowField(bytes.subspan(kNameOffset, kNameSize), record.name)) {
        built.failure = plat::Format("The name of task '%s' is too long to store.",
                                     std::string(plat::CutUtf8(record.name, 80)).c_str());
        return built;
    }
    if (!plat::WriteUtf16Field(bytes.subspan(kLeftOffset, kTextFieldSize), record.leftFolder)) {
        built.failure = plat::Format("The Left folder of task '%s' is too long to store.", name);
        return built;
    }
    if (!plat::WriteUtf16Field(bytes.subspan(kRightOffset, kTextFieldSize), record.rightFolder)) {
        built.failure = plat::Format("The Right folder of task '%s' is too long to store.", name);
        return built;
    }
    const struct {
        const std::wstring& text;
        std::size_t offset;
        const char* list;
    } filterTexts[] = {{record.filter.excludeText, kExcludeOffset, "exclusion"},
                       {record.filter.includeText, kIncludeOffset, "inclusion"}};
    for (const auto& field : filterTexts) {
        const FittedFilterText fitted = FitFilterText(field.text, kTextFieldSize, FieldEncoding::Utf16);
        plat::WriteUtf16Field(bytes.subspan(field.offset, kTextFieldSize), fitted.text);
        if (fitted.WasCut()) built.cuts.push_back(DescribeFilterCut(record.name, field.list, fitted));
    }

    PutFileTime(bytes, kRunStartOffset, record.lastRunStart);
    PutFileTime(bytes, kRunEndOffset, record.lastRunEnd);
    PutU32(bytes, kStartSourceOffset, record.startSource);
    PutU32(bytes, kRunSyncTypeOffset, record.lastRunSyncType);
    PutU32(bytes, kRunModeOffset, record.lastRunMode);
    PutU32(bytes, kContainerOffset, record.containerMode);
    PutU32(bytes, kReservedOffset, record.reservedWord);

    PutU32(bytes, kFilterModeOffset, record.filter.filterMode);
    PutU32(bytes, kAttributeMaskOffset,
           (record.filter.readonly ? kExcludeReadonlyBit : 0) | (record.filter.hidden ? kExcludeHiddenBit : 0) |
               (record.filter.system ? kExcludeSystemBit : 0));
    PutFlag(bytes, kEmptyOffset, record.filter.empty);

    PutU32(bytes, kTypeOffset, record.sync.type);
    PutU32(bytes, kDeleteOffset, record.sync.allowDelete);
    PutU32(bytes, kSaveDeleteOffset, record.sync.saveDelete);
    PutU32(bytes, kLockOffset, record.sync.lock);
    PutU32(bytes, kReadOnlyOffset, record.sync.readOnly);
    PutU32(bytes, kReadOnlyTargetOffset, record.sync.readOnlyTarget);
    PutU32(bytes, kCaseSensitiveOffset, record.sync.caseSensitive);
    PutU32(bytes, kSpeedOffset, record.sync.speed);

    PutU32(bytes, kLogLevelOffset, record.log.logLevel);
    PutU32(bytes, kLogOffset, record.log.log);
    PutU32(bytes, kClearLogOffset, record.log.clearLog);

    PutU32(bytes, kScheduleOnOffset, record.scheduleOn);
    if (record.scheduleOn) {
        plat::WriteNarrowField(bytes.subspan(kScheduleTextOffset, kScheduleTextSize), record.scheduleText);
        PutU16(bytes, kScheduleStartTimeOffset, record.scheduleStartTime);
        PutU16(bytes, kScheduleStartDateOffset, record.scheduleStartDate);
        PutU32(bytes, kScheduleHasEndOffset, record.scheduleHasEnd);
        if (record.scheduleHasEnd) PutU16(bytes, kScheduleEndDateOffset, record.scheduleEndDate);
        PutU16(bytes, kRunDosDateOffset, record.lastRunDosDate);
        PutU32(bytes, kScheduleTypeOffset, record.scheduleType);
        std::copy(record.scheduleBlock.begin(), record.scheduleBlock.end(), bytes.begin() + kScheduleBlockOffset);
    }

    PutU32(bytes, kRunAtStartOffset, record.runAtStart);
    PutU32(bytes, kStartDelayOffset, record.startDelaySeconds);
    PutU32(bytes, kRunOnDeviceOffset, record.runOnDevice);
    PutU32(bytes, kRepeatOnOffset, record.repeatOn);
    if (record.repeatOn) {
        PutU16(bytes, kRepeatMinutesOffset, record.repeatMinutes);
        PutU16(bytes, kRepeatHoursOffset, record.repeatHours);
    }
    PutU32(bytes, kSkipPercentOffset, record.skipPercent);
    PutU32(bytes, kAutoResolveOffset, record.autoResolve);
    PutU32(bytes, kAutoRunModeOffset, record.autoRunMode);
    PutU32(bytes, kWideTextOffset, 1);

    built.bytes = std::move(stored);
    return built;
}

std::optional<TaskArchiveRecord> ParseTaskRecord(ConstBytes bytes, std::string* fault) {
    if (bytes.size() != kTaskRecordSize) {
        if (fault) *fault = plat::Format("it is %zu bytes long instead of %zu", bytes.size(), kTaskRecordSize);
        return std::nullopt;
    }
    TaskArchiveRecord record;
    const bool wideText = GetU32(bytes, kWideTextOffset) != 0;
    FieldReader reader(bytes);
    record.name = reader.Narrow(kNameOffset, kNameSize, "task name");
    record.leftFolder = reader.Text(kLeftOffset, wideText, "Left folder");
    record.rightFolder = reader.Text(kRightOffset, wideText, "Right folder");
    record.filter.excludeText = reader.Text(kExcludeOffset, wideText, "exclusion filter");
    record.filter.includeText = reader.Text(kIncludeOffset, wideText, "inclusion filter");

    record.lastRunStart = GetFileTime(bytes, kRunStartOffset);
    record.lastRunEnd = GetFileTime(bytes, kRunEndOffset);
    record.startSource = GetU32(bytes, kStartSourceOffset);
    record.lastRunSyncType = GetU32(bytes, kRunSyncTypeOffset);
    record.lastRunMode = GetU32(bytes, kRunModeOffset);
    record.containerMode = GetU32(bytes, kContainerOffset);
    record.reservedWord = GetU32(bytes, kReservedOffset);

    record.filter.filterMode = GetU32(bytes, kFilterModeOffset);
    const DWORD mask = GetU32(bytes, kAttributeMaskOffset);
    record.filter.readonly = (mask & kExcludeReadonlyBit) != 0;
    record.filter.hidden = (mask & kExcludeHiddenBit) != 0;
    record.filter.system = (mask & kExcludeSystemBit) != 0;
    record.filter.empty = GetU32(bytes, kEmptyOffset) != 0;

    record.sync.type = GetU32(bytes, kTypeOffset);
    record.sync.allowDelete = GetU32(bytes, kDeleteOffset);
    record.sync.saveDelete = GetU32(bytes, kSaveDeleteOffset);
    record.sync.lock = GetU32(bytes, kLockOffset);
    record.sync.readOnly = GetU32(bytes, kReadOnlyOffset);
    record.sync.readOnlyTarget = GetU32(bytes, kReadOnlyTargetOffset);
    record.sync.caseSensitive = GetU32(bytes, kCaseSensitiveOffset);
    record.sync.speed = GetU32(bytes, kSpeedOffset);

    record.log.logLevel = GetU32(bytes, kLogLevelOffset);
    record.log.log = GetU32(bytes, kLogOffset);
    record.log.clearLog = GetU32(bytes, kClearLogOffset);

    record.scheduleOn = GetU32(bytes, kScheduleOnOffset);
    if (record.scheduleOn) {
        record.scheduleText = reader.Narrow(kScheduleTextOffset, kScheduleTextSize, "schedule text");
        record.scheduleStartTime = GetU16(bytes, kScheduleStartTimeOffset);
        record.scheduleStartDate = GetU16(bytes, kScheduleStartDateOffset);
        record.scheduleHasEnd = GetU32(bytes, kScheduleHasEndOffset);
        if (record.scheduleHasEnd) record.scheduleEndDate = GetU16(bytes, kScheduleEndDateOffset);
        record.lastRunDosDate = GetU16(bytes, kRunDosDateOffset);
        record.scheduleType = GetU32(bytes, kScheduleTypeOffset);
        std::copy_n(bytes.begin() + kScheduleBlockOffset, record.scheduleBlock.size(), record.scheduleBlock.begin());
    }

    record.runAtStart = GetU32(bytes, kRunAtStartOffset);
    record.startDelaySeconds = GetU32(bytes, kStartDelayOffset);
    record.runOnDevice = GetU32(bytes, kRunOnDeviceOffset);
    record.repeatOn = GetU32(bytes, kRepeatOnOffset);
    record.repeatMinutes = GetU16(bytes, kRepeatMinutesOffset);
    record.repeatHours = GetU16(bytes, kRepeatHoursOffset);
    record.skipPercent = GetU32(bytes, kSkipPercentOffset);
    record.autoResolve = GetU32(bytes, kAutoResolveOffset);
    record.autoRunMode = GetU32(bytes, kAutoRunModeOffset);

    if (!reader.fault().empty()) {
        if (fault) *fault = reader.fault();
        return std::nullopt;
    }
    return record;
}

void PutTaskRunFields(Bytes record, const TaskRunFields& fields) {
    assert(record.size() == kTaskRecordSize);
    PutFileTime(record, kRunStartOffset, fields.start);
    PutFileTime(record, kRunEndOffset, fields.end);
    PutU32(record, kStartSourceOffset, fields.startSource);
    PutU32(record, kRunSyncTypeOffset, fields.syncType);
    PutU32(record, kRunModeOffset, fields.mode);
    PutU16(record, kRunDosDateOffset, fields.dosDate);
}

TaskRunFields GetTaskRunFields(ConstBytes record) {
    assert(record.size() == kTaskRecordSize);
    TaskRunFields fields;
    fields.start = GetFileTime(record, kRunStartOffset);
    fields.end = GetFileTime(record, kRunEndOffset);
    fields.startSource = GetU32(record, kStartSourceOffset);
    fields.syncType = GetU32(record, kRunSyncTypeOffset);
    fields.mode = GetU32(record, kRunModeOffset);
    fields.dosDate = GetU16(record, kRunDosDateOffset);
    return fields;
}

DWORD GetTaskContainerMode(ConstBytes record) {
    assert(record.size() == kTaskRecordSize);
    return GetU32(record, kContainerOffset);
}

void PutTaskContainerMode(Bytes record, DWORD containerMode) {
    assert(record.size() == kTaskRecordSize);
    PutU32(record, kContainerOffset, containerMode);
}
