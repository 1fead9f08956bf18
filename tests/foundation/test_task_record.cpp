// The stored task record: every field at its offset, conditional schedule and repeat
// fields, older 8-bit records, and refusal of records and texts that do not fit.

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "foundation/sync_task.h"
#include "foundation/task_record.h"
#include "platform/core/text.h"
#include "support/settings_fixture.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

DWORD U32At(const Bytes& b, std::size_t at) {
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (static_cast<DWORD>(b[at + 3]) << 24);
}
WORD U16At(const Bytes& b, std::size_t at) { return static_cast<WORD>(b[at] | (b[at + 1] << 8)); }

std::string NarrowAt(const Bytes& b, std::size_t at) { return reinterpret_cast<const char*>(&b[at]); }

std::u16string Utf16At(const Bytes& b, std::size_t at) {
    std::u16string s;
    for (std::size_t i = at; b[i] | b[i + 1]; i += 2) s += static_cast<char16_t>(b[i] | (b[i + 1] << 8));
    return s;
}

bool ZeroRange(const Bytes& b, std::size_t from, std::size_t to) {
    for (std::size_t i = from; i < to; ++i) {
        if (b[i] != 0) return false;
    }
    return true;
}

// Every field set, each to a value of its own, texts beyond ASCII.
TaskArchiveRecord FullRecord() {
    TaskArchiveRecord r;
    r.lastRunStart = FILETIME{0x11223344, 0x01D9AABB};
    r.lastRunEnd = FILETIME{0x55667788, 0x01D9AABC};
    r.startSource = 3;
    r.lastRunSyncType = 4;
    r.lastRunMode = 2;
    r.containerMode = 1;
    r.reservedWord = 0xCAFEF00D;
    r.name = "Fotos \xC3\xA9t\xC3\xA9";
    r.leftFolder = L"/home/u/Bilder \u00fc\U0001F600";
    r.rightFolder = L"<CARD>:\\Photos";
    r.filter.filterMode = 3;
    r.filter.excludeText = L"*.tmp \"a b\"";
    r.filter.includeText = L"*.jpg *.png";
    r.filter.readonly = true;
    r.filter.hidden = false;
    r.filter.system = true;
    r.filter.empty = true;
    r.sync.type = 2;
    r.sync.allowDelete = 1;
    r.sync.saveDelete = 0;
    r.sync.lock = 1;
    r.sync.readOnly = 0;
    r.sync.readOnlyTarget = 1;
    r.sync.caseSensitive = 0;
    r.sync.speed = 3;
    r.log.logLevel = 0;
    r.log.log = 1;
    r.log.clearLog = 1;
    r.scheduleOn = 1;
    r.scheduleText = "Every Monday at 10:00";
    r.scheduleStartTime = 0x5000;
    r.scheduleStartDate = 0x5A21;
    r.scheduleHasEnd = 1;
    r.scheduleEndDate = 0x5B3F;
    r.lastRunDosDate = 0x5A30;
    r.scheduleType = 1;
    for (std::size_t i = 0; i < r.scheduleBlock.size(); ++i) r.scheduleBlock[i] = static_cast<BYTE>(0xA0 + i);
    r.runAtStart = 1;
    r.startDelaySeconds = 90;
    r.runOnDevice = 1;
    r.repeatOn = 1;
    r.repeatMinutes = 30;
    r.repeatHours = 6;
    r.skipPercent = 40;
    r.autoResolve = 3;
    r.autoRunMode = 1;
    return r;
}

