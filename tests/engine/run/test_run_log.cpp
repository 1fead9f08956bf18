#include "engine/run/run_log.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "engine/run/run_block.h"
#include "foundation/log_file.h"
#include "foundation/program_state.h"
#include "foundation/sync_task.h"
#include "platform/core/clock.h"
#include "platform/core/file_info.h"
#include "platform/core/message_test_support.h"
#include "platform/core/text.h"
#include "resources/sync_messages.h"
#include "support/temp_dir.h"

namespace {

std::wstring W(const std::string& s) { return plat::Utf8ToWide(s); }

// Fixes the time zone and the C library's time locale for one test.
class ScopedZoneAndLocale {
public:
    ScopedZoneAndLocale() {
        if (const char* old = std::getenv("TZ")) oldZone_ = old;
        setenv("TZ", "UTC0", 1);
        tzset();
        oldLocale_ = std::setlocale(LC_TIME, nullptr);
        std::setlocale(LC_TIME, "C");
    }
    ~ScopedZoneAndLocale() {
        if (oldZone_)
            setenv("TZ", oldZone_->c_str(), 1);
        else
            unsetenv("TZ");
        tzset();
        std::setlocale(LC_TIME, oldLocale_.c_str());
    }

private:
    std::optional<std::string> oldZone_;
    std::string oldLocale_;
};

// A log control on a thread of its own, as the GUI thread would own it: it keeps every
// line it is sent, with the message (W for wide) and the colour.
class TestLogControl {
public:
    struct Line {
        bool wide;
        std::string text;  // UTF-8
        LPARAM colour;
        bool operator==(const Line&) const = default;
    };

    TestLogControl()
        : thread_([this](HWND, UINT message, WPARAM w, LPARAM l) -> LRESULT {
              std::lock_guard guard(mutex_);
              if (message == WM_SYNC_LOG_LINE) lines_.push_back({false, reinterpret_cast<const char*>(w), l});
              if (message == WM_SYNC_LOG_LINE_W)
                  lines_.push_back({true, plat::WideToUtf8(reinterpret_cast<const wchar_t*>(w)), l});
              return 0;
          }) {}

    HWND Hwnd() const { return thread_.Hwnd(); }
    std::vector<Line> Lines() {
        std::lock_guard guard(mutex_);
        return lines_;
    }

private:
    std::mutex mutex_;
    std::vector<Line> lines_;
    msgtest::WindowThread thread_;
};

using Line = TestLogControl::Line;

// A run of a task with both logs in a temporary folder and a log control.
struct LoggedRun {
    qbtest::TempDir dir;
    SyncTask task;
    SyncRunBlock run;
    TestLogControl control;
    std::string sourcePath = dir.sub("left.log");
    std::string targetPath = dir.sub("right.log");

    explicit LoggedRun(bool withLogs = true) {
        task.name = "Photos";
        task.sourceFolder = L"/home/u/Photos";
        task.targetFolder = L"/media/u/CARD/Photos";
        task.logControl = control.Hwnd();
        task.syncOptions = std::make_unique<CConfigSyncPage>(false);
        task.filterOptions = std::make_unique<CConfigCompressFilterPage>(false, L"");
        run.task = &task;
        run.syncOptions = task.syncOptions.get();
        run.filterOptions = task.filterOptions.get();
        if (withLogs) {
            run.sourceLog = std::make_unique<CLog>(W(sourcePath), 0, true);
            run.targetLog = std::make_unique<CLog>(W(targetPath), 0, true);
        }
    }
    ~LoggedRun() { run.task = nullptr; }

