// Whole runs as a user follows them: the main window shown on a real X display (the xcb
// platform, so every paint goes to the display), a stored task selected in the task list,
// and "Check and Sync" given as the ribbon gives it; the time runs from the command until
// the task window is at rest again. Beside each run, in the same call, the system's tool
// on the same data:
//   (a) first Check and Syncs of the same task in a row, each into an emptied Right
//       folder with the task's catalogs removed, beside `cp -a` of the same tree;
//   (b) Check and Syncs with nothing changed, beside `rsync -a --delete` of two
//       trees in step.
// Each size runs in a child process of its own, so the peak memory printed (the whole
// program's: windows, rows, log, engine) is that size's own.
//
//   bench_task_window_run [-r runs] [-c cases] [-d] [files...]
//   (default 3 runs of the cases a and b at 20000 and 100000 files, 200 files per folder;
//   -d: the task keeps a detailed log, a line for every file)
//
// With DISPLAY unset it starts an Xvfb of its own (and ends it); trees are made under
// $TMPDIR (default /tmp) and deleted at the end.

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <QEventLoop>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "bench/support/bench_tree.h"
#include "foundation/options/filter_options.h"
#include "foundation/options/log_options.h"
#include "foundation/options/sync_options.h"
#include "foundation/program_state.h"
#include "foundation/sync_task.h"
#include "foundation/task_paths.h"
#include "foundation/task_store.h"
#include "platform/core/message_box.h"
#include "platform/core/text.h"
#include "platform/qt/message_pump.h"
#include "platform/qt/qt_gui_services.h"
#include "resources/sync_messages.h"
#include "ui/frame/main_frame.h"
#include "ui/frame/outlook_bar.h"
#include "ui/task_list/sync_list_view.h"
#include "ui/task_window/sync_dlg.h"

extern char** environ;