void ExpectSameRecord(const TaskArchiveRecord& a, const TaskArchiveRecord& b) {
    EXPECT_EQ(FileTimeToU64(a.lastRunStart), FileTimeToU64(b.lastRunStart));
    EXPECT_EQ(FileTimeToU64(a.lastRunEnd), FileTimeToU64(b.lastRunEnd));
    EXPECT_EQ(a.startSource, b.startSource);
    EXPECT_EQ(a.lastRunSyncType, b.lastRunSyncType);
    EXPECT_EQ(a.lastRunMode, b.lastRunMode);
    EXPECT_EQ(a.containerMode, b.containerMode);
    EXPECT_EQ(a.reservedWord, b.reservedWord);
    EXPECT_EQ(a.name, b.name);
    EXPECT_EQ(a.leftFolder, b.leftFolder);
    EXPECT_EQ(a.rightFolder, b.rightFolder);
    EXPECT_EQ(a.filter, b.filter);
    EXPECT_EQ(a.sync, b.sync);
    EXPECT_EQ(a.log, b.log);
    EXPECT_EQ(a.scheduleOn, b.scheduleOn);
    EXPECT_EQ(a.scheduleText, b.scheduleText);
    EXPECT_EQ(a.scheduleStartTime, b.scheduleStartTime);
    EXPECT_EQ(a.scheduleStartDate, b.scheduleStartDate);
    EXPECT_EQ(a.scheduleHasEnd, b.scheduleHasEnd);
    EXPECT_EQ(a.scheduleEndDate, b.scheduleEndDate);
    EXPECT_EQ(a.lastRunDosDate, b.lastRunDosDate);
    EXPECT_EQ(a.scheduleType, b.scheduleType);
    EXPECT_EQ(a.scheduleBlock, b.scheduleBlock);
    EXPECT_EQ(a.runAtStart, b.runAtStart);
    EXPECT_EQ(a.startDelaySeconds, b.startDelaySeconds);
    EXPECT_EQ(a.runOnDevice, b.runOnDevice);
    EXPECT_EQ(a.repeatOn, b.repeatOn);
    EXPECT_EQ(a.repeatMinutes, b.repeatMinutes);
    EXPECT_EQ(a.repeatHours, b.repeatHours);
    EXPECT_EQ(a.skipPercent, b.skipPercent);
    EXPECT_EQ(a.autoResolve, b.autoResolve);
    EXPECT_EQ(a.autoRunMode, b.autoRunMode);
}

Bytes Serialized(const TaskArchiveRecord& record) {
    BuiltTaskRecord built = SerializeTaskRecord(record);
    EXPECT_TRUE(built.Built()) << built.failure;
    return built.bytes;
}

TEST(TaskRecord, EveryFieldStandsAtItsOffset) {
    const Bytes b = Serialized(FullRecord());
    ASSERT_EQ(b.size(), kTaskRecordSize);

    const struct {
        std::size_t offset;
        DWORD value;
    } words[] = {
        {0, 0x11223344}, {4, 0x01D9AABB},  {8, 0x55667788}, {12, 0x01D9AABC}, {16, 3},    {20, 4},    {24, 2},
        {28, 1},         {32, 0xCAFEF00D}, {6180, 3},       {10280, 5},       {10284, 2}, {10288, 1}, {10292, 0},
        {10296, 1},      {10300, 0},       {10304, 1},      {10308, 0},       {10312, 1}, {10316, 1}, {10320, 1},
        {10584, 1},      {10592, 1},       {10644, 1},      {10648, 90},      {10652, 1}, {10656, 1}, {10664, 40},
        {10668, 3},      {10672, 1},       {10676, 0},      {10680, 1},       {10684, 1}, {10688, 3},
    };
    for (const auto& w : words) EXPECT_EQ(U32At(b, w.offset), w.value) << "offset " << w.offset;

    const struct {
        std::size_t offset;
        WORD value;
    } halves[] = {{10580, 0x5000}, {10582, 0x5A21}, {10588, 0x5B3F}, {10590, 0x5A30}, {10660, 30}, {10662, 6}};
    for (const auto& h : halves) EXPECT_EQ(U16At(b, h.offset), h.value) << "offset " << h.offset;

    EXPECT_EQ(NarrowAt(b, 36), "Fotos \xC3\xA9t\xC3\xA9");
    EXPECT_EQ(Utf16At(b, 2084), u"/home/u/Bilder \u00fc\U0001F600");
    EXPECT_EQ(Utf16At(b, 4132), u"<CARD>:\\Photos");
    EXPECT_EQ(Utf16At(b, 6184), u"*.tmp \"a b\"");
    EXPECT_EQ(Utf16At(b, 8232), u"*.jpg *.png");
    EXPECT_EQ(NarrowAt(b, 10324), "Every Monday at 10:00");
    for (std::size_t i = 0; i < 48; ++i) EXPECT_EQ(b[10596 + i], 0xA0 + i);
    EXPECT_TRUE(ZeroRange(b, 10692, kTaskRecordSize));
    // Fields end in zeros up to their next neighbour.
    EXPECT_TRUE(ZeroRange(b, 36 + 11, 2084));
    EXPECT_TRUE(ZeroRange(b, 10324 + 21, 10580));
}