    std::string Source() const { return qbtest::ReadFileBytes(sourcePath); }
    std::string Target() const { return qbtest::ReadFileBytes(targetPath); }
};

bool FileExists(const std::string& path) {
    plat::FileInfo info;
    return plat::GetFileInfo(path, info);
}

TEST(RunLogLines, ToBothLogsAndTheControl) {
    LoggedRun r;
    AddRunLogLine(r.run, "Copy caf\xC3\xA9.txt", kLogBlack);
    AddRunLogLineW(r.run, W("Failed \xE2\x82\xAC \xF0\x9F\x93\xB7"), kLogRed);
    AddRunLogLine(r.run, "", kLogBlack);  // no file line, but an empty control line

    const std::string expected = "Copy caf\xC3\xA9.txt\r\nFailed \xE2\x82\xAC \xF0\x9F\x93\xB7\r\n";
    EXPECT_EQ(r.Source(), expected);
    EXPECT_EQ(r.Target(), expected);
    const std::vector<Line> lines = {
        {false, "Copy caf\xC3\xA9.txt\r\n", 0},
        {true, "Failed \xE2\x82\xAC \xF0\x9F\x93\xB7\r\n", 255},
        {false, "\r\n", 0},
    };
    EXPECT_EQ(r.control.Lines(), lines);
}

TEST(RunLogLines, LoggingOffReachesOnlyTheControl) {
    LoggedRun r(false);
    AddRunLogLine(r.run, "The two folders have nothing in common.", kLogRed);
    LogRunBanner(r.run, "Starting", kLogBlack);
    WriteRunHeader(r.run);  // the sync and options lines still reach the control
    LogRunCompleted(r.run);
    EXPECT_FALSE(FileExists(r.sourcePath));
    EXPECT_FALSE(FileExists(r.targetPath));
    const std::vector<Line> lines = r.control.Lines();
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], (Line{false, "The two folders have nothing in common.\r\n", 255}));
    EXPECT_EQ(lines[1].text, "'/home/u/Photos' Sync with '/media/u/CARD/Photos'\r\n");
    EXPECT_EQ(lines[2].text.rfind("Options:", 0), 0u);
}

TEST(RunLogLines, NoTaskWindowNoControlLines) {
    LoggedRun r;
    r.task.logControl = nullptr;
    AddRunLogLine(r.run, "only the files", kLogBlack);
    EXPECT_EQ(r.Source(), "only the files\r\n");
    EXPECT_TRUE(r.control.Lines().empty());
}

TEST(RunLogLines, WorkerAndCatalogThreadLinesStayWhole) {
    LoggedRun r;
    constexpr int kLines = 300;
    const std::string worker = "Copy /home/u/Photos/a-rather-long-name-" + std::string(200, 'w') + ".jpg";
    const std::string catalog =
        "Save '/media/u/CARD/_qb_sync/_qb_sync._if' catalog file (" + std::string(150, 'c') + ")";
    std::thread other([&] {
        for (int i = 0; i < kLines; ++i) AddRunLogLine(r.run, catalog, kLogBlack);
    });
    for (int i = 0; i < kLines; ++i) AddRunLogLineW(r.run, W(worker), kLogBlack);
    other.join();

    for (const std::string& bytes : {r.Source(), r.Target()}) {
        std::map<std::string, int> seen;
        std::size_t from = 0;
        while (from < bytes.size()) {
            const std::size_t end = bytes.find("\r\n", from);
            ASSERT_NE(end, std::string::npos);
            ++seen[bytes.substr(from, end - from)];
            from = end + 2;
        }
        EXPECT_EQ(seen.size(), 2u);
        EXPECT_EQ(seen[worker], kLines);
        EXPECT_EQ(seen[catalog], kLines);
    }
    EXPECT_EQ(r.control.Lines().size(), 2u * kLines);
}

