// Times whole runs of a stored task through the run threads and the run driver, next to
// the system's tools on the same data in the same session:
//   (a) a first Check and Sync ("Mirror") of a tree of small files into an empty folder,
//       beside `cp -a` and `rsync -a` of the same tree into empty folders;
//   (b) a Check and Sync of the same two trees when nothing has changed (no catalog is
//       read, and none needs writing), beside `rsync -a --delete`;
//   (c) the same with one file changed on the source side before each try (both catalogs
//       are read, the file copied and the target's catalog written), beside
//       `rsync -a --delete` after the same change;
//   (d) a Check alone of the two trees in step, beside eight `find` walkers that share
//       the top folders of both trees and look at every entry's size and time.
// Each measurement runs in a child process of its own, so its peak memory and the bytes it
// wrote (what its write calls handed to the kernel) are its own. Prints every try, the
// best and the median, files per second at the best, the peak resident memory and the
// bytes written, and each case's ratio to its tool. Everything it makes is deleted at the
// end (each try of (a) leaves its copies there until then: three tries of 100,000 files
// need about 4 GB on an ext4 disk).
//
//   bench_run [files] [folders] [tries] [cases] [fresh]
//   (default 100000 1000 3 abcd; cases: any of a, b, c, d; folder: $TMPDIR or /tmp;
//   "fresh": each try of (a) but the last deletes its copies before the next one, so
//   that a million files fit a tmpfs; ext4 makes new files slowly after many deletes)
//
// For profiling one run by itself, on trees that stay:
//   bench_run make <folder> [files] [folders]       builds a tree
//   bench_run change <folder> [round]               changes one file of it, as (c) does
//   bench_run once <left> <right> <data> [check]    one Check and Sync (or Check) of them

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "bench/support/bench_tree.h"
#include "engine/run/run_block.h"
#include "engine/run/run_threads.h"
#include "foundation/options/filter_options.h"
#include "foundation/options/log_options.h"
#include "foundation/options/sync_options.h"
#include "foundation/program_state.h"
#include "foundation/sync_task.h"
#include "foundation/task_paths.h"
#include "foundation/task_store.h"
#include "platform/core/sync.h"
#include "platform/core/text.h"