TEST(TaskRecord, ReadsBackEqualFieldByField) {
    const TaskArchiveRecord original = FullRecord();
    std::string fault;
    const std::optional<TaskArchiveRecord> parsed = ParseTaskRecord(Serialized(original), &fault);
    ASSERT_TRUE(parsed) << fault;
    ExpectSameRecord(*parsed, original);
}

TEST(TaskRecord, ScheduleFieldsOnlyWhileScheduledRepeatFieldsReadAlways) {
    TaskArchiveRecord record = FullRecord();
    record.scheduleOn = 0;
    record.repeatOn = 0;
    Bytes b = Serialized(record);
    EXPECT_TRUE(ZeroRange(b, 10324, 10644));
    EXPECT_EQ(U32At(b, 10660), 0u);

    // A run's end writes the DOS date even so, and the repeat words may hold leftovers:
    // the reader skips the first and copies the second.
    b[10590] = 0x21;
    b[10660] = 15;
    const auto parsed = ParseTaskRecord(b);
    ASSERT_TRUE(parsed);
    EXPECT_EQ(parsed->lastRunDosDate, 0);
    EXPECT_EQ(parsed->scheduleType, 0u);
    EXPECT_TRUE(parsed->scheduleText.empty());
    EXPECT_EQ(parsed->repeatMinutes, 15);

    // With a schedule but no end date the end date is neither written nor read.
    record = FullRecord();
    record.scheduleHasEnd = 0;
    b = Serialized(record);
    EXPECT_EQ(U16At(b, 10588), 0);
    b[10588] = 7;
    EXPECT_EQ(ParseTaskRecord(b)->scheduleEndDate, 0);
}

TEST(TaskRecord, OlderRecordsHoldTheirTextsIn8Bit) {
    Bytes b(kTaskRecordSize, 0);
    std::memcpy(&b[36], "Old", 3);
    std::memcpy(&b[2084], "/data/caf\xC3\xA9", 11);
    std::memcpy(&b[4132], "/backup", 7);
    std::memcpy(&b[6184], "*.bak", 5);
    std::memcpy(&b[8232], "*.doc", 5);
    const auto parsed = ParseTaskRecord(b);
    ASSERT_TRUE(parsed);
    EXPECT_EQ(parsed->leftFolder, L"/data/caf\u00e9");
    EXPECT_EQ(parsed->rightFolder, L"/backup");
    EXPECT_EQ(parsed->filter.excludeText, L"*.bak");
    EXPECT_EQ(parsed->filter.includeText, L"*.doc");

    // Written again it is a current record.
    const Bytes again = Serialized(*parsed);
    EXPECT_EQ(U32At(again, 10684), 1u);
    EXPECT_EQ(Utf16At(again, 2084), u"/data/caf\u00e9");
}

TEST(TaskRecord, DamagedRecordsAreRefusedWithTheirReason) {
    const Bytes good = Serialized(FullRecord());
    std::string fault;
    EXPECT_FALSE(ParseTaskRecord(std::span(good).first(kTaskRecordSize - 1), &fault));
    EXPECT_NE(fault.find("18819"), std::string::npos) << fault;
    Bytes longer = good;
    longer.push_back(0);
    EXPECT_FALSE(ParseTaskRecord(longer));

    const struct {
        std::size_t from, to;
        const char* field;
    } unterminated[] = {
        {36, 2084, "task name"},          {2084, 4132, "Left folder"},       {4132, 6180, "Right folder"},
        {6184, 8232, "exclusion filter"}, {8232, 10280, "inclusion filter"}, {10324, 10580, "schedule text"},
    };
    for (const auto& u : unterminated) {
        Bytes b = good;
        std::fill(b.begin() + static_cast<std::ptrdiff_t>(u.from), b.begin() + static_cast<std::ptrdiff_t>(u.to), 'x');
        fault.clear();
        EXPECT_FALSE(ParseTaskRecord(b, &fault)) << u.field;
        EXPECT_NE(fault.find(u.field), std::string::npos) << fault;
    }

    // An unscheduled record's schedule text is not read, so it cannot damage it.
    TaskArchiveRecord unscheduled = FullRecord();
    unscheduled.scheduleOn = 0;
    Bytes b = Serialized(unscheduled);
    std::fill(b.begin() + 10324, b.begin() + 10580, 'x');
    EXPECT_TRUE(ParseTaskRecord(b));
}