TEST(RunLogBanners, HeaderOfATimerCheckAndSync) {
    const ScopedZoneAndLocale zone;
    plat::FixedClock clock(1704164645);  // 2024-01-02 03:04:05 UTC
    const plat::ClockOverride useClock(clock);
    const std::string oldComputer = ProgramState().computerName;
    ProgramState().computerName = "studio";

    LoggedRun r;
    r.task.startSource = 2;
    SetRunMode(r.run, 2);
    CConfigSyncPage& sync = *r.task.syncOptions;
    sync.type = kSyncMirror;
    sync.allowDelete = 1;
    sync.saveDelete = 0;
    sync.lock = 1;
    sync.readOnly = 1;
    sync.readOnlyTarget = 0;
    sync.caseSensitive = 0;
    CConfigCompressFilterPage& filter = *r.task.filterOptions;
    filter.filterMode = 3;
    filter.includeText = W("*.jpg \"caf\xC3\xA9 *\"");
    filter.excludeText = L"*.tmp";
    filter.hidden = true;
    filter.system = false;
    filter.readonly = true;
    filter.empty = true;
    WriteRunHeader(r.run);
    ProgramState().computerName = oldComputer;

    const std::string banner =
        "--- Task 'Photos' 'CHECK+SYNC' Started by 'TIMER' at 'studio' - 01/02/24 03:04:05  ---\r\n";
    const std::string common = banner +
                               "'/home/u/Photos' Mirror with '/media/u/CARD/Photos'\r\n"
                               "Options: Del Allowed; No Save Changed; Copy Lock; Src Readonly; No Case-Aware;\r\n"
                               "Inclusion Filter - *.jpg \"caf\xC3\xA9 *\" \r\n"
                               "Exclusion Filter - *.tmp\r\n"
                               "Exclude: Hidden;RdOnly;Empty Folder;\r\n";
    EXPECT_EQ(r.Source(), common);
    EXPECT_EQ(r.Target(), common);

    // The control sees every line once.
    const std::vector<Line> lines = {
        {false, banner, 0},
        {true, "'/home/u/Photos' Mirror with '/media/u/CARD/Photos'\r\n", 0},
        {false, "Options: Del Allowed; No Save Changed; Copy Lock; Src Readonly; No Case-Aware;\r\n", 0},
        {true, "Inclusion Filter - *.jpg \"caf\xC3\xA9 *\" \r\n", 0},
        {true, "Exclusion Filter - *.tmp\r\n", 0},
        {false, "Exclude: Hidden;RdOnly;Empty Folder;\r\n", 0},
    };
    EXPECT_EQ(r.control.Lines(), lines);

    clock.Advance(61);
    LogRunCompleted(r.run);
    const std::string done = "--- CHECK+SYNC Completed - 01/02/24 03:05:06  ---\r\n";
    EXPECT_EQ(r.Source(), common + done);
    EXPECT_EQ(r.Target(), common + done);
    const std::vector<Line> all = r.control.Lines();
    ASSERT_EQ(all.size(), lines.size() + 2);
    EXPECT_EQ(all[lines.size()], (Line{false, done, 0}));
    EXPECT_EQ(all[lines.size() + 1], (Line{false, "\r\n", 0}));
}

TEST(RunLogBanners, SyncLineByType) {
    const struct {
        DWORD type;
        const char* line;
    } cases[] = {
        {kSyncMirror, "'/home/u/Photos' Mirror with '/media/u/CARD/Photos'"},
        {kSyncLeftToRight, "'/home/u/Photos' Sync with '/media/u/CARD/Photos'"},
        {kSyncRightToLeft, "'/home/u/Photos' Sync with '/media/u/CARD/Photos'"},
        {kBackupLeftToRight, "'/home/u/Photos' Back up to '/media/u/CARD/Photos'"},
        {kBackupRightToLeft, "'/home/u/Photos' Back up to '/media/u/CARD/Photos'"},
    };
    for (const auto& c : cases) {
        LoggedRun r(false);
        r.task.syncOptions->type = c.type;
        WriteRunHeader(r.run);
        const std::vector<Line> lines = r.control.Lines();
        ASSERT_FALSE(lines.empty());
        EXPECT_EQ(lines[0].text, std::string(c.line) + "\r\n") << c.type;
    }
}

