#pragma once
// Shared by the task-store and task-list-file tests: a data folder of its own, a task list
// window that keeps the tasks it is handed, tasks with every field set, raw members.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "foundation/archive_store.h"
#include "foundation/program_state.h"
#include "foundation/sync_task.h"
#include "foundation/task_record.h"
#include "foundation/task_store.h"
#include "platform/core/file_ops.h"
#include "platform/core/message_test_support.h"
#include "resources/sync_messages.h"
#include "support/settings_fixture.h"
#include "support/temp_dir.h"

namespace storetest {

// The data folder, with the settings file in it, is "Data" in the test's own folder.
class StoreTest : public qbtest::SettingsFileTest {
protected:
    void SetUp() override {
        ProgramState().dataFolder = dir_.sub("Data");
        ProgramState().settingsFile = dir_.sub("Data/qboptions.ini");
        ASSERT_TRUE(plat::CreateFolderWithParents(ProgramState().dataFolder));
    }

    std::string StorePath() const { return GetTaskListFilePath(); }
};

// The task list as far as the store sees it: it takes every task it is handed.
struct TaskListWindow {
    std::vector<std::unique_ptr<SyncTask>> tasks;
    msgtest::LambdaWindow window{[this](HWND, UINT message, WPARAM w, LPARAM) -> LRESULT {
        if (message != WM_SYNC_TASK_ADDED) return 0;
        tasks.emplace_back(reinterpret_cast<SyncTask*>(w));
        return 1;
    }};
    HWND hwnd = plat::CreateMessageWindow(&window);
    ~TaskListWindow() { DestroyWindow(hwnd); }

    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        for (const auto& task : tasks) names.push_back(task->name);
        return names;
    }
};

// A task as the store would load it, with every stored field set.
inline std::unique_ptr<SyncTask> FullTask(const std::string& name, DWORD seed = 0) {
    TaskArchiveRecord r;
    r.lastRunStart = FILETIME{0x10000000 + seed, 0x01D9AABB};
    r.lastRunEnd = FILETIME{0x20000000 + seed, 0x01D9AABB};
    r.startSource = 2;
    r.lastRunSyncType = 1;
    r.lastRunMode = 2;
    r.containerMode = 1;
    r.reservedWord = 77;
    r.name = name;
    r.leftFolder = L"/srv/left/" + std::wstring(name.begin(), name.end());
    r.rightFolder = L"/srv/right \u00e9";
    r.filter.filterMode = 1;
    r.filter.excludeText = L"*.tmp \"a b\"";
    r.filter.includeText = L"*.jpg";
    r.filter.readonly = true;
    r.filter.empty = true;
    r.sync.type = 3;
    r.sync.allowDelete = 1;
    r.sync.lock = 1;
    r.sync.speed = 2;
    r.sync.caseSensitive = 0;
    r.log.logLevel = 0;
    r.log.clearLog = 1;
    r.scheduleOn = 1;
    r.scheduleText = "Daily at 10:00";
    r.scheduleStartTime = 0x5000;
    r.scheduleStartDate = 0x5A21;
    r.scheduleHasEnd = 1;
    r.scheduleEndDate = 0x5B3F;
    r.lastRunDosDate = 0x5A30;
    r.scheduleType = 0;
    r.scheduleBlock[0] = 1;
    r.runAtStart = 1;
    r.startDelaySeconds = 30;
    r.runOnDevice = 1;
    r.repeatOn = 1;
    r.repeatMinutes = 15;
    r.repeatHours = 1;
    r.skipPercent = 20;
    r.autoResolve = 2;
    r.autoRunMode = 1;

    auto task = std::make_unique<SyncTask>();
    task->SetDefaults();
    ApplyTaskArchiveRecord(r, *task);
    return task;
}

inline std::vector<std::uint8_t> RecordBytes(const SyncTask& task) {
    return SerializeTaskRecord(TaskArchiveRecordOf(task)).bytes;
}

// Stores `bytes` as they are under the member of `name`.
inline void PutMember(const std::string& archive, const std::string& name, const std::vector<std::uint8_t>& bytes) {
    ASSERT_TRUE(WriteArchiveEntry(archive, name, bytes));
}

inline bool TextHas(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

}  // namespace storetest
