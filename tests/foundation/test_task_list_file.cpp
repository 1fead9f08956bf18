// Task-list files: export as a copy of the store, import by merging with unique names and
// history records, damaged members and refused names skipped, a store that cannot be
// written told and recorded as failed.

#include <gtest/gtest.h>

#include <cstring>

#include "foundation/history_store.h"
#include "foundation/task_list_file.h"
#include "platform/core/message_box.h"
#include "platform/core/text.h"
#include "task_store_test_support.h"

namespace {

using storetest::FullTask;
using storetest::PutMember;
using storetest::RecordBytes;
using storetest::TaskListWindow;
using storetest::TextHas;

class TaskListFileTest : public storetest::StoreTest {
protected:
    std::string ListPath() const { return dir_.sub("tasks.tle"); }
};

std::vector<HistoryRecord> History() {
    const auto list = ReadHistoryRecords(0);
    return list ? list->records : std::vector<HistoryRecord>{};
}

TEST_F(TaskListFileTest, ExportCopiesTheStoreWhole) {
    EXPECT_FALSE(ExportTaskList(ListPath()));  // no store yet
    ASSERT_TRUE(WriteTaskRecord(*FullTask("A")).written);
    qbtest::WriteFileBytes(ListPath(), "an older export");
    ASSERT_TRUE(ExportTaskList(ListPath()));
    EXPECT_EQ(qbtest::ReadFileBytes(ListPath()), qbtest::ReadFileBytes(StorePath()));
}

TEST_F(TaskListFileTest, ImportMergesIntoAStoreThatHoldsOneOfItsTasks) {
    for (const char* name : {"A", "B", "C"}) ASSERT_TRUE(WriteTaskRecord(*FullTask(name, name[0])).written);
    ASSERT_TRUE(ExportTaskList(ListPath()));
    for (const char* name : {"A", "B", "C"}) ASSERT_TRUE(DeleteTaskRecord(StorePath(), name));
    auto kept = FullTask("B", 99);
    ASSERT_TRUE(WriteTaskRecord(*kept).written);

    plat::ScopedMessageBoxHandler boxes;
    TaskListWindow list;
    const TaskLoadReport report = ImportTaskList(list.hwnd, ListPath());
    EXPECT_TRUE(report.complete);
    EXPECT_EQ(report.added, 3u);
    EXPECT_TRUE(report.scriptAdded);
    EXPECT_TRUE(report.skipped.empty());
    EXPECT_TRUE(boxes.Requests().empty());
    EXPECT_EQ(list.Names(), (std::vector<std::string>{"A", "B (2)", "C"}));

    // The task already there is untouched; the imported one is stored beside it.
    EXPECT_EQ(*ReadArchiveEntry(StorePath(), "B"), RecordBytes(*kept));
    auto imported = FullTask("B", 'B');
    imported->name = "B (2)";
    EXPECT_EQ(*ReadArchiveEntry(StorePath(), "B (2)"), RecordBytes(*imported));
    EXPECT_EQ(RecordBytes(*list.tasks[1]), RecordBytes(*imported));
    // Its logs are its own, not those of the task whose name it had in the file.
    for (const std::wstring* log : {&list.tasks[1]->sourceLog, &list.tasks[1]->targetLog}) {
        EXPECT_TRUE(log->ends_with(L"/B (2).log")) << plat::WideToUtf8(*log);
    }

    const std::vector<HistoryRecord> history = History();
    ASSERT_EQ(history.size(), 3u);
    const char* names[] = {"A", "B (2)", "C"};
    const char* texts[] = {"A", "B", "C"};
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(history[i].type, static_cast<DWORD>(kHistoryTaskImported));
        EXPECT_EQ(history[i].status, kHistoryEventDone);
        EXPECT_EQ(history[i].taskName, names[i]);
        EXPECT_EQ(history[i].text, texts[i]);
    }
}

TEST_F(TaskListFileTest, DamagedMembersAndRefusedNamesAreSkippedAndTold) {
    std::vector<std::uint8_t> escape = RecordBytes(*FullTask("X"));
    std::fill(escape.begin() + 36, escape.begin() + 2084, 0);
    std::memcpy(&escape[36], "..\\..\\x", 7);
    PutMember(ListPath(), "Escape", escape);
    PutMember(ListPath(), "Short", std::vector<std::uint8_t>(kTaskRecordSize - 1, 0));
    PutMember(ListPath(), "Good", RecordBytes(*FullTask("Good")));

    plat::ScopedMessageBoxHandler boxes;
    TaskListWindow list;
    const TaskLoadReport report = ImportTaskList(list.hwnd, ListPath());
    EXPECT_EQ(list.Names(), std::vector<std::string>{"Good"});
    ASSERT_EQ(report.skipped.size(), 2u);
    EXPECT_TRUE(TextHas(report.skipped[0], "Invalid task name"));
    EXPECT_TRUE(TextHas(report.skipped[1], "18819"));
    ASSERT_EQ(boxes.Requests().size(), 1u);
    EXPECT_TRUE(TextHas(boxes.Requests()[0].text, "tasks.tle"));
    EXPECT_FALSE(TaskNameExists("..\\..\\x"));
    EXPECT_EQ(History().size(), 1u);

    qbtest::WriteFileBytes(ListPath(), "not an archive");
    EXPECT_FALSE(ImportTaskList(list.hwnd, ListPath()).complete);
    EXPECT_EQ(boxes.Requests().size(), 2u);
}

TEST_F(TaskListFileTest, ATaskTheStoreCannotTakeIsToldAndRecordedAsFailed) {
    PutMember(ListPath(), "A", RecordBytes(*FullTask("A")));
    ASSERT_TRUE(plat::CreateFolder(StorePath()));  // the store cannot be written

    plat::ScopedMessageBoxHandler boxes;
    TaskListWindow list;
    const TaskLoadReport report = ImportTaskList(list.hwnd, ListPath());
    EXPECT_EQ(report.added, 0u);
    EXPECT_TRUE(list.tasks.empty());
    ASSERT_EQ(report.skipped.size(), 1u);
    EXPECT_TRUE(TextHas(report.skipped[0], "Failed to write to task file 'A'"));
    ASSERT_EQ(boxes.Requests().size(), 1u);

    const std::vector<HistoryRecord> history = History();
    ASSERT_EQ(history.size(), 1u);
    EXPECT_EQ(history[0].type, static_cast<DWORD>(kHistoryTaskImported));
    EXPECT_EQ(history[0].status, kHistoryEventFailed);
    EXPECT_EQ(history[0].text, "A");
}

}  // namespace
