// Times whole runs of a stored task through the run threads and the run driver, next to
// the system's tools on the same data in the same session:
//   (a) a first Check and Sync ("Mirror") of a tree of small files into an empty folder,
//       beside `cp -a` and `rsync -a` of the same tree into empty folders;
//   (b) a Check and Sync of the same two trees when nothing has changed (both catalogs
//       read, compared and written again), beside `rsync -a --delete`.
// Each measurement runs in a child process of its own, so its peak memory is its own.
// Prints every try, the best and the spread, files per second at the best, and the peak
// resident memory. Everything it makes is deleted at the end (each try of (a) leaves its
// copies there until then: three tries of 100,000 files need about 4 GB on an ext4 disk).
//
//   bench_run [files] [folders] [tries]     (default 100000 1000 3; folder: $TMPDIR or /tmp)
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
#include "platform/core/sync.h"
#include "platform/core/text.h"

namespace {

constexpr LPARAM kCheckAndSync = 2;



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
};

// Runs `body` in a child process; its exit code 0 means success. The file system's
// dirty data is written out first, so no try pays for the writes of the one before.
Try TimeInChild(const std::function<int()>& body) {
    sync();
    const auto start = std::chrono::steady_clock::now();
    const pid_t pid = fork();
    if (pid == 0) _exit(body());
    int status = 0;
    rusage usage{};
    if (pid < 0 || wait4(pid, &status, 0, &usage) != pid) return {};
    Try result;
    result.seconds = WIFEXITED(status) && WEXITSTATUS(status) == 0 ? bench::Seconds(start) : -1;
    result.peakMiB = static_cast<double>(usage.ru_maxrss) / 1024.0;
    return result;
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

// One Check and Sync of a "Mirror" task from `left` to `right`, as the main frame starts
// it, without windows. Catalogs and the log live in `data`.
int RunTask(const std::string& left, const std::string& right, const std::string& data) {
    ProgramState().dataFolder = data + "/";
    ProgramState().settingsFile = data + "/qboptions.ini";
    ProgramState().tempFolder = data + "/tmp/";
    std::filesystem::create_directories(data + "/tmp");

    SyncTask task;
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

    const plat::ThreadHandle run = StartRunThread(task, kCheckAndSync);
    if (!run || WaitForSingleObject(run, INFINITE) != WAIT_OBJECT_0) return 2;
    return task.lastRunStatus == kRunSucceeded ? 0 : 1;
}

struct Series {
    const char* name;
    std::vector<Try> tries;

    void Print(std::size_t files) const {
        std::vector<double> times;
        double peak = 0;
        for (const Try& t : tries) {
            if (t.seconds < 0) {
                std::printf("%-40s failed\n", name);
                return;
            }
            times.push_back(t.seconds);
            peak = std::max(peak, t.peakMiB);
        }
        const double best = *std::min_element(times.begin(), times.end());
        const double worst = *std::max_element(times.begin(), times.end());
        std::printf("%-40s best %7.2f s  spread %5.2f s  %8.0f files/s  peak %6.1f MiB   (", name, best,
                    worst - best, static_cast<double>(files) / best, peak);
        for (const double t : times) std::printf(" %.2f", t);
        std::printf(" )\n");
    }
};

}  // namespace

int main(int argc, char** argv) {
    const int files = argc > 1 ? std::atoi(argv[1]) : 100000;
    const int folders = argc > 2 ? std::atoi(argv[2]) : 1000;
    const int tries = argc > 3 ? std::atoi(argv[3]) : 3;
    if (files <= 0 || folders <= 0 || tries <= 0) {
        std::fprintf(stderr, "usage: bench_run [files] [folders] [tries]\n");
        return 2;
    }
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
    for (int i = 0; i < tries; ++i) {
        const std::string byRun = folderOf("by-run", i);
        const std::string data = folderOf("data", i);
        mkdir(byRun.c_str(), 0755);
        firstRun.tries.push_back(TimeInChild([&] { return RunTask(source, byRun, data); }));
        cp.tries.push_back(TimeInChild([&] { return RunTool({"cp", "-a", source, folderOf("by-cp", i)}); }));
        rsync.tries.push_back(
            TimeInChild([&] { return RunTool({"rsync", "-a", source + "/", folderOf("by-rsync", i) + "/"}); }));
        allCopied = allCopied && CountFiles(byRun) == static_cast<std::size_t>(files);
    }

    // The trees and catalogs of the last try, in step already.
    const std::string byRun = folderOf("by-run", tries - 1);
    const std::string byRsync = folderOf("by-rsync", tries - 1);
    const std::string data = folderOf("data", tries - 1);
    Series noChange{"no-change Check and Sync (run driver)", {}};
    Series rsyncDelete{"rsync -a --delete", {}};
    for (int i = 0; i < tries; ++i) {
        noChange.tries.push_back(TimeInChild([&] { return RunTask(source, byRun, data); }));
        rsyncDelete.tries.push_back(
            TimeInChild([&] { return RunTool({"rsync", "-a", "--delete", source + "/", byRsync + "/"}); }));
    }

    std::printf("(a) first copy of %d files into an empty folder, %d tries each:\n", files, tries);
    firstRun.Print(files);
    cp.Print(files);
    rsync.Print(files);
    std::printf("(b) nothing changed, %d files on each side, %d tries each:\n", files, tries);
    noChange.Print(files);
    rsyncDelete.Print(files);
    if (!allCopied) std::printf("the run did not copy every file\n");

    RemoveTree(top);
    return allCopied ? 0 : 1;
}