namespace {

constexpr LPARAM kCheckOnly = 1;
constexpr LPARAM kCheckAndSync = 2;
constexpr int kFindWalkers = 8;

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

void RemoveTree(const std::string& path) {
    std::error_code ignored;
    std::filesystem::remove_all(path, ignored);
}

struct Try {
    double seconds = -1;  // negative: failed
    double peakMiB = 0;
    double writtenMiB = 0;  // bytes the process's write calls handed to the kernel
};

// What a finished (not yet reaped) child handed to write calls.
double WrittenMiB(pid_t pid) {
    std::ifstream io("/proc/" + std::to_string(pid) + "/io");
    std::string key;
    unsigned long long value = 0;
    while (io >> key >> value) {
        if (key == "wchar:") return static_cast<double>(value) / (1024.0 * 1024.0);
    }
    return 0;
}

// Runs `body` in a child process; its exit code 0 means success. The file system's
// dirty data is written out first, so no try pays for the writes of the one before.
Try TimeInChild(const std::function<int()>& body) {
    sync();
    const auto start = std::chrono::steady_clock::now();
    const pid_t pid = fork();
    if (pid == 0) _exit(body());
    siginfo_t ended{};
    if (pid < 0 || waitid(P_PID, static_cast<id_t>(pid), &ended, WEXITED | WNOWAIT) != 0) return {};
    const double seconds = bench::Seconds(start);
    Try result;
    result.writtenMiB = WrittenMiB(pid);
    int status = 0;
    rusage usage{};
    if (wait4(pid, &status, 0, &usage) != pid) return {};
    result.seconds = WIFEXITED(status) && WEXITSTATUS(status) == 0 ? seconds : -1;
    result.peakMiB = static_cast<double>(usage.ru_maxrss) / 1024.0;
    return result;
}

// Gives one file of the tree new content and a new time, as an edit would.
void ChangeOneFile(const std::string& root, int round) {
    const std::string path = root + "/folder 0/document 0.txt";
    const int fd = open(path.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
    if (fd < 0) return;
    const std::string content = "changed " + std::to_string(round) + "\n";
    if (write(fd, content.data(), content.size()) < 0) std::perror(path.c_str());
    const timespec times[2] = {{bench::kFileTime + 10 * (round + 1), 0}, {bench::kFileTime + 10 * (round + 1), 0}};
    futimens(fd, times);
    close(fd);
}

int RunTool(const std::vector<std::string>& arguments) {
    std::vector<char*> argv;
    for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    const int null = open("/dev/null", O_WRONLY);
    dup2(null, 1);
    execvp(argv[0], argv.data());
    return 127;
}

// Eight `find` processes at once over the top folders of both trees, dealt out in turn,
// each printing every entry's size and time (so each entry is looked at, as a scan does).
int RunFindWalkers(const std::vector<std::string>& roots) {
    std::vector<std::vector<std::string>> shares(kFindWalkers);
    std::size_t next = 0;
    for (const std::string& root : roots) {
        std::error_code error;
        for (const auto& entry : std::filesystem::directory_iterator(root, error)) {
            if (entry.path().filename() == "_qb_sync") continue;
            shares[next++ % kFindWalkers].push_back(entry.path().string());
        }
    }
    std::vector<pid_t> walkers;
    for (const auto& share : shares) {
        if (share.empty()) continue;
        std::vector<std::string> arguments{"find"};
        arguments.insert(arguments.end(), share.begin(), share.end());
        arguments.insert(arguments.end(), {"-printf", "%s %T@ %p\n"});
        const pid_t pid = fork();
        if (pid == 0) _exit(RunTool(arguments));
        walkers.push_back(pid);
    }
    int failures = 0;
    for (const pid_t pid : walkers) {
        int status = 0;
        if (waitpid(pid, &status, 0) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0) ++failures;
    }
    return failures == 0 ? 0 : 1;
}

// One Check and Sync of a "Mirror" task from `left` to `right`, as the main frame starts
// it, without windows. Catalogs and the log live in `data`.
int RunTask(const std::string& left, const std::string& right, const std::string& data, LPARAM mode = kCheckAndSync) {
    ProgramState().dataFolder = data + "/";
    ProgramState().settingsFile = data + "/qboptions.ini";
    ProgramState().tempFolder = data + "/tmp/";
    std::filesystem::create_directories(data + "/tmp");

    // Left to the end of the process: the program keeps a run's trees for its window, so
    // freeing them is no part of the run.
    SyncTask& task = *new SyncTask;
    task.SetDefaults();
    task.name = "Bench";
    task.leftFolder = plat::Utf8ToWide(left);
    task.rightFolder = plat::Utf8ToWide(right);
    task.syncOptions = std::make_unique<CConfigSyncPage>(false);
    task.logOptions = std::make_unique<CConfigLogPage>(false);
    task.filterOptions = std::make_unique<CConfigCompressFilterPage>(false, std::wstring());
    *static_cast<SyncOptionValues*>(task.syncOptions.get()) = SyncOptionValues{};
    task.syncOptions->type = kSyncMirror;
    task.logOptions->log = 1;
    task.logOptions->logLevel = kLogSummary;
    BuildTaskDataPaths(task);
    // The run stores its last-run fields in the task's record, as for a task of the list.
    if (!WriteTaskRecord(task).written) return 3;

    const plat::ThreadHandle run = StartRunThread(task, mode);
    if (!run || WaitForSingleObject(run, INFINITE) != WAIT_OBJECT_0) return 2;
    const DWORD status = task.runFacts.Get().lastRunStatus;
    if (status != kRunSucceeded) std::fprintf(stderr, "run ended with result %u\n", static_cast<unsigned>(status));
    return status == kRunSucceeded ? 0 : 1;
}

struct Series {
    const char* name;
    std::vector<Try> tries;

    bool Failed() const {
        return tries.empty() || std::any_of(tries.begin(), tries.end(), [](const Try& t) { return t.seconds < 0; });
    }
    std::vector<double> Times() const {
        std::vector<double> times;
        for (const Try& t : tries) times.push_back(t.seconds);
        std::sort(times.begin(), times.end());
        return times;
    }
    double Best() const { return Times().front(); }
    double Median() const {
        const std::vector<double> times = Times();
        const std::size_t n = times.size();
        return n % 2 ? times[n / 2] : (times[n / 2 - 1] + times[n / 2]) / 2;
    }

    void Print(std::size_t files) const {
        if (tries.empty()) return;
        if (Failed()) {
            std::printf("%-40s failed\n", name);
            return;
        }
        double peak = 0;
        double written = 0;
        for (const Try& t : tries) {
            peak = std::max(peak, t.peakMiB);
            written = std::max(written, t.writtenMiB);
        }
        std::printf("%-40s best %7.2f s  median %7.2f s  %8.0f files/s  peak %6.1f MiB  wrote %8.1f MiB   (", name,
                    Best(), Median(), static_cast<double>(files) / Best(), peak, written);
        for (const Try& t : tries) std::printf(" %.2f", t.seconds);
        std::printf(" )\n");
    }
};

// The run's times over its tool's, best to best and median to median.
void PrintRatio(const Series& run, const Series& tool) {
    if (run.Failed() || tool.Failed()) return;
    std::printf("  ratio to %-31s best %.2f  median %.2f\n", tool.name, run.Best() / tool.Best(),
                run.Median() / tool.Median());
}

}  // namespace

// The subcommands for profiling; -1 when `argv` names none.
int RunSubcommand(int argc, char** argv) {
    const std::string what = argc > 1 ? argv[1] : "";
    if (what == "make" && argc > 2) {
        bench::BuildTree(argv[2], argc > 3 ? std::atoi(argv[3]) : 100000, argc > 4 ? std::atoi(argv[4]) : 1000);
        return 0;
    }
    if (what == "change" && argc > 2) {
        ChangeOneFile(argv[2], argc > 3 ? std::atoi(argv[3]) : 0);
        return 0;
    }
    if (what == "once" && argc > 4) {
        const bool checkOnly = argc > 5 && std::string(argv[5]) == "check";
        return RunTask(argv[2], argv[3], argv[4], checkOnly ? kCheckOnly : kCheckAndSync);
    }
    return -1;
}

int main(int argc, char** argv) {
    if (const int result = RunSubcommand(argc, argv); result >= 0) return result;
    const int files = argc > 1 ? std::atoi(argv[1]) : 100000;
    const int folders = argc > 2 ? std::atoi(argv[2]) : 1000;
    const int tries = argc > 3 ? std::atoi(argv[3]) : 3;
    const std::string cases = argc > 4 ? argv[4] : "abcd";
    const bool fresh = argc > 5 && std::string(argv[5]) == "fresh";
    if (files <= 0 || folders <= 0 || tries <= 0 || cases.find_first_not_of("abcd") != std::string::npos) {
        std::fprintf(stderr, "usage: bench_run [files] [folders] [tries] [cases: any of a b c d]\n");
        return 2;
    }
    const auto wanted = [&cases](char c) { return cases.find(c) != std::string::npos; };
    const char* base = std::getenv("TMPDIR");
    std::string pattern = std::string(base && *base ? base : "/tmp") + "/qb-bench-run-XXXXXX";
    if (!mkdtemp(pattern.data())) {
        std::perror("mkdtemp");
        return 1;
    }
    const std::string top = pattern;
    const std::string source = top + "/source";

    const auto start = std::chrono::steady_clock::now();
    bench::BuildTree(source, files, folders);
    std::printf("built %d files in %d folders: %.1f s\n", files, folders, bench::Seconds(start));

    // Every try copies into folders of its own and nothing is deleted until the end: a file
    // system such as ext4 makes new files slow for a while after many were deleted.
    const auto folderOf = [&top](const char* what, int i) { return top + "/" + what + "-" + std::to_string(i); };
    Series firstRun{"first Check and Sync (run driver)", {}};
    Series cp{"cp -a", {}};
    Series rsync{"rsync -a", {}};
    bool allCopied = true;
    const int firstTries = wanted('a') ? tries : 1;
    for (int i = 0; i < firstTries; ++i) {
        const std::string byRun = folderOf("by-run", i);
        const std::string data = folderOf("data", i);
        mkdir(byRun.c_str(), 0755);
        const Try run = TimeInChild([&] { return RunTask(source, byRun, data); });
        // The copy by cp is timed only for (a); the later cases need rsync's.
        const Try byCp = wanted('a') ? TimeInChild([&] {
            return RunTool({"cp", "-a", source, folderOf("by-cp", i)});
        })
                                     : Try{};
        const Try byRsync = TimeInChild([&] {
            return RunTool({"rsync", "-a", source + "/", folderOf("by-rsync", i) + "/"});
        });
        if (wanted('a')) {
            firstRun.tries.push_back(run);
            cp.tries.push_back(byCp);
            rsync.tries.push_back(byRsync);
        }
        allCopied = allCopied && CountFiles(byRun) == static_cast<std::size_t>(files);
        if (fresh && i + 1 < firstTries) {
            for (const char* what : {"by-run", "data", "by-cp", "by-rsync"}) RemoveTree(folderOf(what, i));
        }
    }

    // The trees and catalogs of the last try, in step already.
    const std::string byRun = folderOf("by-run", firstTries - 1);
    const std::string byRsync = folderOf("by-rsync", firstTries - 1);
    const std::string data = folderOf("data", firstTries - 1);
    Series noChange{"no-change Check and Sync (run driver)", {}};
    Series rsyncDelete{"rsync -a --delete", {}};
    for (int i = 0; wanted('b') && i < tries; ++i) {
        noChange.tries.push_back(TimeInChild([&] { return RunTask(source, byRun, data); }));
        rsyncDelete.tries.push_back(TimeInChild([&] {
            return RunTool({"rsync", "-a", "--delete", source + "/", byRsync + "/"});
        }));
    }
    Series oneChanged{"one file changed, Check and Sync", {}};
    Series rsyncOneChanged{"one file changed, rsync -a --delete", {}};
    for (int i = 0; wanted('c') && i < tries; ++i) {
        ChangeOneFile(source, i);
        oneChanged.tries.push_back(TimeInChild([&] { return RunTask(source, byRun, data); }));
        rsyncOneChanged.tries.push_back(TimeInChild([&] {
            return RunTool({"rsync", "-a", "--delete", source + "/", byRsync + "/"});
        }));
    }

    Series checkOnly{"no-change Check (run driver)", {}};
    Series findWalkers{"eight find walkers", {}};
    for (int i = 0; wanted('d') && i < tries; ++i) {
        checkOnly.tries.push_back(TimeInChild([&] { return RunTask(source, byRun, data, kCheckOnly); }));
        findWalkers.tries.push_back(TimeInChild([&] { return RunFindWalkers({source, byRun}); }));
    }

    if (wanted('a')) {
        std::printf("(a) first copy of %d files into an empty folder, %d tries each:\n", files, tries);
        firstRun.Print(files);
        cp.Print(files);
        rsync.Print(files);
        PrintRatio(firstRun, cp);
    }
    if (wanted('b')) {
        std::printf("(b) nothing changed, %d files on each side, %d tries each:\n", files, tries);
        noChange.Print(files);
        rsyncDelete.Print(files);
        PrintRatio(noChange, rsyncDelete);
    }
    if (wanted('c')) {
        std::printf("(c) one file changed, %d files on each side, %d tries each:\n", files, tries);
        oneChanged.Print(files);
        rsyncOneChanged.Print(files);
        PrintRatio(oneChanged, rsyncOneChanged);
        if (wanted('b') && !oneChanged.Failed() && !noChange.Failed()) {
            std::printf("  ratio to %-31s best %.2f  median %.2f\n", "the no-change run",
                        oneChanged.Best() / noChange.Best(), oneChanged.Median() / noChange.Median());
        }
    }
    if (wanted('d')) {
        std::printf("(d) a Check alone, nothing changed, %d files on each side, %d tries each:\n", files, tries);
        checkOnly.Print(files);
        findWalkers.Print(files);
        PrintRatio(checkOnly, findWalkers);
    }
    if (!allCopied) std::printf("the run did not copy every file\n");

    RemoveTree(top);
    return allCopied ? 0 : 1;
}
