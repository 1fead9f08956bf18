// The history file: appends numbered by the member count under the archive's lock (also
// from two threads at once), reading every record with damaged members skipped, a missing
// file read as empty, deleting it, and the records and messages of task events and runs.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "foundation/archive_store.h"
#include "foundation/history_message.h"
#include "foundation/history_store.h"
#include "foundation/main_window.h"
#include "foundation/program_state.h"
#include "foundation/sync_task.h"
#include "platform/core/clock.h"
#include "platform/core/message_test_support.h"
#include "resources/sync_messages.h"
#include "support/archive_members.h"
#include "support/settings_fixture.h"
#include "support/temp_dir.h"

namespace {

using qbtest::HasMember;

// The history file lives in the data folder, here the test's own folder.
class HistoryStoreTest : public qbtest::SettingsFileTest {
protected:
    HistoryStoreTest() { ProgramState().dataFolder = dir_.path(); }
};

HistoryRecord Named(const std::string& name, DWORD status = 1) {
    HistoryRecord r;
    r.taskName = name;
    r.leftFolder = L"/left/" + std::wstring(name.begin(), name.end());
    r.status = status;
    return r;
}

std::unique_ptr<SyncTask> MakeTask() {
    auto task = std::make_unique<SyncTask>();
    task->SetDefaults();
    task->name = "Docs";
    task->leftFolder = L"<DOCUMENTS>";
    task->rightFolder = L"/media/usb/Docs";
    task->syncOptions = std::make_unique<CConfigSyncPage>(false);
    task->syncOptions->type = kBackupRightToLeft;
    task->syncOptions->allowDelete = 1;
    task->syncOptions->saveDelete = 0;
    task->syncOptions->lock = 1;
    task->syncOptions->readOnly = 0;
    task->syncOptions->readOnlyTarget = 1;
    task->syncOptions->caseSensitive = 0;
    return task;
}

// A message window on the test's own thread that takes the history path it is given.
struct PathReceiver {
    std::vector<std::string> paths;
    std::vector<std::string> captionWarnings;  // WM_SYNC_LOG_LINE with l 255
    msgtest::LambdaWindow window{[this](HWND, UINT message, WPARAM w, LPARAM l) -> LRESULT {
        if (message == WM_SYNC_LOG_LINE && l == 255) captionWarnings.emplace_back(reinterpret_cast<const char*>(w));
        if (message != WM_SYNC_HISTORY_CHANGED) return 0;
        const auto path = TakeHistoryPathParam(w);
        paths.push_back(path.value_or("<none>"));
        return 1;
    }};
    HWND hwnd = plat::CreateMessageWindow(&window);
    ~PathReceiver() { DestroyWindow(hwnd); }
};

}  // namespace

TEST_F(HistoryStoreTest, MissingFileReadsAsEmpty) {
    EXPECT_EQ(GetHistoryFilePath(), dir_.sub("qbsync.fhs"));
    EXPECT_EQ(CountHistoryRecords(), 0u);
    EXPECT_FALSE(ReadHistoryRecords(0).has_value());
    EXPECT_FALSE(DeleteHistoryFile());
}

TEST_F(HistoryStoreTest, AppendsAreNumberedAndReadBackInOrder) {
    for (const char* name : {"a", "b", "c"}) ASSERT_TRUE(WriteHistoryRecord(Named(name)));
    EXPECT_EQ(CountHistoryRecords(), 3u);
    for (const char* member : {"\"0\"", "\"1\"", "\"2\""}) EXPECT_TRUE(HasMember(GetHistoryFilePath(), member));

    const auto all = ReadHistoryRecords(0);
    ASSERT_TRUE(all.has_value());
    ASSERT_EQ(all->records.size(), 3u);
    EXPECT_TRUE(all->skipped.empty());
    EXPECT_EQ(all->records[0].taskName, "a");
    EXPECT_EQ(all->records[2].taskName, "c");
    EXPECT_EQ(all->records[2].leftFolder, L"/left/c");

    const auto tail = ReadHistoryRecords(2);
    ASSERT_TRUE(tail.has_value());
    ASSERT_EQ(tail->records.size(), 1u);
    EXPECT_EQ(tail->records[0].taskName, "c");
    EXPECT_FALSE(ReadHistoryRecords(3).has_value());
}