namespace {

constexpr int kFilesPerFolder = 200;
constexpr int kRuns = 3;

using Clock = std::chrono::steady_clock;

double LoadAverage() {
    double load = 0;
    std::ifstream("/proc/loadavg") >> load;
    return load;
}

void RemoveTree(const std::string& path) {
    std::error_code ignored;
    std::filesystem::remove_all(path, ignored);
}

// Runs a program to its end; its exit code, or -1.
int RunTool(const std::vector<std::string>& arguments) {
    std::vector<char*> argv;
    for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    pid_t pid = 0;
    if (posix_spawnp(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0) return -1;
    int status = 0;
    if (waitpid(pid, &status, 0) != pid) return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// The seconds a tool took, or -1 when it failed. Dirty data is written out first.
double TimeTool(const std::vector<std::string>& arguments) {
    sync();
    const auto start = Clock::now();
    const int code = RunTool(arguments);
    const double seconds = bench::Seconds(start);
    return code == 0 ? seconds : -1;
}

std::size_t CountFiles(const std::string& root) {
    std::size_t count = 0;
    std::error_code error;
    for (auto it = std::filesystem::recursive_directory_iterator(root, error);
         it != std::filesystem::recursive_directory_iterator(); it.increment(error)) {
        if (it->path().string().find("/_qb_sync") != std::string::npos) continue;
        count += it->is_regular_file(error) ? 1 : 0;
    }
    return count;
}

// An X server of the benchmark's own, when there is no display to use.
class OwnDisplay {
public:
    OwnDisplay() {
        if (std::getenv("DISPLAY")) return;
        for (int number = 77; number < 120 && pid_ == 0; ++number) {
            const std::string socket = "/tmp/.X11-unix/X" + std::to_string(number);
            if (std::filesystem::exists(socket)) continue;
            const std::string display = ":" + std::to_string(number);
            std::vector<std::string> args{"Xvfb", display, "-screen", "0", "1600x1000x24", "-nolisten", "tcp"};
            std::vector<char*> argv;
            for (std::string& a : args) argv.push_back(a.data());
            argv.push_back(nullptr);
            posix_spawn_file_actions_t actions;
            posix_spawn_file_actions_init(&actions);
            posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
            posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
            const int spawned = posix_spawnp(&pid_, "Xvfb", &actions, nullptr, argv.data(), environ);
            posix_spawn_file_actions_destroy(&actions);
            if (spawned != 0) {
                pid_ = 0;
                break;
            }
            for (int wait = 0; wait < 100 && !std::filesystem::exists(socket); ++wait) {
                std::this_thread::sleep_for(std::chrono::milliseconds(50));
            }
            setenv("DISPLAY", display.c_str(), 1);
            std::printf("started Xvfb on %s\n", display.c_str());
        }
    }
    ~OwnDisplay() {
        if (pid_ == 0) return;
        kill(pid_, SIGTERM);
        waitpid(pid_, nullptr, 0);
    }
    OwnDisplay(const OwnDisplay&) = delete;
    OwnDisplay& operator=(const OwnDisplay&) = delete;

private:
    pid_t pid_ = 0;
};

struct Paths {
    std::string root;  // everything of one size
    std::string source() const { return root + "/L"; }
    std::string target() const { return root + "/R"; }
    std::string copy() const { return root + "/cp"; }
    std::string mirror() const { return root + "/rsync"; }
    std::string data() const { return root + "/program"; }
};

// A task over the two folders as a new user gets it (the default options), stored in the
// task store of the benchmark's own data folder.
bool StoreTask(const Paths& paths, bool detailedLog) {
    SyncTask task;
    task.SetDefaults();
    task.name = "Documents";
    task.leftFolder = plat::Utf8ToWide(paths.source());
    task.rightFolder = plat::Utf8ToWide(paths.target());
    task.syncOptions = std::make_unique<CConfigSyncPage>(false);
    task.logOptions = std::make_unique<CConfigLogPage>(false);
    task.filterOptions = std::make_unique<CConfigCompressFilterPage>(false, std::wstring());
    if (detailedLog) task.logOptions->logLevel = kLogDetailed;
    BuildTaskDataPaths(task);
    return WriteTaskRecord(task).written;
}

// The main window over the data folder, its task selected, as the program starts.
class ProgramWindow {
public:
    ProgramWindow() {
        frame_ = std::make_unique<CMainFrame>();
        if (!frame_->Create()) return;
        frame_->resize(1280, 900);
        frame_->show();
        List().Message(WM_SYNC_LOAD_TASKS);
        Settle();
        List().SelectRow(0);
        Settle();
    }
    ~ProgramWindow() {
        if (!frame_) return;
        if (const HWND list = frame_->TaskListWindow()) DestroyWindow(list);
        frame_.reset();
        Settle();
    }
    ProgramWindow(const ProgramWindow&) = delete;
    ProgramWindow& operator=(const ProgramWindow&) = delete;

    SyncTask* Task() const { return List().TaskAt(0); }
    CSyncDlg* Window() const {
        SyncTask* task = Task();
        return task ? dynamic_cast<CSyncDlg*>(plat::MessageWindow::FromHwnd(task->taskWindow)) : nullptr;
    }

    // "Check and Sync" until the task window is at rest; the seconds, or -1.
    double CheckAndSync() {
        SyncTask* task = Task();
        CSyncDlg* window = Window();
        if (!task || !window) return -1;
        sync();
        const auto start = Clock::now();
        if (!frame_->DispatchCommand(ID_CHECK_AND_SYNC)) return -1;
        const auto deadline = start + std::chrono::minutes(30);
        bool started = false;
        // Qt's loop as the program runs it (a loop given a time limit never counts as
        // idle, so the ribbon's states would never follow); the timer wakes it to look.
        QTimer look;
        look.start(100);
        while (Clock::now() < deadline) {
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
            started = started || window->IsRunning();
            if (started && !window->IsRunning() && task->busyCode == TaskBusy::Idle) return bench::Seconds(start);
        }
        return -1;
    }

    static void Settle() {
        for (int i = 0; i < 20; ++i) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }

private:
    CSyncListView& List() const { return *frame_->NavigationBar()->TaskListView(); }

    std::unique_ptr<CMainFrame> frame_;
};

// A line of /proc/self/status in MiB ("VmRSS", "VmHWM").
double StatusMiB(const std::string& key) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind(key + ":", 0) == 0) return std::atof(line.c_str() + key.size() + 1) / 1024.0;
    }
    return 0;
}

void PrintLine(const char* what, int run, double ours, const char* tool, double theirs) {
    std::printf("  %-24s run %d: %7.2f s   %-17s %6.2f s   ratio %5.2f   load %4.1f   memory %.0f MiB (peak %.0f)\n",
                what, run, ours, tool, theirs, theirs > 0 ? ours / theirs : 0.0, LoadAverage(), StatusMiB("VmRSS"),
                StatusMiB("VmHWM"));
    std::fflush(stdout);
}

