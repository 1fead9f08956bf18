#pragma once
// A task with a source and a target folder in a temporary folder, scanned into a run,
// with a task window and a log control on the test's own thread: what the copy and
// delete pass tests act on.

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "engine/model/folder_tree.h"
#include "engine/run/message_pace.h"
#include "engine/run/run_block.h"
#include "engine/run/run_log.h"
#include "engine/scan/scan.h"
#include "foundation/options/filter_options.h"
#include "foundation/options/log_options.h"
#include "foundation/options/sync_options.h"
#include "foundation/sync_task.h"
#include "platform/core/file_system.h"
#include "platform/core/message_test_support.h"
#include "platform/core/text.h"
#include "resources/sync_messages.h"
#include "support/temp_dir.h"

namespace passtest {

inline constexpr std::int64_t kTime = 1600000000;

inline std::wstring W(const std::string& text) { return plat::Utf8ToWide(text); }

inline void WriteFileAt(const std::string& path, const std::string& bytes, std::int64_t time) {
    qbtest::WriteFileBytes(path, bytes);
    const timespec times[2] = {{time, 0}, {time, 0}};
    utimensat(AT_FDCWD, path.c_str(), times, 0);
}

inline std::int64_t WriteTimeOf(const std::string& path) {
    struct stat st {};
    if (lstat(path.c_str(), &st) != 0) return -1;
    return st.st_mtim.tv_sec;
}

inline bool Exists(const std::string& path) { return plat::PathExists(path); }

// The names in a folder, sorted; none when it cannot be listed.
inline std::vector<std::string> NamesIn(const std::string& folder) {
    std::vector<std::string> names;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
        names.push_back(entry.path().filename());
    }
    std::sort(names.begin(), names.end());
    return names;
}

// The task window: answers the Stop question (`stopWhen` decides, given the number of
// questions so far) and counts rows and progress reports.
class TaskWindow {
public:
    TaskWindow()
        : procedure_([this](HWND, UINT message, WPARAM w, LPARAM) -> LRESULT { return Handle(message, w); }),
          hwnd_(plat::CreateMessageWindow(&procedure_)) {}
    ~TaskWindow() { DestroyWindow(hwnd_); }
    TaskWindow(const TaskWindow&) = delete;
    TaskWindow& operator=(const TaskWindow&) = delete;

    HWND Hwnd() const { return hwnd_; }

    std::function<bool(int questions)> stopWhen;
    int stopQuestions = 0;
    std::vector<std::string> rowsDone;    // relative paths, in order
    std::vector<std::string> copyEvents;  // "name <file>", "begin", "<percent>%", "end", "stop?"
    DWORD lastProgress = 0;

private:
    LRESULT Handle(UINT message, WPARAM w) {
        switch (message) {
        case WM_SYNC_QUERY_STOP:
            ++stopQuestions;
            copyEvents.push_back("stop?");
            return stopWhen && stopWhen(stopQuestions) ? 1 : 0;
        case WM_SYNC_LOG_LINE_W:
            copyEvents.push_back("name " + plat::WideToUtf8(reinterpret_cast<const wchar_t*>(w)));
            return 1;
        case WM_SYNC_COPY_BEGIN: copyEvents.push_back("begin"); return 1;
        case WM_SYNC_COPY_BYTES: copyEvents.push_back(std::to_string(w) + "%"); return 1;
        case WM_SYNC_COPY_SIZE: copyEvents.push_back("end"); return 1;
        case WM_SYNC_ITEM_DONE: rowsDone.push_back(reinterpret_cast<const CFileInfo*>(w)->relativePath); return 1;
        case WM_SYNC_PROGRESS_POS: lastProgress = static_cast<DWORD>(w); return 1;
        }
        return 0;
    }

    msgtest::LambdaWindow procedure_;
    HWND hwnd_;
};

// The log control: every line with its colour, without the line end.
class LogControl {
public:
    LogControl()
        : procedure_([this](HWND, UINT message, WPARAM w, LPARAM l) -> LRESULT {
              if (message == WM_SYNC_LOG_LINE_W) {
                  std::string text = plat::WideToUtf8(reinterpret_cast<const wchar_t*>(w));
                  if (text.ends_with("\r\n")) text.resize(text.size() - 2);
                  lines.emplace_back(std::move(text), static_cast<COLORREF>(l));
              }
              return 0;
          }),
          hwnd_(plat::CreateMessageWindow(&procedure_)) {}
    ~LogControl() { DestroyWindow(hwnd_); }
    LogControl(const LogControl&) = delete;
    LogControl& operator=(const LogControl&) = delete;

    HWND Hwnd() const { return hwnd_; }
    std::vector<std::pair<std::string, COLORREF>> lines;

private:
    msgtest::LambdaWindow procedure_;
    HWND hwnd_;
};