TEST_F(HistoryStoreTest, DamagedMembersAreSkippedAndTheOthersRead) {
    ASSERT_TRUE(WriteHistoryRecord(Named("first")));
    // Member 1: a record with one byte too many; member 2: far too short; member 3: a
    // record whose task name has no NUL.
    const HistoryRecordBytes good = SerializeHistoryRecord(Named("x"));
    std::vector<std::uint8_t> tooLong(good.begin(), good.end());
    tooLong.push_back(0);
    ASSERT_TRUE(WriteArchiveEntry(GetHistoryFilePath(), "1", tooLong));
    ASSERT_TRUE(WriteArchiveEntry(GetHistoryFilePath(), "2", std::vector<std::uint8_t>(100, 'z')));
    HistoryRecordBytes noNul = good;
    std::fill(noNul.begin(), noNul.begin() + 260, std::uint8_t{'n'});
    ASSERT_TRUE(WriteArchiveEntry(GetHistoryFilePath(), "3", noNul));
    ASSERT_TRUE(WriteHistoryRecord(Named("last", 7)));

    const auto list = ReadHistoryRecords(0);
    ASSERT_TRUE(list.has_value());
    ASSERT_EQ(list->records.size(), 5u);
    EXPECT_EQ(list->skipped, (std::vector<DWORD>{1, 2, 3}));
    EXPECT_EQ(list->records[0].taskName, "first");
    for (std::size_t i = 1; i <= 3; ++i) {
        EXPECT_EQ(SerializeHistoryRecord(list->records[i]), SerializeHistoryRecord(HistoryRecord{})) << i;
    }
    EXPECT_EQ(list->records[4].taskName, "last");
    EXPECT_EQ(list->records[4].status, 7u);
}

TEST_F(HistoryStoreTest, AnAppendNeverReplacesAMemberInUse) {
    // Members 0 and 2: the count (2) names a member that is already there.
    ASSERT_TRUE(WriteHistoryRecord(Named("zero")));
    ASSERT_TRUE(WriteArchiveEntry(GetHistoryFilePath(), "2", SerializeHistoryRecord(Named("two"))));
    ASSERT_TRUE(WriteHistoryRecord(Named("new")));
    EXPECT_EQ(CountHistoryRecords(), 3u);
    EXPECT_TRUE(HasMember(GetHistoryFilePath(), "\"3\""));
    const auto list = ReadHistoryRecords(2);
    ASSERT_TRUE(list.has_value());
    EXPECT_EQ(list->records[0].taskName, "two");
}

TEST_F(HistoryStoreTest, TwoThreadsAppendingTogetherLoseNothing) {
    constexpr int kEach = 50;
    auto append = [](const char* prefix) {
        for (int i = 0; i < kEach; ++i) ASSERT_TRUE(WriteHistoryRecord(Named(prefix + std::to_string(i))));
    };
    std::thread a(append, "A");
    std::thread b(append, "B");
    a.join();
    b.join();

    ASSERT_EQ(CountHistoryRecords(), 2u * kEach);
    const auto list = ReadHistoryRecords(0);
    ASSERT_TRUE(list.has_value());
    EXPECT_TRUE(list->skipped.empty());
    std::map<std::string, int> seen;
    std::map<char, int> next;
    for (const HistoryRecord& r : list->records) {
        ++seen[r.taskName];
        // Each thread's records keep the order it wrote them in.
        EXPECT_EQ(r.taskName.substr(1), std::to_string(next[r.taskName[0]]++));
    }
    EXPECT_EQ(seen.size(), 2u * kEach);
    EXPECT_EQ(next['A'], kEach);
    EXPECT_EQ(next['B'], kEach);
}

TEST_F(HistoryStoreTest, AfterDeletingTheFileTheNextRecordIsMemberZero) {
    ASSERT_TRUE(WriteHistoryRecord(Named("a")));
    ASSERT_TRUE(WriteHistoryRecord(Named("b")));
    EXPECT_TRUE(DeleteHistoryFile());
    EXPECT_EQ(CountHistoryRecords(), 0u);
    EXPECT_FALSE(ReadHistoryRecords(0).has_value());
    ASSERT_TRUE(WriteHistoryRecord(Named("c")));
    EXPECT_TRUE(HasMember(GetHistoryFilePath(), "\"0\""));
    EXPECT_EQ(ReadHistoryRecords(0)->records.at(0).taskName, "c");
}

