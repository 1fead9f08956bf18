#include "engine/scan/listing_ahead.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

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
    for (const char* folder : {"a/deep", "b", "c", "_qb_sync/x"}) ASSERT_TRUE(plat::CreateFolderWithParents(root + folder));
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
        ListingAhead ahead(root);
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
    {
        // The scan asks at once: it waits for each folder the helper knows of, in its own order.
        ListingAhead ahead(root);
        for (const std::string folder : {"", "c/", "a/", "a/deep/"}) {
            ASSERT_TRUE(ahead.Take(root + folder, entries, count, error)) << folder;
        }
        EXPECT_EQ(Names(entries, count), std::vector<std::string>{"two"});
        EXPECT_FALSE(ahead.Take(root + "elsewhere/", entries, count, error));
    }
}

}  // namespace
