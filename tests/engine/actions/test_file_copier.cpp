#include "engine/actions/file_copier.h"

#include <gtest/gtest.h>

#include "engine/actions/file_as_checked.h"

#include <filesystem>
#include <random>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "platform/core/errors.h"
#include "platform/core/file_system.h"
#include "platform/core/file_time.h"
#include "platform/core/message_test_support.h"
#include "platform/core/text.h"
#include "resources/sync_messages.h"
#include "support/temp_dir.h"

namespace {

using qbtest::ReadFileBytes;
using qbtest::TempDir;
using qbtest::WriteFileBytes;

constexpr std::size_t kMiB = 1048576;

std::wstring W(const std::string& path) { return plat::Utf8ToWide(path); }

std::string RandomBytes(std::size_t size, unsigned seed) {
    std::mt19937 random(seed);
    std::string bytes(size, '\0');
    for (char& c : bytes) c = static_cast<char>(random());
    return bytes;
}

mode_t ModeOf(const std::string& path) {
    struct stat st {};
    EXPECT_EQ(lstat(path.c_str(), &st), 0) << path;
    return st.st_mode & 07777;
}

std::vector<std::string> NamesIn(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) names.push_back(entry.path().filename());
    std::sort(names.begin(), names.end());
    return names;
}

void SetWriteTime(const std::string& path, std::uint64_t ticks) {
    FILETIME time{static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
    ASSERT_TRUE(plat::SetFileTimes(path, nullptr, &time, &time));
}

// A window on the test's own thread that stands for the task window: it records the copy
// messages and answers the stop question with `stopAtQuery` (1-based; 0 never).
class CopyWindow {
public:
    explicit CopyWindow(int stopAtQuery = 0, std::function<void()> onQuery = {})
        : stopAtQuery_(stopAtQuery),
          onQuery_(std::move(onQuery)),
          procedure_([this](HWND, UINT message, WPARAM w, LPARAM) -> LRESULT { return Handle(message, w); }),
          hwnd_(plat::CreateMessageWindow(&procedure_)) {}
    ~CopyWindow() { DestroyWindow(hwnd_); }

    HWND Hwnd() const { return hwnd_; }
    int queries = 0;
    std::wstring name;
    std::vector<std::string> events;  // "begin", "25", "50", ..., "end"

private:
    LRESULT Handle(UINT message, WPARAM w) {
        switch (message) {
        case WM_SYNC_QUERY_STOP:
            ++queries;
            if (onQuery_) onQuery_();
            return stopAtQuery_ != 0 && queries >= stopAtQuery_;
        case WM_SYNC_LOG_LINE_W: name = reinterpret_cast<const wchar_t*>(w); return 1;
        case WM_SYNC_COPY_BEGIN: events.push_back("begin"); return 1;
        case WM_SYNC_COPY_BYTES: events.push_back(std::to_string(w)); return 1;
        case WM_SYNC_COPY_SIZE: events.push_back("end"); return 1;
        }
        return 0;
    }

    int stopAtQuery_;
    std::function<void()> onQuery_;
    msgtest::LambdaWindow procedure_;
    HWND hwnd_;
};

class FileCopier : public ::testing::Test {
protected:
    // A source file with a known write time (with a part below the second) and mode.
    std::string MakeSource(const std::string& name, const std::string& bytes, mode_t mode = 0640) {
        const std::string path = dir.sub("src/" + name);
        WriteFileBytes(path, bytes);
        EXPECT_EQ(chmod(path.c_str(), mode), 0);
        SetWriteTime(path, 133'000'000'001'234'567ull);
        return path;
    }
    std::string Target(const std::string& name) {
        plat::CreateFolderWithParents(dir.sub("dst"));
        return dir.sub("dst/" + name);
    }

    TempDir dir;
};

TEST_F(FileCopier, CopiesFilesByteForByteWithTimesAndPermissionBits) {
    struct Case {
        std::size_t size;
        mode_t mode;
        bool targetThere;
    };
    for (const Case& c :
         {Case{0, 0640, false}, Case{5, 0444, false}, Case{kMiB, 0600, true}, Case{3 * kMiB + 17, 0755, true}}) {
        SCOPED_TRACE(c.size);
        const std::string name = "file" + std::to_string(c.size);
        const std::string bytes = RandomBytes(c.size, static_cast<unsigned>(c.size));
        const std::string source = MakeSource(name, bytes, c.mode);
        const std::string target = Target(name);
        if (c.targetThere) WriteFileBytes(target, "an older and different content");

        ASSERT_EQ(CopyFileChunked(W(source), W(target), nullptr, nullptr, 0), 1);
        EXPECT_EQ(ReadFileBytes(target), bytes);
        EXPECT_EQ(ModeOf(target), c.mode);
        int bothExist = 0;
        EXPECT_EQ(IsSameFileVersion(W(source), W(target), bothExist), 1);
        EXPECT_EQ(bothExist, 1);
    }
    EXPECT_EQ(NamesIn(dir.sub("dst")).size(), 4u);  // no temporary file left
}

TEST_F(FileCopier, ReportsTheNameAndEachNewPercentage) {
    const std::string source = MakeSource("report.txt", RandomBytes(40960, 1));
    CopyWindow window;
    // Speed 3: 10,240-byte chunks.
    ASSERT_EQ(CopyFileChunked(W(source), W(Target("report.txt")), window.Hwnd(), window.Hwnd(), 3), 1);
    EXPECT_EQ(window.name, L"report.txt");
    EXPECT_EQ(window.queries, 4);
    EXPECT_EQ(window.events, (std::vector<std::string>{"begin", "25", "50", "75", "100", "end"}));

    // An empty file is created with no copy messages.
    CopyWindow quiet;
    ASSERT_EQ(CopyFileChunked(W(MakeSource("empty", "")), W(Target("empty")), quiet.Hwnd(), quiet.Hwnd(), 3), 1);
    EXPECT_EQ(quiet.name, L"empty");
    EXPECT_TRUE(quiet.events.empty());
    EXPECT_EQ(quiet.queries, 0);
}

TEST_F(FileCopier, MovesAMebibytePerChunkAtFullSpeed) {
    const std::string source = MakeSource("big", RandomBytes(4 * kMiB, 2));
    CopyWindow window;
    ASSERT_EQ(CopyFileChunked(W(source), W(Target("big")), window.Hwnd(), nullptr, 0), 1);
    EXPECT_EQ(window.queries, 4);
}

TEST_F(FileCopier, StopLeavesTheTargetAsItWasAndNoTemporaryFile) {
    const std::string source = MakeSource("large", RandomBytes(8 * kMiB, 3));
    for (const bool targetThere : {true, false}) {
        SCOPED_TRACE(targetThere);
        const std::string target = Target("large");
        if (targetThere)
            WriteFileBytes(target, "old");
        else
            ASSERT_TRUE(plat::DeleteFile(target));
        std::vector<std::string> namesDuringCopy;
        CopyWindow window(3, [&] { namesDuringCopy = NamesIn(dir.sub("dst")); });

        EXPECT_EQ(CopyFileChunked(W(source), W(target), window.Hwnd(), window.Hwnd(), 0), -1);
        EXPECT_EQ(window.events.back(), "end");
        // During the copy the data went to a temporary sibling that the scan passes over.
        ASSERT_EQ(namesDuringCopy.size(), targetThere ? 2u : 1u);
        EXPECT_TRUE(IsCopyTempName(namesDuringCopy.front()));
        EXPECT_TRUE(IsCopyTempName(W(namesDuringCopy.front())));
        if (targetThere) {
            EXPECT_EQ(ReadFileBytes(target), "old");
            EXPECT_EQ(NamesIn(dir.sub("dst")), std::vector<std::string>{"large"});
        } else {
            EXPECT_TRUE(NamesIn(dir.sub("dst")).empty());
        }
    }
}

// A new file is written with no name where the file system allows it and linked to its
// name at the end; where it does not (FAT, FUSE drivers), a locked temporary sibling is
// renamed into place. Either way a Stop leaves nothing, and an item that appears at the
// name during the copy is never replaced.
TEST_F(FileCopier, ANewFileLeavesNoTemporaryAndNeverReplacesAnItemThatAppeared) {
    const std::string bytes = RandomBytes(40960, 7);
    const std::string source = MakeSource("new.bin", bytes, 0600);
    for (const bool unnamedRefused : {false, true}) {
        SCOPED_TRACE(unnamedRefused);
        plat::FileFaults faults;
        if (unnamedRefused) faults.unnamedFilesRefused = [](const std::string&) { return true; };
        const plat::ScopedFileFaults fileSystem(faults);
        const std::string target = Target("new.bin");
        std::vector<std::string> namesDuringCopy;
        const auto copy = [&](int stopAtQuery, std::function<void()> duringCopy) {
            CopyWindow window(stopAtQuery, [&] {
                namesDuringCopy = NamesIn(dir.sub("dst"));
                if (duringCopy) duringCopy();
            });
            return CopyFileChunked(W(source), W(target), window.Hwnd(), window.Hwnd(), 3, CopyDisposition::kCreateNew);
        };

        ASSERT_EQ(copy(0, {}), 1);
        EXPECT_EQ(ReadFileBytes(target), bytes);
        EXPECT_EQ(ModeOf(target), 0600u);
        int bothExist = 0;
        EXPECT_EQ(IsSameFileVersion(W(source), W(target), bothExist), 1);
        ASSERT_EQ(namesDuringCopy.size(), unnamedRefused ? 1u : 0u);
        if (unnamedRefused) {
            EXPECT_TRUE(IsCopyTempName(namesDuringCopy.front()));
        }
        ASSERT_TRUE(plat::DeleteFile(target));

        EXPECT_EQ(copy(2, {}), -1);
        EXPECT_TRUE(NamesIn(dir.sub("dst")).empty());

        EXPECT_EQ(copy(0,
                       [&] {
                           if (!plat::PathExists(target)) WriteFileBytes(target, "someone else's");
                       }),
                  0);
        EXPECT_EQ(GetLastError(), ERROR_FILE_EXISTS);
        EXPECT_EQ(ReadFileBytes(target), "someone else's");
        EXPECT_EQ(NamesIn(dir.sub("dst")), std::vector<std::string>{"new.bin"});
        ASSERT_TRUE(plat::DeleteFile(target));
    }
}

TEST_F(FileCopier, ASourceWrittenToDuringTheCopyFailsAndLeavesTheTargetAsItWas) {
    const std::string source = MakeSource("growing.db", RandomBytes(40960, 5));
    for (const bool targetThere : {true, false}) {
        SCOPED_TRACE(targetThere);
        const std::string target = Target("growing.db");
        if (targetThere)
            WriteFileBytes(target, "old");
        else
            ASSERT_TRUE(plat::DeleteFile(target));
        // Another program rewrites the file in place, same size, half-way through the copy.
        CopyWindow window(0, [&, done = false]() mutable {
            if (done) return;
            done = true;
            WriteFileBytes(source, RandomBytes(40960, 6));
        });

        EXPECT_EQ(CopyFileChunked(W(source), W(target), window.Hwnd(), nullptr, 3), 0);
        EXPECT_EQ(GetLastError(), kErrorChangedSinceCheck);
        if (targetThere) {
            EXPECT_EQ(ReadFileBytes(target), "old");
            EXPECT_EQ(NamesIn(dir.sub("dst")), std::vector<std::string>{"growing.db"});
        } else {
            EXPECT_TRUE(NamesIn(dir.sub("dst")).empty());
        }
        SetWriteTime(source, 133'000'000'001'234'567ull);
    }
}

TEST_F(FileCopier, AFullDiskLeavesTheOldFileAndReportsDiskFull) {
    const std::string source = MakeSource("data", RandomBytes(4 * kMiB, 4));
    const std::string target = Target("data");
    WriteFileBytes(target, "the old file");
    const std::string folder = dir.sub("dst/");
    plat::FileFaults faults;
    faults.diskFullPath = [folder](const std::string& path) { return path.rfind(folder, 0) == 0; };
    faults.diskFullAfterBytes = 3 * kMiB / 2;
    const plat::ScopedFileFaults fullDisk(faults);

    CopyWindow window;
    EXPECT_EQ(CopyFileChunked(W(source), W(target), window.Hwnd(), window.Hwnd(), 0), 0);
    EXPECT_EQ(GetLastError(), ERROR_DISK_FULL);
    EXPECT_EQ(window.events.back(), "end");
    EXPECT_EQ(ReadFileBytes(target), "the old file");
    EXPECT_EQ(NamesIn(dir.sub("dst")), std::vector<std::string>{"data"});
}

TEST_F(FileCopier, TargetsThatMayNotBeReplacedFailAndStayAsTheyWere) {
    const std::string source = MakeSource("doc", "new content");

    const std::string readOnly = Target("doc");
    WriteFileBytes(readOnly, "kept");
    ASSERT_EQ(chmod(readOnly.c_str(), 0444), 0);
    EXPECT_EQ(CopyFileChunked(W(source), W(readOnly), nullptr, nullptr, 0), 0);
    EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
    EXPECT_EQ(ReadFileBytes(readOnly), "kept");
    EXPECT_EQ(ModeOf(readOnly), 0444u);

    const std::string folder = Target("folder");
    ASSERT_TRUE(plat::CreateFolder(folder));
    EXPECT_EQ(CopyFileChunked(W(source), W(folder), nullptr, nullptr, 0), 0);
    EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);

    const std::string link = Target("link");
    ASSERT_EQ(symlink(source.c_str(), link.c_str()), 0);
    EXPECT_EQ(CopyFileChunked(W(source), W(link), nullptr, nullptr, 0), 0);
    EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);

    // A new file never replaces one that appeared since the Check.
    const std::string appeared = Target("appeared");
    WriteFileBytes(appeared, "someone else's");
    EXPECT_EQ(CopyFileChunked(W(source), W(appeared), nullptr, nullptr, 0, CopyDisposition::kCreateNew), 0);
    EXPECT_EQ(GetLastError(), ERROR_FILE_EXISTS);
    EXPECT_EQ(ReadFileBytes(appeared), "someone else's");

    EXPECT_EQ(NamesIn(dir.sub("dst")), (std::vector<std::string>{"appeared", "doc", "folder", "link"}));
}

TEST_F(FileCopier, SourcesThatCannotBeReadFailWithTheirReason) {
    const std::string target = Target("out");

    const std::string locked = MakeSource("locked", "held by another program");
    plat::FileFaults faults;
    faults.lockedFile = plat::FileFaults::SamePath(locked);
    const plat::ScopedFileFaults held(faults);
    EXPECT_EQ(CopyFileChunked(W(locked), W(target), nullptr, nullptr, 0), 0);
    EXPECT_EQ(GetLastError(), ERROR_SHARING_VIOLATION);
    EXPECT_EQ(IsFileLocked(W(locked)), 1);

    const std::string free = MakeSource("free", "x");
    EXPECT_EQ(IsFileLocked(W(free)), 0);
    EXPECT_EQ(IsFileLocked(W(dir.sub("src/missing"))), 0);  // missing is not locked

    EXPECT_EQ(CopyFileChunked(W(dir.sub("src/missing")), W(target), nullptr, nullptr, 0), 0);
    EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
    const std::string link = dir.sub("src/link");
    ASSERT_EQ(symlink(free.c_str(), link.c_str()), 0);
    EXPECT_EQ(CopyFileChunked(W(link), W(target), nullptr, nullptr, 0), 0);
    EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
    EXPECT_EQ(CopyFileChunked(W(free), W(dir.sub("no/such/folder/out")), nullptr, nullptr, 0), 0);
    EXPECT_EQ(GetLastError(), ERROR_PATH_NOT_FOUND);

    EXPECT_TRUE(NamesIn(dir.sub("dst")).empty());
}

TEST_F(FileCopier, CopyFileTimeSetsOnlyTheTime) {
    const std::string path = MakeSource("readonly", "x", 0444);
    ASSERT_TRUE(CopyFileTime(W(path), 1'600'000'000));
    plat::FileInfo info;
    ASSERT_TRUE(plat::GetFileInfo(path, info));
    EXPECT_EQ(plat::FileTimeToUnixSeconds(info.lastWriteTime), 1'600'000'000);
    EXPECT_EQ(ModeOf(path), 0444u);
    EXPECT_EQ(ReadFileBytes(path), "x");

    EXPECT_FALSE(CopyFileTime(W(dir.sub("src/missing")), 1'600'000'000));
    EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
}

TEST_F(FileCopier, SetCopyTimesGivesFilesTheSourcesBitsButLeavesFoldersWritable) {
    const std::string source = MakeSource("plan", "p", 0444);
    const std::string file = Target("plan");
    WriteFileBytes(file, "q");
    ASSERT_TRUE(SetCopyTimes(W(source), W(file)));
    int bothExist = 0;
    EXPECT_EQ(IsSameFileVersion(W(source), W(file), bothExist), 1);
    EXPECT_EQ(ModeOf(file), 0444u);

    const std::string folder = Target("sub");
    ASSERT_TRUE(plat::CreateFolder(folder));
    const mode_t folderMode = ModeOf(folder);
    ASSERT_TRUE(SetCopyTimes(W(source), W(folder)));
    EXPECT_EQ(ModeOf(folder), folderMode);

    EXPECT_FALSE(SetCopyTimes(W(dir.sub("src/missing")), W(file)));
}

TEST_F(FileCopier, SameFileVersionNeedsBothFilesWithTheSameTimeAndSize) {
    const std::string a = MakeSource("a", "same");
    const std::string b = MakeSource("b", "SAME");
    int bothExist = 0;
    EXPECT_EQ(IsSameFileVersion(W(a), W(b), bothExist), 1);
    EXPECT_EQ(bothExist, 1);

    SetWriteTime(b, 133'000'000'001'234'568ull);  // 100 ns later
    EXPECT_EQ(IsSameFileVersion(W(a), W(b), bothExist), 0);
    EXPECT_EQ(bothExist, 1);

    const std::string c = MakeSource("c", "longer");
    EXPECT_EQ(IsSameFileVersion(W(a), W(c), bothExist), 0);
    EXPECT_EQ(bothExist, 1);

    EXPECT_EQ(IsSameFileVersion(W(a), W(dir.sub("src/missing")), bothExist), 0);
    EXPECT_EQ(bothExist, 0);
}

TEST(CopyTempName, OnlyTheCopiersOwnNamesMatch) {
    EXPECT_TRUE(IsCopyTempName(std::string_view(".~qbcopy-0123456789abcdef.tmp")));
    for (std::string_view name : {".~qbcopy-0123456789abcde.tmp", ".~qbcopy-0123456789ABCDEF.tmp",
                                  ".~qbcopy-0123456789abcdef.txt", "~qbcopy-0123456789abcdef.tmp", "report.tmp", ""}) {
        EXPECT_FALSE(IsCopyTempName(name)) << name;
    }
}

}  // namespace