TEST_F(HistoryStoreTest, AnUnwritableHistoryFileFailsCleanly) {
    ProgramState().dataFolder = dir_.sub("missing/folder");
    EXPECT_FALSE(WriteHistoryRecord(Named("a")));
    EXPECT_EQ(CountHistoryRecords(), 0u);

    // A folder where the file should be: nothing written, and the reason told.
    ProgramState().dataFolder = dir_.path();
    ASSERT_TRUE(std::filesystem::create_directory(GetHistoryFilePath()));
    const HistoryAppend refused = AppendHistoryRecord(Named("a"));
    EXPECT_FALSE(refused.written);
    EXPECT_EQ(refused.failure, "Failed to write the history record to '" + GetHistoryFilePath() + "': access denied.");
    EXPECT_TRUE(refused.setAside.empty());
}

TEST_F(HistoryStoreTest, ADamagedFileIsKeptUnderANewNameAndANewOneBegun) {
    qbtest::WriteFileBytes(GetHistoryFilePath(), "not a zip archive");
    EXPECT_EQ(CountHistoryRecords(), 0u);
    EXPECT_FALSE(ReadHistoryRecords(0).has_value());

    const HistoryAppend appended = AppendHistoryRecord(Named("a"));
    EXPECT_TRUE(appended.written);
    ASSERT_FALSE(appended.setAside.empty());
    EXPECT_EQ(appended.setAside.rfind(dir_.path() + "/qbsync-damaged-", 0), 0u) << appended.setAside;
    EXPECT_EQ(qbtest::ReadFileBytes(appended.setAside), "not a zip archive");
    EXPECT_EQ(appended.SetAsideLine(), "The history file '" + GetHistoryFilePath() + "' is damaged: it is kept as '" +
                                           appended.setAside + "' and a new one was begun.");
    const auto list = ReadHistoryRecords(0);
    ASSERT_TRUE(list.has_value());
    ASSERT_EQ(list->records.size(), 1u);
    EXPECT_EQ(list->records[0].taskName, "a");
    EXPECT_TRUE(HasMember(GetHistoryFilePath(), "\"0\""));
    // The next append goes on in the new file.
    EXPECT_TRUE(AppendHistoryRecord(Named("b")).setAside.empty());
    EXPECT_EQ(CountHistoryRecords(), 2u);

    // A task event that sets a damaged file aside says so in the caption bar.
    qbtest::WriteFileBytes(GetHistoryFilePath(), "damaged again");
    PathReceiver receiver;
    SetMainWindow(receiver.hwnd);
    EXPECT_TRUE(AddHistoryRecord(*MakeTask(), kHistoryTaskCreated, 0, kHistoryEventDone, ""));
    SetMainWindow(nullptr);
    ASSERT_EQ(receiver.captionWarnings.size(), 1u);
    EXPECT_EQ(receiver.captionWarnings[0].rfind("The history file '" + GetHistoryFilePath() + "' is damaged", 0), 0u);
    EXPECT_EQ(CountHistoryRecords(), 1u);
}