TEST(TaskRecord, TextsThatDoNotFitTheirFields) {
    // A name and folders fill their fields exactly and still end in a NUL.
    TaskArchiveRecord record = FullRecord();
    record.name = std::string(2047, 'n');
    record.leftFolder = L"/" + std::wstring(1021, L'l') + L"\U0001F600";  // 1024 units: one too many
    EXPECT_FALSE(SerializeTaskRecord(record).Built());
    record.leftFolder = L"/" + std::wstring(1020, L'l') + L"\U0001F600";  // 1023 units
    Bytes b = Serialized(record);
    EXPECT_EQ(b[36 + 2047], 0);
    EXPECT_EQ(U16At(b, 2084 + 2046), 0);
    EXPECT_EQ(ParseTaskRecord(b)->leftFolder, record.leftFolder);

    record.name = std::string(2048, 'n');
    BuiltTaskRecord refused = SerializeTaskRecord(record);
    EXPECT_FALSE(refused.Built());
    EXPECT_FALSE(refused.failure.empty());

    // A filter text loses whole entries from its end, never part of a quoted one.
    record = FullRecord();
    std::wstring entries;
    for (int i = 0; i < 200; ++i) entries += L"\"folder number " + std::to_wstring(i) + L"\" ";
    record.filter.excludeText = entries;
    BuiltTaskRecord built = SerializeTaskRecord(record);
    ASSERT_TRUE(built.Built());
    ASSERT_EQ(built.cuts.size(), 1u);
    EXPECT_NE(built.cuts[0].find("exclusion"), std::string::npos);
    const std::u16string stored = Utf16At(built.bytes, 6184);
    EXPECT_LT(stored.size(), 1024u);
    EXPECT_EQ(stored.back(), u'"');
    EXPECT_EQ(stored.find(u"\"folder number 0\" \"folder number 1\""), 0u);
    EXPECT_EQ(U32At(built.bytes, 8232), U32At(Serialized(FullRecord()), 8232));  // the next field is untouched

    // The schedule text is cut on a character boundary and keeps its NUL.
    record = FullRecord();
    record.scheduleText = std::string(254, 's') + "\xC3\xA9";
    b = Serialized(record);
    EXPECT_EQ(NarrowAt(b, 10324), std::string(254, 's'));
}

TEST(TaskRecord, RunFieldsAndContainerWordArePatchedInPlace) {
    const Bytes original = Serialized(FullRecord());
    Bytes b = original;
    TaskRunFields fields;
    fields.start = FILETIME{1, 2};
    fields.end = FILETIME{3, 4};
    fields.startSource = 5;
    fields.syncType = 0;
    fields.mode = 1;
    fields.dosDate = 0x1234;
    PutTaskRunFields(b, fields);
    PutTaskContainerMode(b, 2);
    for (std::size_t i = 0; i < kTaskRecordSize; ++i) {
        if (i < 32 || i == 10590 || i == 10591) continue;
        ASSERT_EQ(b[i], original[i]) << "offset " << i;
    }
    const TaskRunFields back = GetTaskRunFields(b);
    EXPECT_EQ(FileTimeToU64(back.start), FileTimeToU64(fields.start));
    EXPECT_EQ(FileTimeToU64(back.end), FileTimeToU64(fields.end));
    EXPECT_EQ(back.startSource, 5u);
    EXPECT_EQ(back.mode, 1u);
    EXPECT_EQ(back.dosDate, 0x1234);
    EXPECT_EQ(GetTaskContainerMode(b), 2u);
}

using TaskRecordOfTask = qbtest::SettingsFileTest;

TEST_F(TaskRecordOfTask, ATaskGoesIntoItsRecordAndComesBack) {
    SyncTask task;
    task.SetDefaults();
    ApplyTaskArchiveRecord(FullRecord(), task);
    ASSERT_TRUE(task.syncOptions && task.logOptions && task.filterOptions);
    EXPECT_TRUE(task.filterOptions->useExclusion);
    EXPECT_TRUE(task.filterOptions->useInclusion);
    EXPECT_TRUE(task.filterOptions->startFolder.empty());
    EXPECT_EQ(task.filterOptions->AttributeMask(), 5u);
    ExpectSameRecord(TaskArchiveRecordOf(task), FullRecord());
}

}  // namespace