// One size, in the child process: the program's folders, the window, the runs.
int RunSize(int argc, char** argv, const Paths& paths, int files, int runs, const std::string& cases,
            bool detailedLog) {
    const auto start = Clock::now();
    setenv("XDG_DATA_HOME", (paths.data() + "/share").c_str(), 1);
    setenv("XDG_RUNTIME_DIR", (paths.data() + "/run").c_str(), 1);
    setenv("XDG_CONFIG_HOME", (paths.data() + "/config").c_str(), 1);
    ProgramStateData& state = ProgramState();
    state.programFolder = paths.data() + "/";
    state.dataFolder = paths.data() + "/Data";
    state.settingsFile = state.dataFolder + "/qboptions.ini";
    state.tempFolder = paths.data() + "/tmp/";
    state.profileFile = paths.data() + "/profile.ini";
    std::filesystem::create_directories(state.dataFolder);
    std::filesystem::create_directories(state.tempFolder);
    std::filesystem::create_directories(paths.data() + "/run");
    std::filesystem::permissions(paths.data() + "/run", std::filesystem::perms::owner_all);
    if (!StoreTask(paths, detailedLog)) {
        std::fprintf(stderr, "the task could not be stored\n");
        return 1;
    }

    QApplication qt(argc, argv);
    plat::QtMessagePump pump;
    plat::QtGuiServices gui;
    // A question would wait for a person: answered, and said.
    plat::ScopedMessageBoxHandler boxes([](const plat::MessageBoxRequest& request) {
        std::printf("  (a message box: %s)\n", request.text.c_str());
        return IDYES;
    });
    ProgramWindow program;
    SyncTask* task = program.Task();
    if (!task || !program.Window()) {
        std::fprintf(stderr, "the main window or the task did not come up\n");
        return 1;
    }
    std::printf("%d files in %d folders, platform %s, window up in %.1f s\n", files, files / kFilesPerFolder,
                QGuiApplication::platformName().toStdString().c_str(), bench::Seconds(start));

    // Without the first case, one untimed first run puts the two sides in step.
    const int firstRuns = cases.find('a') != std::string::npos ? runs : 1;
    for (int run = 1; run <= firstRuns; ++run) {
        RemoveTree(paths.target());
        std::filesystem::create_directories(paths.target());
        for (const std::wstring& catalog : {task->sourceCatalog, task->targetCatalog}) {
            if (!catalog.empty()) RemoveTree(plat::WideToUtf8(catalog));
        }
        RemoveTree(paths.copy());
        const double cp = TimeTool({"cp", "-a", paths.source(), paths.copy()});
        const double ours = program.CheckAndSync();
        const std::size_t copied = CountFiles(paths.target());
        if (firstRuns == runs) PrintLine("first Check and Sync", run, ours, "cp -a", cp);
        if (copied != static_cast<std::size_t>(files)) {
            std::printf("  (%zu of %d files copied)\n", copied, files);
        }
    }
    RemoveTree(paths.copy());

    if (cases.find('b') == std::string::npos) return 0;
    RemoveTree(paths.mirror());
    RunTool({"rsync", "-a", "--delete", paths.source() + "/", paths.mirror() + "/"});
    for (int run = 1; run <= runs; ++run) {
        const double rsync = TimeTool({"rsync", "-a", "--delete", paths.source() + "/", paths.mirror() + "/"});
        const double ours = program.CheckAndSync();
        PrintLine("no-change Check and Sync", run, ours, "rsync -a --delete", rsync);
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<int> sizes;
    int runs = kRuns;
    std::string cases = "ab";
    bool detailedLog = false;
    for (int i = 1; i < argc; ++i) {
        if (std::string(argv[i]) == "-d") {
            detailedLog = true;
            continue;
        }
        if (std::string(argv[i]) == "-r" && i + 1 < argc) {
            runs = std::max(1, std::atoi(argv[++i]));
        } else if (std::string(argv[i]) == "-c" && i + 1 < argc) {
            cases = argv[++i];
        } else {
            sizes.push_back(std::atoi(argv[i]));
        }
    }
    if (sizes.empty()) sizes = {20000, 100000};
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "xcb", 1);
    const OwnDisplay display;
    const std::string base = std::getenv("TMPDIR") ? std::getenv("TMPDIR") : "/tmp";

    for (const int files : sizes) {
        Paths paths{base + "/bench_task_window_run." + std::to_string(getpid())};
        RemoveTree(paths.root);
        std::filesystem::create_directories(paths.root);
        const auto built = Clock::now();
        bench::BuildTree(paths.source(), files, std::max(1, files / kFilesPerFolder));
        std::printf("tree of %d files made in %.1f s\n", files, bench::Seconds(built));
        std::fflush(stdout);
        const pid_t pid = fork();
        if (pid == 0) {
            const int code = RunSize(argc > 0 ? 1 : 0, argv, paths, files, runs, cases, detailedLog);
            std::fflush(stdout);
            _exit(code);
        }
        int status = 0;
        rusage usage{};
        if (pid < 0 || wait4(pid, &status, 0, &usage) != pid) return 1;
        std::printf("  peak memory of the program: %.0f MiB%s\n\n", static_cast<double>(usage.ru_maxrss) / 1024.0,
                    WIFEXITED(status) && WEXITSTATUS(status) == 0 ? "" : " (the child failed)");
        RemoveTree(paths.root);
    }
    return 0;
}
