// Times the engine's copier on one 2 GiB file against `cp -a` of the same file, in the
// same run and the same folder, taking turns so both see the same cache state.
//
//   bench_copy [folder]     (default: $TMPDIR, else /tmp; /dev/shm gives a tmpfs)
//
// Prints MB/s of each try and the peak resident memory of the copier's process and of
// `cp` (measured with GNU time when installed). Everything it makes is deleted at the end.
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "engine/actions/file_copier.h"
#include "platform/core/file_system.h"
#include "platform/core/process.h"
#include "platform/core/text.h"

namespace {

constexpr unsigned long long kFileSize = 2ull << 30;
constexpr int kTries = 3;

double Seconds(std::chrono::steady_clock::time_point since) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

double MegabytesPerSecond(double seconds) { return static_cast<double>(kFileSize) / 1e6 / seconds; }

long PeakKilobytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// `cp -a`, under GNU time when it is there, which writes cp's peak memory (KB) to the
// error stream: the peak of a child started from this process is not cp's own, since a
// spawned child counts the memory of its parent until it execs.
plat::ProcessCommand CpCommand(const std::string& from, const std::string& to) {
    plat::ProcessCommand command;
    command.program = "/usr/bin/time";
    command.arguments = {"-f", "%M", "cp", "-a", from, to};
    if (plat::FindProgram(command.program).empty()) {
        command.program = "cp";
        command.arguments = {"-a", from, to};
    }
    return command;
}

bool WriteSource(const std::string& path) {
    std::vector<unsigned char> block(1 << 20);
    std::mt19937 random(7);
    for (unsigned char& byte : block) byte = static_cast<unsigned char>(random());
    plat::FileHandle file;
    if (!file.Open(path, plat::FileOpenMode::CreateOrTruncate)) return false;
    for (unsigned long long written = 0; written < kFileSize; written += block.size()) {
        block[0] = static_cast<unsigned char>(written >> 20);  // no two blocks alike
        block[1] = static_cast<unsigned char>(written >> 28);
        if (!file.Write(block.data(), block.size())) return false;
    }
    return file.Close();
}

}  // namespace

int main(int argc, char** argv) {
    const char* tmp = std::getenv("TMPDIR");
    const std::string base = argc > 1 ? argv[1] : (tmp && *tmp ? tmp : "/tmp");
    const std::string folder = plat::JoinPath(base, "qb-bench-copy");
    plat::DeleteTree(folder);
    if (!plat::CreateFolder(folder)) {
        std::fprintf(stderr, "cannot make %s\n", folder.c_str());
        return 1;
    }
    const std::string source = plat::JoinPath(folder, "source.bin");
    const std::string ours = plat::JoinPath(folder, "copier.bin");
    const std::string theirs = plat::JoinPath(folder, "cp.bin");
    if (!WriteSource(source)) {
        std::fprintf(stderr, "cannot write the 2 GiB source in %s\n", folder.c_str());
        plat::DeleteTree(folder);
        return 1;
    }
    std::printf("one file of %llu bytes in %s\n", kFileSize, folder.c_str());

    std::vector<double> copierRates;
    std::vector<double> cpRates;
    long cpPeakKilobytes = 0;
    bool ok = true;
    for (int i = 0; i < kTries && ok; ++i) {
        auto start = std::chrono::steady_clock::now();
        const plat::ProcessResult result = plat::RunProcess(CpCommand(source, theirs));
        cpRates.push_back(MegabytesPerSecond(Seconds(start)));
        ok = result.exited && result.exitCode == 0;
        if (ok && !result.errors.empty()) cpPeakKilobytes = std::max(cpPeakKilobytes, std::atol(result.errors.c_str()));
        plat::DeleteFile(theirs);

        start = std::chrono::steady_clock::now();
        ok = ok && CopyFileChunked(plat::Utf8ToWide(source), plat::Utf8ToWide(ours), nullptr, nullptr, 0) == 1;
        copierRates.push_back(MegabytesPerSecond(Seconds(start)));
        int bothExist = 0;
        ok = ok && IsSameFileVersion(plat::Utf8ToWide(source), plat::Utf8ToWide(ours), bothExist) == 1;
        plat::DeleteFile(ours);
        std::printf("try %d: cp -a %.0f MB/s, copier %.0f MB/s\n", i + 1, cpRates.back(), copierRates.back());
    }
    plat::DeleteTree(folder);
    if (!ok) {
        std::fprintf(stderr, "a copy failed\n");
        return 1;
    }

    const double bestCp = *std::max_element(cpRates.begin(), cpRates.end());
    const double bestCopier = *std::max_element(copierRates.begin(), copierRates.end());
    std::printf("best: cp -a %.0f MB/s, copier %.0f MB/s (%.0f%% of cp -a)\n", bestCp, bestCopier,
                100.0 * bestCopier / bestCp);
    std::printf("peak resident memory: the copier's whole process %ld KB, cp ", PeakKilobytes());
    if (cpPeakKilobytes > 0) {
        std::printf("%ld KB\n", cpPeakKilobytes);
    } else {
        std::printf("not measured (no /usr/bin/time)\n");
    }
    return 0;
}
