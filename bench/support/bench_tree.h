#pragma once
// The tree the benchmarks work on: `files` small files spread over `folders` folders,
// every file with the same fixed last-write time, so two trees built alike are in step.

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace bench {

inline constexpr std::int64_t kFileTime = 1600000000;

inline double Seconds(std::chrono::steady_clock::time_point since) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

inline void WriteSmallFile(const std::string& path, int index) {
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) {
        std::perror(path.c_str());
        std::exit(1);
    }
    const std::string content = "file " + std::to_string(index) + "\n";
    if (write(fd, content.data(), content.size()) != static_cast<ssize_t>(content.size())) std::exit(1);
    const timespec times[2] = {{kFileTime, 0}, {kFileTime, 0}};
    futimens(fd, times);
    close(fd);
}

inline void BuildTree(const std::string& root, int files, int folders) {
    mkdir(root.c_str(), 0755);
    int index = 0;
    for (int f = 0; f < folders; ++f) {
        const std::string folder = root + "/folder " + std::to_string(f);
        mkdir(folder.c_str(), 0755);
        const int count = files / folders + (f < files % folders ? 1 : 0);
        for (int i = 0; i < count; ++i) WriteSmallFile(folder + "/document " + std::to_string(i) + ".txt", index++);
    }
}

}  // namespace bench