// Points the home trash into a temporary folder for the object's lifetime.
class ScopedDataHome {
public:
    explicit ScopedDataHome(const std::string& folder) {
        if (const char* old = std::getenv("XDG_DATA_HOME")) old_ = old;
        hadOld_ = !old_.empty();
        setenv("XDG_DATA_HOME", folder.c_str(), 1);
    }
    ~ScopedDataHome() {
        if (hadOld_)
            setenv("XDG_DATA_HOME", old_.c_str(), 1);
        else
            unsetenv("XDG_DATA_HOME");
    }
    ScopedDataHome(const ScopedDataHome&) = delete;
    ScopedDataHome& operator=(const ScopedDataHome&) = delete;

private:
    std::string old_;
    bool hadOld_ = false;
};

struct SyncPass {
    // The pass tests stop at a given question: one is asked after every item.
    ScopedMessagePaceInterval everyItem{0};
    qbtest::TempDir dir;
    std::string source = plat::CanonicalPath(dir.path(), true) + "/src";
    std::string target = plat::CanonicalPath(dir.path(), true) + "/dst";
    std::string trash = plat::CanonicalPath(dir.path(), true) + "/data/Trash";
    ScopedDataHome dataHome{plat::CanonicalPath(dir.path(), true) + "/data"};
    SyncTask task;
    SyncRunBlock run;
    TaskWindow window;
    LogControl log;
    DWORD counter = 0;

    SyncPass() {
        plat::CreateFolderWithParents(source);
        plat::CreateFolderWithParents(target);
        task.sourceFolder = W(source);
        task.targetFolder = W(target);
        task.sourceBackup = W(source + "/_qb_sync/_backup");
        task.targetBackup = W(target + "/_qb_sync/_backup");
        task.syncOptions = std::make_unique<CConfigSyncPage>(false);
        task.logOptions = std::make_unique<CConfigLogPage>(false);
        *static_cast<SyncOptionValues*>(task.syncOptions.get()) = SyncOptionValues{};
        task.syncOptions->saveDelete = 0;
        task.logOptions->log = 1;
        task.logOptions->logLevel = kLogDetailed;
        task.taskWindow = window.Hwnd();
        task.logControl = log.Hwnd();
        run.task = &task;
        run.syncOptions = task.syncOptions.get();
        run.logOptions = task.logOptions.get();
    }
    ~SyncPass() { run.task = nullptr; }

    std::string Src(const std::string& rel) const { return source + "/" + rel; }
    std::string Dst(const std::string& rel) const { return target + "/" + rel; }
    void SrcFile(const std::string& rel, const std::string& bytes = "abc", std::int64_t time = kTime) const {
        WriteFileAt(Src(rel), bytes, time);
    }
    void DstFile(const std::string& rel, const std::string& bytes = "abc", std::int64_t time = kTime) const {
        WriteFileAt(Dst(rel), bytes, time);
    }

    // Scans both folders into the run; every record gets a row in the task window.
    void Scan() {
        ScanRequest request;
        const std::wstring sourceWide = W(source);
        const std::wstring targetWide = W(target);
        request.sourceFolder = sourceWide;
        request.targetFolder = targetWide;
        FolderPairScan scan = ScanFolderPair(request);
        ASSERT_EQ(scan.result, kScanDone);
        run.sourceTree = std::move(scan.sourceRoot);
        run.targetTree = std::move(scan.targetRoot);
        int row = 0;
        for (FolderTreeNode* root : {run.sourceTree.get(), run.targetTree.get()}) {
            ForEachRecord(*root, [&](CFileInfo& record) { record.treeItem = row++; });
        }
    }

    static void ForEachRecord(FolderTreeNode& node, const std::function<void(CFileInfo&)>& visit) {
        if (node.folder) visit(*node.folder);
        if (node.files) {
            for (CFileInfo& file : *node.files) visit(file);
        }
        for (const auto& child : node.children) ForEachRecord(*child, visit);
    }

    // The record of that relative path in the source tree (or the target tree).
    CFileInfo& Record(const std::string& rel, bool inTargetTree = false) {
        CFileInfo* found = nullptr;
        ForEachRecord(inTargetTree ? *run.targetTree : *run.sourceTree, [&](CFileInfo& record) {
            if (record.relativePath == rel) found = &record;
        });
        if (!found) {
            ADD_FAILURE() << "no record " << rel;
            static CFileInfo none;
            return none;
        }
        return *found;
    }
    void SetAction(const std::string& rel, DWORD action, bool inTargetTree = false) {
        Record(rel, inTargetTree).state.SetAction(action);
    }

    std::vector<std::string> Lines() const {
        std::vector<std::string> texts;
        for (const auto& line : log.lines)
            texts.push_back(std::string(line.second == kLogRed ? "red: " : "") + line.first);
        return texts;
    }
};

}  // namespace passtest