TEST(RunLogBanners, OptionsLineAndFilterLinesByMode) {
    const struct {
        DWORD filterMode;
        bool hidden, system, readonly, empty;
        const char* lines;  // the filter lines after the options line
    } cases[] = {
        {0, false, false, false, false, "Inclusion Filter - No \r\nExclusion Filter - No\r\n"},
        {1, false, true, false, false, "Exclusion Filter - *.tmp\r\nInclusion Filter - No \r\nExclude: System;\r\n"},
        {2, true, true, true, true,
         "Inclusion Filter - *.jpg \r\nExclusion Filter - No\r\nExclude: Hidden;System;RdOnly;Empty Folder;\r\n"},
        {7, false, false, false, false, "Inclusion Filter - *.jpg \r\nExclusion Filter - *.tmp\r\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.filterMode);
        LoggedRun r;
        CConfigSyncPage& sync = *r.task.syncOptions;
        sync.allowDelete = 0;
        sync.saveDelete = 1;
        sync.lock = 0;
        sync.readOnly = 0;
        sync.readOnlyTarget = 1;
        sync.caseSensitive = 1;
        CConfigCompressFilterPage& filter = *r.task.filterOptions;
        filter.filterMode = c.filterMode;
        filter.includeText = L"*.jpg";
        filter.excludeText = L"*.tmp";
        filter.hidden = c.hidden;
        filter.system = c.system;
        filter.readonly = c.readonly;
        filter.empty = c.empty;
        WriteRunHeader(r.run);
        const std::string options = "Options: No Del; Save Changed; No Copy Lock; Target Readonly; Case-Aware;\r\n";
        const std::string source = r.Source();
        const std::size_t at = source.find(options);
        ASSERT_NE(at, std::string::npos);
        EXPECT_EQ(source.substr(at + options.size()), c.lines);
    }
}

TEST(RunLogBanners, ModeAndTriggerWords) {
    const struct {
        LPARAM mode;
        const char* word;
    } modes[] = {{0, "SYNC"}, {1, "CHECK"}, {2, "CHECK+SYNC"}};
    for (const auto& m : modes) {
        SyncRunBlock run;
        SetRunMode(run, m.mode);
        EXPECT_EQ(RunModeWord(run), m.word);
    }

    const std::string oldUser = ProgramState().userName;
    ProgramState().userName = "ada";
    const char* const triggers[] = {"ada", "CONTAINER", "TIMER", "SCHEDULER", "AUTO START", "AUTO CONNECT", ""};
    for (DWORD source = 0; source < 7; ++source) EXPECT_EQ(RunTriggerWord(source), triggers[source]) << source;
    ProgramState().userName = oldUser;
}

TEST(RunLogSummary, EveryResultCode) {
    const struct {
        DWORD code;
        const char* suffix;
    } cases[] = {
        {1, " Successfully"},
        {2, ""},
        {3, " (User stops operation)"},
        {4, " (Shadow Copy failed)"},
        {5, " (Warning: Unresolved conflicts)"},
        {6, " (Warning: Failed to copy files)"},
        {7, " (Nothing to do)"},
        {8, " (Error: Over limit)"},
        {9, " (Error: Disk Full)"},
        {10, ""},
        {11, " (Error: Failed to create catalog folder)"},
        {12, " (Error: Low Memory)"},
        {13, ""},
        {14, " (Error: Folder is empty or not mounted)"},
        {0, ""},
        {15, " (Error: Folder cannot be read)"},
        {16, " (Warning: Some items were skipped)"},
        {17, ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FormatRunSummary(c.code, false), std::string("Sync has finished") + c.suffix) << c.code;
        EXPECT_EQ(FormatRunSummary(c.code, true), std::string("Check has finished") + c.suffix) << c.code;
    }
}

TEST(RunLogSummary, CopyErrorTexts) {
    std::string text;
    EXPECT_EQ(FormatCopyError(5, text), 0);
    EXPECT_EQ(text, "(Error: Access Denied)");
    EXPECT_EQ(FormatCopyError(112, text), -1);
    EXPECT_EQ(text, "(Error: Disk Full)");
    EXPECT_EQ(FormatCopyError(32, text), 0);
    EXPECT_EQ(text, "Error: 32");
    EXPECT_EQ(FormatCopyError(0xFFFFFFFF, text), 0);
    EXPECT_EQ(text, "Error: 4294967295");
}

TEST(DialogLogLines, FilesOnlyWhenTheTaskLogs) {
    LoggedRun r(false);
    r.task.sourceLog = W(r.sourcePath);
    r.task.targetLog = W(r.targetPath);
    r.task.logOptions = std::make_unique<CConfigLogPage>(false);

    r.task.logOptions->log = 0;
    AddDialogLogLine(r.task, "not logged", kLogRed);
    EXPECT_FALSE(FileExists(r.sourcePath));

    r.task.logOptions->log = 1;
    const std::wstring sourceLog = r.task.sourceLog;
    r.task.sourceLog.clear();
    AddDialogLogLineW(r.task, L"no source log path", kLogBlack);
    EXPECT_FALSE(FileExists(r.targetPath));

    r.task.sourceLog = sourceLog;
    AddDialogLogLine(r.task, "Task started by the timer failed", kLogRed);
    AddDialogLogLineW(r.task, W("caf\xC3\xA9"), kLogBlack);
    const std::string expected = "Task started by the timer failed\r\ncaf\xC3\xA9\r\n";
    EXPECT_EQ(r.Source(), expected);
    EXPECT_EQ(r.Target(), expected);

    const std::vector<Line> lines = {
        {false, "not logged\r\n", 255},
        {true, "no source log path\r\n", 0},
        {false, "Task started by the timer failed\r\n", 255},
        {true, "caf\xC3\xA9\r\n", 0},
    };
    EXPECT_EQ(r.control.Lines(), lines);
}

}  // namespace
