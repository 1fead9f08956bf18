// The task store: saving and loading every field, damaged members skipped and reported
// without hiding the tasks after them, the task-name rule, the run's end and a save from
// two threads, failed writes, the container word, deleting and unique names.

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstring>
#include <thread>

#include "foundation/task_name_rule.h"
#include "platform/core/clock.h"
#include "platform/core/file_time.h"
#include "platform/core/message_box.h"
#include "support/file_size_limit.h"
#include "task_store_test_support.h"

namespace {

using storetest::FullTask;
using storetest::PutMember;
using storetest::RecordBytes;
using storetest::TaskListWindow;
using storetest::TextHas;

class TaskStoreTest : public storetest::StoreTest {};

void ExpectSameStoredFields(const SyncTask& a, const SyncTask& b) {
    EXPECT_EQ(RecordBytes(a), RecordBytes(b)) << a.name << " / " << b.name;
}

TEST(TaskNameRule, NamesFromTheDialogOrAFile) {
    const struct {
        std::string name;
        TaskNameFault fault;
    } cases[] = {
        {"Photos", TaskNameFault::None},
        {"   ", TaskNameFault::None},
        {"Caf\xC3\xA9 ..", TaskNameFault::None},
        {"", TaskNameFault::Empty},
        {"../evil", TaskNameFault::ForbiddenCharacter},
        {"a\\b", TaskNameFault::ForbiddenCharacter},
        {"C:", TaskNameFault::ForbiddenCharacter},
        {"x*", TaskNameFault::ForbiddenCharacter},
        {"\"q\"", TaskNameFault::ForbiddenCharacter},
        {"a|b<c>d?", TaskNameFault::ForbiddenCharacter},
        {"tab\there", TaskNameFault::ControlCharacter},
        {"line\nbreak", TaskNameFault::ControlCharacter},
        {"del\x7F", TaskNameFault::ControlCharacter},
        {"c1\xC2\x85", TaskNameFault::ControlCharacter},
        {std::string(251, 'n'), TaskNameFault::None},  // "<name>.log" is 255 bytes
        {std::string(252, 'n'), TaskNameFault::TooLong},
    };
    for (const auto& c : cases) EXPECT_EQ(CheckTaskName(c.name), c.fault) << c.name;

    EXPECT_EQ(TaskNameFaultText(TaskNameFault::Empty), "Please enter task name.");
    EXPECT_EQ(TaskNameFaultText(TaskNameFault::ForbiddenCharacter),
              "Invalid task name - can not have '/\"*?<>|:\\' char");
    EXPECT_FALSE(TaskNameFaultText(TaskNameFault::ControlCharacter).empty());
    EXPECT_TRUE(TaskNameFaultText(TaskNameFault::None).empty());
}

TEST_F(TaskStoreTest, SavedTasksLoadBackWithEveryField) {
    const plat::FixedClock clock(1'700'000'000);
    const plat::ClockOverride useClock(clock);
    auto first = FullTask("First", 1);
    auto second = FullTask("Second", 2);
    second->repeatOn = 0;
    ASSERT_TRUE(WriteTaskRecord(*first).written);
    ASSERT_TRUE(WriteTaskRecord(*second).written);
    EXPECT_EQ(*ReadArchiveEntry(StorePath(), "First"), RecordBytes(*first));

    plat::ScopedMessageBoxHandler boxes;
    TaskListWindow list;
    const TaskLoadReport report = LoadAllTasks(list.hwnd);
    EXPECT_TRUE(report.complete);
    EXPECT_EQ(report.added, 2u);
    EXPECT_TRUE(report.scriptAdded);
    EXPECT_TRUE(boxes.Requests().empty());
    ASSERT_EQ(list.Names(), (std::vector<std::string>{"First", "Second"}));

    const SyncTask& loaded = *list.tasks[0];
    ExpectSameStoredFields(loaded, *first);
    ExpectSameStoredFields(*list.tasks[1], *second);
    EXPECT_EQ(loaded.repeatBase, 1'700'000'000);  // a repeating task counts from the load
    EXPECT_EQ(loaded.sourceFolder, L"/srv/left/First");
    EXPECT_EQ(loaded.syncKind, kSyncKindBackup);
    EXPECT_EQ(loaded.rowIndex, -1);
    EXPECT_GE(loaded.scriptIndex, 0);  // scheduled: its script was added
}

TEST_F(TaskStoreTest, MissingStoreIsEmptyAndAnUnreadableOneIsTold) {
    plat::ScopedMessageBoxHandler boxes;
    TaskListWindow list;
    TaskLoadReport report = LoadAllTasks(list.hwnd);
    EXPECT_TRUE(report.complete);
    EXPECT_EQ(report.added, 0u);
    EXPECT_TRUE(boxes.Requests().empty());

    qbtest::WriteFileBytes(StorePath(), "not an archive");
    report = LoadAllTasks(list.hwnd);
    EXPECT_FALSE(report.complete);
    ASSERT_EQ(boxes.Requests().size(), 1u);
    EXPECT_TRUE(TextHas(boxes.Requests()[0].text, "_qb_sync.tas"));
}

TEST_F(TaskStoreTest, DamagedMembersAreSkippedAndToldAndTheRestLoad) {
    const std::vector<std::uint8_t> good = RecordBytes(*FullTask("A"));
    auto withName = [&](const std::string& name) {
        std::vector<std::uint8_t> b = good;
        std::fill(b.begin() + 36, b.begin() + 2084, 0);
        std::memcpy(&b[36], name.data(), name.size());
        return b;
    };
    std::vector<std::uint8_t> noNul = good;
    std::fill(noNul.begin() + 36, noNul.begin() + 2084, 'x');

    PutMember(StorePath(), "A", good);
    PutMember(StorePath(), "Short", std::vector<std::uint8_t>(good.begin(), good.end() - 1));
    PutMember(StorePath(), "NoNul", noNul);
    PutMember(StorePath(), "Escape", withName("../evil"));
    PutMember(StorePath(), "Control", withName("a\x01z"));
    PutMember(StorePath(), "Twin", withName("A"));
    PutMember(StorePath(), "E", withName("E"));

    plat::ScopedMessageBoxHandler boxes;
    TaskListWindow list;
    const TaskLoadReport report = LoadAllTasks(list.hwnd);
    EXPECT_TRUE(report.complete);
    EXPECT_EQ(list.Names(), (std::vector<std::string>{"A", "E"}));
    ASSERT_EQ(report.skipped.size(), 5u);
    EXPECT_TRUE(TextHas(report.skipped[0], "record 2") && TextHas(report.skipped[0], "18819"));
    EXPECT_TRUE(TextHas(report.skipped[1], "record 3") && TextHas(report.skipped[1], "task name field"));
    EXPECT_TRUE(TextHas(report.skipped[2], "../evil") && TextHas(report.skipped[2], "Invalid task name"));
    EXPECT_TRUE(TextHas(report.skipped[3], "control characters"));
    EXPECT_TRUE(TextHas(report.skipped[4], "loaded already"));
    ASSERT_EQ(boxes.Requests().size(), 1u);
    EXPECT_TRUE(TextHas(boxes.Requests()[0].text, report.skipped[4]));
}

TEST_F(TaskStoreTest, ATaskTheListDoesNotTakeIsFreed) {
    ASSERT_TRUE(WriteTaskRecord(*FullTask("A")).written);
    const TaskLoadReport report = LoadAllTasks(nullptr);  // no list: leak checks catch a lost task
    EXPECT_EQ(report.added, 0u);
}

TEST_F(TaskStoreTest, NamesThatBreakTheRuleOrFoldersThatDoNotFitAreNotSaved) {
    auto task = FullTask("ok");
    task->name = "sub/dir";
    TaskWriteResult result = WriteTaskRecord(*task);
    EXPECT_FALSE(result.written);
    EXPECT_EQ(result.failure, "Invalid task name - can not have '/\"*?<>|:\\' char");

    task->name = "long";
    task->leftFolder = std::wstring(1024, L'x');
    result = WriteTaskRecord(*task);
    EXPECT_FALSE(result.written);
    EXPECT_TRUE(TextHas(result.failure, "Left folder"));
    EXPECT_FALSE(TaskNameExists("long"));
}

TEST_F(TaskStoreTest, ARunsEndAndASaveFromTwoThreadsKeepBothChanges) {
    auto stored = FullTask("T");
    stored->syncOptions->type = kSyncLeftToRight;
    ASSERT_TRUE(WriteTaskRecord(*stored).written);

    for (DWORD round = 1; round <= 12; ++round) {
        // The run's thread has the new run times; the user's copy has new options and the
        // old run times.
        auto ran = FullTask("T");
        ran->runFacts.Update([&](TaskRunFacts& facts) {
            facts.lastRunStart = FILETIME{round, 0x01DA0000};
            facts.lastRunEnd = FILETIME{round + 100, 0x01DA0000};
        });
        ran->startSource = round % 6;
        auto edited = FullTask("T");
        edited->syncOptions->speed = round % 4;
        edited->skipPercent = round;

        TaskRunFieldsResult ended = TaskRunFieldsResult::Failed;
        TaskWriteResult saved;
        std::thread runThread([&] { ended = WriteTaskRunFields(*ran, 1); });
        std::thread userThread([&] { saved = WriteTaskRecord(*edited); });
        runThread.join();
        userThread.join();
        ASSERT_EQ(ended, TaskRunFieldsResult::Written);
        ASSERT_TRUE(saved.written);

        const auto bytes = ReadArchiveEntry(StorePath(), "T");
        ASSERT_TRUE(bytes);
        const auto record = ParseTaskRecord(*bytes);
        ASSERT_TRUE(record);
        EXPECT_EQ(record->lastRunStart.dwLowDateTime, round) << "round " << round;
        EXPECT_EQ(record->lastRunEnd.dwLowDateTime, round + 100);
        EXPECT_EQ(record->startSource, round % 6);
        EXPECT_EQ(record->lastRunMode, 1u);
        EXPECT_EQ(record->skipPercent, round) << "round " << round;
        EXPECT_EQ(record->sync.speed, round % 4);
    }
}

TEST_F(TaskStoreTest, ARunsEndWritesItsFieldsIntoTheMemberAndTheTask) {
    auto task = FullTask("T");
    task->scheduleOn = 0;
    task->runFacts.Update([](TaskRunFacts& facts) { facts.lastRunDosDate = 0; });
    ASSERT_TRUE(WriteTaskRecord(*task).written);
    const std::vector<std::uint8_t> before = *ReadArchiveEntry(StorePath(), "T");

    SYSTEMTIME start{};
    start.wYear = 2024;
    start.wMonth = 3;
    start.wDay = 9;
    start.wHour = 14;
    FILETIME startTime{};
    ASSERT_TRUE(SystemTimeToFileTime(&start, &startTime));
    task->runFacts.Update([&](TaskRunFacts& facts) {
        facts.lastRunStart = startTime;
        facts.lastRunEnd = startTime;
    });
    task->startSource = 4;
    task->syncOptions->type = kSyncMirror;
    EXPECT_EQ(WriteTaskRunFields(*task, 7), TaskRunFieldsResult::Written);

    const WORD dosDate = static_cast<WORD>(((2024 - 1980) << 9) | (3 << 5) | 9);
    EXPECT_EQ(task->runFacts.Get().lastRunDosDate, dosDate);
    EXPECT_EQ(task->runFacts.Get().lastRunSyncType, static_cast<DWORD>(kSyncMirror));
    EXPECT_EQ(task->runFacts.Get().lastRunMode, 2u);  // any mode but 0 and 1 is Check and Sync

    const std::vector<std::uint8_t> after = *ReadArchiveEntry(StorePath(), "T");
    const TaskRunFields fields = GetTaskRunFields(after);
    EXPECT_EQ(FileTimeToU64(fields.start), FileTimeToU64(task->runFacts.Get().lastRunStart));
    EXPECT_EQ(fields.startSource, 4u);
    EXPECT_EQ(fields.syncType, static_cast<DWORD>(kSyncMirror));
    EXPECT_EQ(fields.mode, 2u);
    EXPECT_EQ(fields.dosDate, dosDate);
    for (std::size_t i = 28; i < kTaskRecordSize; ++i) {
        if (i == 10590 || i == 10591) continue;
        ASSERT_EQ(after[i], before[i]) << "offset " << i;
    }

    // A later save keeps the run's date, though the schedule that would write it is off.
    ASSERT_TRUE(WriteTaskRecord(*FullTask("T")).written);
    EXPECT_EQ(GetTaskRunFields(*ReadArchiveEntry(StorePath(), "T")).dosDate, dosDate);

    auto unknown = FullTask("Unknown");
    const WORD untouched = unknown->runFacts.Get().lastRunDosDate;
    EXPECT_EQ(WriteTaskRunFields(*unknown, 0), TaskRunFieldsResult::NoMember);
    EXPECT_EQ(unknown->runFacts.Get().lastRunDosDate, untouched);
}

TEST_F(TaskStoreTest, FailedWritesAreReportedNotTakenForSuccess) {
    auto task = FullTask("T");
    ASSERT_TRUE(WriteTaskRecord(*task).written);
    {
        const qbtest::FileSizeLimit full(16);  // bigger writes fail, as on a full disk
        const TaskWriteResult saved = WriteTaskRecord(*task);
        EXPECT_FALSE(saved.written);
        EXPECT_EQ(saved.failure, "Failed to write to task file 'T'");
        EXPECT_EQ(WriteTaskRunFields(*task, 0), TaskRunFieldsResult::Failed);
        EXPECT_FALSE(SetTaskRecordType("T", 2));
    }
    // A member that is not one record is not patched.
    PutMember(StorePath(), "T", std::vector<std::uint8_t>(100, 1));
    EXPECT_EQ(WriteTaskRunFields(*task, 0), TaskRunFieldsResult::Failed);
    EXPECT_FALSE(SetTaskRecordType("T", 2));
}

TEST_F(TaskStoreTest, ARunsEndOnAStoreThatCannotBeReadIsAFailureNotAMissingTask) {
    auto task = FullTask("T");
    ASSERT_TRUE(WriteTaskRecord(*task).written);
    qbtest::WriteFileBytes(StorePath(), "not an archive at all");
    EXPECT_EQ(WriteTaskRunFields(*task, 0), TaskRunFieldsResult::Failed);
}

TEST_F(TaskStoreTest, TheContainerWordIsRewrittenOnlyWhenItChanges) {
    ASSERT_TRUE(WriteTaskRecord(*FullTask("T")).written);  // stored with word 1
    struct stat before {};
    ASSERT_EQ(stat(StorePath().c_str(), &before), 0);
    EXPECT_TRUE(SetTaskRecordType("T", 1));
    struct stat same {};
    ASSERT_EQ(stat(StorePath().c_str(), &same), 0);
    EXPECT_EQ(same.st_ino, before.st_ino);  // every rewrite renames a new file into place

    EXPECT_TRUE(SetTaskRecordType("T", 0));
    EXPECT_EQ(GetTaskContainerMode(*ReadArchiveEntry(StorePath(), "T")), 0u);
    EXPECT_FALSE(SetTaskRecordType("Missing", 1));
}

TEST_F(TaskStoreTest, DeletingNamingAndReadingOneTask) {
    EXPECT_TRUE(DeleteTaskRecord(StorePath(), "T"));  // no store: nothing to delete
    ASSERT_TRUE(WriteTaskRecord(*FullTask("T")).written);
    ASSERT_TRUE(WriteTaskRecord(*FullTask("T (2)")).written);
    EXPECT_TRUE(TaskNameExists("T"));
    EXPECT_FALSE(TaskNameExists("t"));
    EXPECT_EQ(MakeUniqueTaskName("New"), "New");
    EXPECT_EQ(MakeUniqueTaskName("T"), "T (3)");
    const std::string longName(kMaxTaskNameBytes, 'L');
    auto longNamed = FullTask("L");
    longNamed->name = longName;
    ASSERT_TRUE(WriteTaskRecord(*longNamed).written);
    const std::string unique = MakeUniqueTaskName(longName);
    EXPECT_EQ(unique.size(), kMaxTaskNameBytes);
    EXPECT_EQ(unique.substr(unique.size() - 4), " (2)");

    std::unique_ptr<SyncTask> copy = LoadTaskRecord("T (2)");
    ASSERT_TRUE(copy);
    EXPECT_EQ(copy->name, "T (2)");
    ExpectSameStoredFields(*copy, *FullTask("T (2)"));

    EXPECT_TRUE(DeleteTaskRecord(StorePath(), "T (2)"));
    EXPECT_FALSE(TaskNameExists("T (2)"));
    EXPECT_TRUE(DeleteTaskRecord(StorePath(), "T (2)"));  // already gone

    plat::ScopedMessageBoxHandler boxes;
    EXPECT_EQ(LoadTaskRecord("T (2)"), nullptr);
    ASSERT_EQ(boxes.Requests().size(), 1u);
    EXPECT_EQ(boxes.Requests()[0].text, "Invalid or empty task script file!");
    EXPECT_EQ(boxes.Requests()[0].type & MB_ICONMASK, MB_ICONERROR);
}

}  // namespace
