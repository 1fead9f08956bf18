// Writers of one archive never lose each other's members, a store can hold the archive's
// lock across a read-modify-write, and a write that fails leaves the old archive whole.

#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "platform/core/archive_lock.h"
#include "platform/core/zip_command.h"
#include "support/file_size_limit.h"
#include "support/temp_dir.h"
#include "zip_test_commands.h"

using namespace ziptest;

namespace {

std::vector<std::string> FolderEntries(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) names.push_back(entry.path().filename());
    return names;
}

}  // namespace

TEST(ZipConcurrency, TwoWritersOfOneArchiveLoseNothing) {
    qbtest::TempDir dir;
    const std::string archive = dir.sub("a.zip");
    constexpr int kEach = 40;
    auto writer = [&](char side) {
        for (int i = 0; i < kEach; ++i) {
            const std::string name = std::string(1, side) + std::to_string(i);
            EXPECT_EQ(Store(archive, name, name + " body"), 0);
        }
    };
    std::atomic<bool> done{false};
    std::atomic<int> failedReads{0};
    std::thread reader([&] {
        while (!done) {
            // Once the archive exists it is always whole to a reader.
            if (std::filesystem::exists(archive) && !Count(archive)) ++failedReads;
        }
    });
    std::thread left(writer, 'L');
    std::thread right(writer, 'R');
    left.join();
    right.join();
    done = true;
    reader.join();

    EXPECT_EQ(failedReads.load(), 0);
    ASSERT_EQ(Count(archive), static_cast<DWORD>(2 * kEach));
    for (char side : {'L', 'R'}) {
        for (int i = 0; i < kEach; ++i) {
            const std::string name = std::string(1, side) + std::to_string(i);
            EXPECT_EQ(Extract(archive, name), name + " body");
        }
    }
}

TEST(ZipConcurrency, HoldingTheLockMakesReadModifyWriteWhole) {
    qbtest::TempDir dir;
    const std::string archive = dir.sub("counter.zip");
    ASSERT_EQ(Store(archive, "n", "0"), 0);
    constexpr int kEach = 60;
    auto increment = [&](const std::string& spelling) {
        for (int i = 0; i < kEach; ++i) {
            const plat::ArchiveLock lock(spelling);
            const int value = std::stoi(Extract(archive, "n").value_or("-1000000"));
            EXPECT_EQ(Store(archive, "n", std::to_string(value + 1)), 0);
        }
    };
    // Two spellings of one path share one lock.
    std::thread a(increment, archive);
    std::thread b(increment, dir.path() + "/./sub/../counter.zip");
    a.join();
    b.join();
    EXPECT_EQ(Extract(archive, "n"), std::to_string(2 * kEach));
}

TEST(ZipConcurrency, SpellingsOfOnePathNormaliseAlike) {
    qbtest::TempDir dir;
    const std::string real = dir.sub("f.zip");
    std::filesystem::create_directory(dir.sub("d"));
    std::filesystem::create_directory_symlink(dir.path(), dir.sub("link"));
    EXPECT_EQ(plat::NormalizeArchivePath(dir.path() + "//d/../f.zip"), plat::NormalizeArchivePath(real));
    EXPECT_EQ(plat::NormalizeArchivePath(dir.sub("link/f.zip")), plat::NormalizeArchivePath(real));
    EXPECT_NE(plat::NormalizeArchivePath(dir.sub("g.zip")), plat::NormalizeArchivePath(real));
}

TEST(ZipConcurrency, FailedRewriteLeavesTheOldArchiveAndNoTemporaryFile) {
    qbtest::TempDir dir;
    const std::string archive = dir.sub("a.zip");
    std::mt19937 gen(3);
    std::string noise(300'000, '\0');
    for (char& c : noise) c = static_cast<char>(gen());
    ASSERT_EQ(Store(archive, "old", noise), 0);
    const std::string before = qbtest::ReadFileBytes(archive);

    {
        const qbtest::FileSizeLimit limit(before.size() / 2);
        EXPECT_EQ(Store(archive, "new", "small"), kZipWriteFailed);
    }
    EXPECT_TRUE(qbtest::ReadFileBytes(archive) == before);
    EXPECT_EQ(FolderEntries(dir.path()), std::vector<std::string>{"a.zip"});

    ASSERT_EQ(Store(archive, "second", "2"), 0);
    const std::string withTwo = qbtest::ReadFileBytes(archive);
    {
        const qbtest::FileSizeLimit limit(withTwo.size() / 2);
        EXPECT_EQ(Delete(archive, "second"), kZipWriteFailed);
        EXPECT_EQ(Store(archive, "second", noise), kZipWriteFailed);
    }
    EXPECT_TRUE(qbtest::ReadFileBytes(archive) == withTwo);
    EXPECT_EQ(FolderEntries(dir.path()), std::vector<std::string>{"a.zip"});
    EXPECT_TRUE(Extract(archive, "old") == noise);
    EXPECT_EQ(Extract(archive, "second"), "2");
}

TEST(ZipConcurrency, WriteIntoAMissingFolderFails) {
    qbtest::TempDir dir;
    EXPECT_NE(Store(dir.sub("no/such/folder/a.zip"), "m", "x"), 0);
    EXPECT_FALSE(std::filesystem::exists(dir.sub("no")));
}
