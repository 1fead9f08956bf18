#include "engine/scan/listing_ahead.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "engine/model/path_compare.h"
#include "platform/core/file_faults.h"
#include "platform/core/file_ops.h"
#include "support/temp_dir.h"

namespace {

std::vector<std::string> Names(const std::vector<plat::DirEntry>& entries, std::size_t count) {
    std::vector<std::string> names;
    for (std::size_t i = 0; i < count; ++i) names.push_back(entries[i].name);
    std::sort(names.begin(), names.end());
    return names;
}

// What the helper listed is each folder's whole listing, failures included, handed over
// once; a folder it knows of is waited for, one it does not know is the caller's to read.
TEST(ListingAhead, HandsOverEachFolderOnceWithItsFailureAndWaitsForTheOnesItKnows) {
    qbtest::TempDir dir;
    const std::string root = dir.sub("side") + "/";
    for (const char* folder : {"a/deep", "b", "c", "_qb_sync/x"})
        ASSERT_TRUE(plat::CreateFolderWithParents(root + folder));
    qbtest::WriteFileBytes(root + "a/one", "1");
    qbtest::WriteFileBytes(root + "a/deep/two", "22");
    plat::FileFaults faults;
    faults.unlistableFolder = plat::FileFaults::SamePath(root + "b");
    faults.listError = ERROR_ACCESS_DENIED;
    const plat::ScopedFileFaults unlistable(faults);

    std::vector<plat::DirEntry> entries;
    std::size_t count = 0;
    DWORD error = ERROR_SUCCESS;
    {
        ListingHelpers helpers(1);
        ListingAhead ahead(root, &helpers);
        ASSERT_TRUE(ahead.Take(root, entries, count, error));  // waited for
        EXPECT_EQ(error, static_cast<DWORD>(ERROR_SUCCESS));
        EXPECT_EQ(Names(entries, count), (std::vector<std::string>{"_qb_sync", "a", "b", "c"}));
        // Give the helper time to list everything.
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        ASSERT_TRUE(ahead.Take(root + "a/", entries, count, error));
        EXPECT_EQ(Names(entries, count), (std::vector<std::string>{"deep", "one"}));
        ASSERT_TRUE(ahead.Take(root + "b/", entries, count, error));
        EXPECT_EQ(error, static_cast<DWORD>(ERROR_ACCESS_DENIED));
        EXPECT_FALSE(ahead.Take(root + "_qb_sync/", entries, count, error));  // the catalog folder is not listed
        EXPECT_FALSE(ahead.Take(root + "a/", entries, count, error));         // handed over once
    }
    for (const unsigned threads : {1u, 3u}) {
        // The scan asks at once: it waits for each folder the helpers know of, in its own order.
        ListingHelpers helpers(threads);
        ListingAhead ahead(root, &helpers);
        for (const std::string folder : {"", "c/", "a/", "a/deep/"}) {
            ASSERT_TRUE(ahead.Take(root + folder, entries, count, error)) << folder;
        }
        EXPECT_EQ(Names(entries, count), std::vector<std::string>{"two"});
        EXPECT_FALSE(ahead.Take(root + "elsewhere/", entries, count, error));
    }
}

// Several helpers on two sides hand the scan every folder once, whole, in whatever order
// they get to them, while the scan takes one side and then the other depth first.
TEST(ListingAhead, SeveralHelpersHandOverEveryFolderOfBothSidesOnce) {
    qbtest::TempDir dir;
    const std::string first = dir.sub("first") + "/";
    const std::string second = dir.sub("second") + "/";
    for (const std::string& root : {first, second}) {
        for (int a = 0; a < 12; ++a) {
            for (int b = 0; b < 6; ++b) {
                const std::string folder = root + "f" + std::to_string(a) + "/g" + std::to_string(b) + "/";
                ASSERT_TRUE(plat::CreateFolderWithParents(folder));
                for (int f = 0; f < 3; ++f) qbtest::WriteFileBytes(folder + "file" + std::to_string(f), "x");
            }
        }
    }
    ListingHelpers helpers(3);
    ListingAhead firstSide(first, &helpers, nullptr, CompareFileInfoBySecondNameCase);
    ListingAhead secondSide(second, &helpers, &firstSide, CompareFileInfoBySecondNameCase);
    std::vector<plat::DirEntry> entries;
    std::vector<std::uint32_t> byName;
    std::size_t count = 0;
    DWORD error = ERROR_SUCCESS;
    for (ListingAhead* side : {&firstSide, &secondSide}) {
        const std::string& root = side == &firstSide ? first : second;
        std::vector<std::string> toTake{root};
        std::size_t taken = 0;
        while (!toTake.empty()) {
            const std::string folder = toTake.back();
            toTake.pop_back();
            ASSERT_TRUE(side->Take(folder, entries, count, error, byName)) << folder;
            ASSERT_EQ(error, static_cast<DWORD>(ERROR_SUCCESS));
            ++taken;
            // The names in the compare's order.
            ASSERT_EQ(byName.size(), count);
            for (std::size_t i = 1; i < count; ++i) EXPECT_LT(entries[byName[i - 1]].name, entries[byName[i]].name);
            const std::vector<std::string> names = Names(entries, count);
            if (folder.find("/g") != std::string::npos) {
                EXPECT_EQ(names, (std::vector<std::string>{"file0", "file1", "file2"})) << folder;
                continue;
            }
            EXPECT_EQ(names.size(), folder == root ? 12u : 6u) << folder;
            for (auto it = names.rbegin(); it != names.rend(); ++it) toTake.push_back(folder + *it + "/");
            EXPECT_FALSE(side->Take(folder, entries, count, error));
        }
        EXPECT_EQ(taken, 1u + 12u + 12u * 6u);
    }
}

}  // namespace
