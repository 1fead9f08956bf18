// Times the scan and matching of two folders that are already in step: 100,000 small
// files in 1,000 folders on each side. Beside it, in the same run and over the same two
// trees, `rsync -a --dry-run --delete`, which reads both trees to find what to change.
// Reports the best of a few warm runs of each, files per second, and peak memory.
//
//   bench_scan [files] [folders]
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
#include <string>
#include <vector>

#include "bench/support/bench_tree.h"
#include "engine/scan/scan.h"
#include "platform/core/text.h"
#include "platform/core/thread.h"
#include "platform/core/window.h"
#include "resources/sync_messages.h"

namespace {

constexpr int kRuns = 3;

// The same tree under both roots: `folders` folders of files/folders small files each.
void BuildTrees(const std::string& source, const std::string& target, int files, int folders) {
    bench::BuildTree(source, files, folders);
    bench::BuildTree(target, files, folders);
}

// Peak resident memory of this process so far, in MiB.
double PeakMemoryMiB(int who = RUSAGE_SELF) {
    rusage usage{};
    getrusage(who, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

struct ScanFigures {
    double seconds = 1e9;    // scan and match
    double freeSeconds = 0;  // freeing both trees afterwards
    std::size_t sourceFiles = 0;
    std::size_t pairedFiles = 0;
};

std::size_t CountFiles(const FolderTreeNode& root, bool pairedOnly) {
    std::size_t count = 0;
    std::vector<const FolderTreeNode*> pending{&root};
    while (!pending.empty()) {
        const FolderTreeNode* node = pending.back();
        pending.pop_back();
        if (node->files) {
            for (const CFileInfo& file : *node->files) count += !pairedOnly || file.state.Word() == 0x800C01u;
        }
        for (const auto& child : node->children) pending.push_back(child.get());
    }
    return count;
}

// The best of kRuns scans.
ScanFigures TimeScan(const std::wstring& source, const std::wstring& target, HWND window) {
    ScanFigures figures;
    for (int run = 0; run < kRuns; ++run) {
        ScanRequest request;
        request.sourceFolder = source;
        request.targetFolder = target;
        request.caseSensitive = true;
        request.taskWindow = window;
        const auto start = std::chrono::steady_clock::now();
        FolderPairScan scan = ScanFolderPair(request);
        const double seconds = bench::Seconds(start);
        if (scan.result != kScanDone) {
            std::fprintf(stderr, "scan failed: %d\n", scan.result);
            std::exit(1);
        }
        const std::size_t sourceFiles = CountFiles(*scan.sourceRoot, false);
        const std::size_t pairedFiles = CountFiles(*scan.sourceRoot, true);
        const auto freeStart = std::chrono::steady_clock::now();
        scan = FolderPairScan();
        if (seconds < figures.seconds) figures = {seconds, bench::Seconds(freeStart), sourceFiles, pairedFiles};
    }
    return figures;
}

// Best of kRuns rsync dry runs; negative when rsync could not be run.
double TimeRsync(const std::string& source, const std::string& target) {
    double best = 1e9;
    for (int run = 0; run < kRuns; ++run) {
        const auto start = std::chrono::steady_clock::now();
        const pid_t pid = fork();
        if (pid == 0) {
            const int null = open("/dev/null", O_WRONLY);
            dup2(null, 1);
            execlp("rsync", "rsync", "-a", "--dry-run", "--delete", (source + "/").c_str(), (target + "/").c_str(),
                   static_cast<char*>(nullptr));
            _exit(127);
        }
        int status = 0;
        if (pid < 0 || waitpid(pid, &status, 0) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0) return -1;
        best = std::min(best, bench::Seconds(start));
    }
    return best;
}

// A task window on a thread of its own that answers every message at once, as the GUI
// thread does while a run goes on.
class AnsweringWindow : public plat::WindowProcedure {
public:
    AnsweringWindow() {
        thread_.Start([this] {
            hwnd_ = plat::CreateMessageWindow(this);
            ready_.Set();
            plat::RunMessageLoop();
        });
        WaitForSingleObject(ready_, INFINITE);
    }
    ~AnsweringWindow() override {
        ::PostThreadMessage(thread_.ThreadId(), WM_QUIT, 0, 0);
        thread_.Join();
    }
    LRESULT WindowProc(HWND, UINT, WPARAM, LPARAM) override { return 0; }
    HWND Hwnd() const { return hwnd_; }

private:
    plat::Event ready_{true, false};
    HWND hwnd_ = nullptr;
    plat::WorkerThread thread_;
};

void Report(const char* what, double seconds, std::size_t files) {
    std::printf("%-44s %8.3f s  %10.0f files/s\n", what, seconds, static_cast<double>(files) / seconds);
}

}  // namespace

int main(int argc, char** argv) {
    const int files = argc > 1 ? std::atoi(argv[1]) : 100000;
    const int folders = argc > 2 ? std::atoi(argv[2]) : 1000;
    if (files <= 0 || folders <= 0) {
        std::fprintf(stderr, "usage: bench_scan [files] [folders]\n");
        return 2;
    }

    const char* base = std::getenv("TMPDIR");
    std::string pattern = std::string(base && *base ? base : "/tmp") + "/qb-bench-scan-XXXXXX";
    if (!mkdtemp(pattern.data())) {
        std::perror("mkdtemp");
        return 1;
    }
    const std::string top = pattern;
    const std::string source = top + "/source";
    const std::string target = top + "/target";

    auto start = std::chrono::steady_clock::now();
    BuildTrees(source, target, files, folders);
    std::printf("built 2 x %d files in %d folders: %.1f s\n", files, folders, bench::Seconds(start));
    const double memoryBefore = PeakMemoryMiB();

    const std::wstring wideSource = plat::Utf8ToWide(source);
    const std::wstring wideTarget = plat::Utf8ToWide(target);
    const std::size_t bothSides = 2 * static_cast<std::size_t>(files);

    // rsync runs first, while this process is still small: a forked child's peak memory
    // counts the pages it shared with its parent before it started rsync. Its first run
    // warms the file system's caches for everything after it.
    TimeRsync(source, target);
    const double rsync = TimeRsync(source, target);
    const double rsyncMemory = PeakMemoryMiB(RUSAGE_CHILDREN);

    const ScanFigures scan = TimeScan(wideSource, wideTarget, nullptr);
    const double scanMemory = PeakMemoryMiB();
    ScanFigures withWindow;
    {
        AnsweringWindow window;
        withWindow = TimeScan(wideSource, wideTarget, window.Hwnd());
    }

    std::printf("no-change scan and match, best of %d warm runs, %zu files on both sides:\n", kRuns, bothSides);
    Report("scan + match (no task window)", scan.seconds, bothSides);
    Report("  the same, with freeing both trees", scan.seconds + scan.freeSeconds, bothSides);
    Report("scan + match (task window answering)", withWindow.seconds, bothSides);
    if (rsync > 0) {
        Report("rsync -a --dry-run --delete", rsync, bothSides);
        std::printf("scan / rsync time: %.2f\n", scan.seconds / rsync);
    } else {
        std::printf("rsync -a --dry-run --delete: could not be run\n");
    }
    std::printf("source files %zu, paired as equal %zu\n", scan.sourceFiles, scan.pairedFiles);
    std::printf("peak memory: %.1f MiB before the scans, %.1f MiB after (rsync: %.1f MiB)\n", memoryBefore, scanMemory,
                rsyncMemory);

    std::error_code ignored;
    std::filesystem::remove_all(top, ignored);
    return scan.pairedFiles == static_cast<std::size_t>(files) ? 0 : 1;
}