TEST_F(HistoryStoreTest, TaskEventRecordAndItsMessage) {
    const plat::FixedClock clock(1'700'000'000);
    const plat::ClockOverride useClock(clock);
    PathReceiver receiver;
    SetMainWindow(receiver.hwnd);
    const auto task = MakeTask();
    task->startSource = 3;  // not carried into event records

    ASSERT_TRUE(AddHistoryRecord(*task, kHistoryTaskRenamed, 0, kHistoryEventDone, "Old Docs"));
    SetMainWindow(nullptr);
    EXPECT_EQ(receiver.paths, std::vector<std::string>{GetHistoryFilePath()});

    const auto list = ReadHistoryRecords(0);
    ASSERT_TRUE(list.has_value());
    const HistoryRecord& r = list->records.at(0);
    EXPECT_EQ(r.taskName, "Docs");
    EXPECT_EQ(r.leftFolder, L"<DOCUMENTS>");
    EXPECT_EQ(r.rightFolder, L"/media/usb/Docs");
    EXPECT_EQ(r.text, "Old Docs");
    EXPECT_EQ(r.type, static_cast<DWORD>(kHistoryTaskRenamed));
    EXPECT_EQ(r.code, 0u);
    EXPECT_EQ(r.status, 1u);
    EXPECT_EQ(r.startSource, 0u);
    EXPECT_EQ(r.syncType, 4u);
    EXPECT_EQ(r.allowDelete, 1u);
    EXPECT_EQ(r.saveDelete, 0u);
    EXPECT_EQ(r.lock, 1u);
    EXPECT_EQ(r.readOnly, 0u);
    EXPECT_EQ(r.readOnlyTarget, 1u);
    EXPECT_EQ(r.ignoreCase, 1u);
    // The same local time twice.
    EXPECT_EQ(FileTimeToU64(r.start), FileTimeToU64(plat::NowLocalFileTime()));
    EXPECT_EQ(FileTimeToU64(r.end), FileTimeToU64(r.start));
}

TEST_F(HistoryStoreTest, AFailedEventAppendSendsNothing) {
    PathReceiver receiver;
    SetMainWindow(receiver.hwnd);
    ProgramState().dataFolder = dir_.sub("missing");
    const auto task = MakeTask();
    EXPECT_FALSE(AddHistoryRecord(*task, kHistoryTaskChanged, kHistoryChangeFolders, 1, ""));
    SetMainWindow(nullptr);
    EXPECT_TRUE(receiver.paths.empty());
}

TEST_F(HistoryStoreTest, EventRecordWithoutAMainWindowIsStillWritten) {
    const auto task = MakeTask();
    task->syncOptions.reset();  // the options' defaults stand in
    EXPECT_TRUE(AddHistoryRecord(*task, kHistoryTaskCreated, 0, 1, ""));
    const HistoryRecord r = ReadHistoryRecords(0)->records.at(0);
    EXPECT_EQ(r.syncType, 1u);
    EXPECT_EQ(r.saveDelete, 1u);
    EXPECT_EQ(r.ignoreCase, 0u);
}

TEST_F(HistoryStoreTest, RunRecordCarriesTheRunsTimesAndResultAndIsPosted) {
    PathReceiver receiver;
    const auto task = MakeTask();
    task->startSource = 2;
    task->startThread = receiver.hwnd;

    const HistoryRecord prepared = MakeRunHistoryRecord(*task, 1);
    EXPECT_EQ(prepared.type, static_cast<DWORD>(kHistoryCheck));
    EXPECT_EQ(prepared.startSource, 2u);
    EXPECT_EQ(FileTimeToU64(prepared.start), 0u);
    EXPECT_EQ(MakeRunHistoryRecord(*task, 0).type, static_cast<DWORD>(kHistorySync));
    EXPECT_EQ(MakeRunHistoryRecord(*task, 7).type, static_cast<DWORD>(kHistoryCheckAndSync));

    task->runFacts.Update([](TaskRunFacts& facts) {
        facts.lastRunStatus = 0;  // stored as 0x80000000, read back as 0
        facts.lastRunStart = FILETIME{100, 1};
        facts.lastRunEnd = FILETIME{200, 1};
    });
    EXPECT_TRUE(AddRunHistoryRecord(&prepared, *task).written);
    EXPECT_TRUE(receiver.paths.empty());  // posted, not sent
    plat::ProcessPendingMessages();
    EXPECT_EQ(receiver.paths, std::vector<std::string>{GetHistoryFilePath()});

    const HistoryRecord r = ReadHistoryRecords(0)->records.at(0);
    EXPECT_EQ(r.type, static_cast<DWORD>(kHistoryCheck));
    EXPECT_EQ(r.startSource, 2u);
    EXPECT_EQ(r.status, 0u);
    EXPECT_EQ(FileTimeToU64(r.start), FileTimeToU64(FILETIME{100, 1}));
    EXPECT_EQ(FileTimeToU64(r.end), FileTimeToU64(FILETIME{200, 1}));
    EXPECT_EQ(r.ignoreCase, 1u);
}

TEST_F(HistoryStoreTest, RunEndPostsEvenWhenTheAppendFails) {
    PathReceiver receiver;
    const auto task = MakeTask();
    task->startThread = receiver.hwnd;
    const HistoryRecord prepared = MakeRunHistoryRecord(*task, 2);
    ProgramState().dataFolder = dir_.sub("missing");
    EXPECT_FALSE(AddRunHistoryRecord(&prepared, *task).written);
    plat::ProcessPendingMessages();
    EXPECT_EQ(receiver.paths.size(), 1u);
}

TEST_F(HistoryStoreTest, ARunWithoutAPreparedRecordWritesNothing) {
    PathReceiver receiver;
    const auto task = MakeTask();
    task->startThread = receiver.hwnd;
    EXPECT_TRUE(AddRunHistoryRecord(nullptr, *task).written);
    plat::ProcessPendingMessages();
    EXPECT_TRUE(receiver.paths.empty());
    EXPECT_EQ(CountHistoryRecords(), 0u);
}
