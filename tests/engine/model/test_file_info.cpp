#include "engine/model/file_info.h"

#include <gtest/gtest.h>

#include "platform/core/clock.h"
#include "platform/core/file_info.h"
#include "platform/core/file_time.h"
#include "platform/core/text.h"

namespace {

TEST(CFileInfo, DefaultsAreNoHandleAndNowForEveryTime) {
    plat::FixedClock clock(1'700'000'000);
    plat::ClockOverride use(clock);
    const CFileInfo record;
    EXPECT_EQ(record.savedState, 0u);
    EXPECT_EQ(record.state.Word(), 0u);
    EXPECT_EQ(record.treeItem, -1);
    EXPECT_EQ(record.shadowIndex, -1);
    EXPECT_EQ(record.attributes, INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(record.counterpartAttributes, INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(record.size, 0u);
    EXPECT_EQ(record.lastWrite, 1'700'000'000);
    EXPECT_EQ(record.counterpartLastWrite, 1'700'000'000);
}

TEST(CFileInfo, FromADirectoryEntryDropsTheFractionOfASecond) {
    plat::FileInfo entry;
    entry.attributes = FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_READONLY;
    entry.size = 0x123456789ull;  // above 4 GiB
    entry.creationTime = U64ToFileTime(plat::kUnixEpochTicks + 10 * plat::kTicksPerSecond + 9'999'999);
    entry.lastAccessTime = U64ToFileTime(plat::kUnixEpochTicks + 20 * plat::kTicksPerSecond + 1);
    entry.lastWriteTime = U64ToFileTime(plat::kUnixEpochTicks + 1'700'000'000ull * plat::kTicksPerSecond + 5'000'000);

    CFileInfo record;
    record.SetFromFindData(entry, L"/data/left/a.txt", "a.txt", 0x420);
    EXPECT_EQ(record.attributes, FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(record.size, 0x123456789ull);
    EXPECT_EQ(record.lastWrite, 1'700'000'000);
    EXPECT_EQ(record.path(), L"/data/left/a.txt");
    EXPECT_EQ(record.relativePath, "a.txt");
    EXPECT_EQ(record.state.Word(), 0x420u);
}

TEST(CFileInfo, FolderRecordUsesOneTimeForAll) {
    CFileInfo folder;
    folder.Set(L"/data/left/sub", 0, FILE_ATTRIBUTE_DIRECTORY, 0, L"sub", ItemState::kFolder);
    EXPECT_EQ(folder.lastWrite, 0);
    EXPECT_TRUE(folder.state.IsFolder());
    EXPECT_EQ(folder.relativePath, "sub");
}

TEST(CFileInfo, CounterpartTimeIsKeptWhenNoneIsGiven) {
    CFileInfo record;
    record.counterpartLastWrite = 777;
    record.SetCounterpart(L"/r/a", L"a", FILE_ATTRIBUTE_ARCHIVE, 12, 0);
    EXPECT_EQ(record.counterpartPath(), L"/r/a");
    EXPECT_EQ(record.counterpartRelativePath(), "a");
    EXPECT_EQ(record.counterpartAttributes, FILE_ATTRIBUTE_ARCHIVE);
    EXPECT_EQ(record.counterpartSize, 12u);
    EXPECT_EQ(record.counterpartLastWrite, 777);
    record.SetCounterpart(L"/r/a", L"a", FILE_ATTRIBUTE_ARCHIVE, 12, 888);
    EXPECT_EQ(record.counterpartLastWrite, 888);

    record.SetCounterpartState(99, FILE_ATTRIBUTE_NORMAL, 0);
    EXPECT_EQ(record.counterpartSize, 99u);
    EXPECT_EQ(record.counterpartAttributes, FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(record.counterpartLastWrite, 888);
    record.SetCounterpartState(99, FILE_ATTRIBUTE_NORMAL, -5);  // before 1970 is a time too
    EXPECT_EQ(record.counterpartLastWrite, -5);
}

TEST(CFileInfo, TitleAndExtensionOfThePath) {
    CFileInfo record;
    const struct {
        const wchar_t* path;
        const wchar_t* title;
        const wchar_t* ext;
    } cases[] = {
        {L"/a/b/report.final.txt", L"report.final", L"txt"},
        {L"/a/b.d/noext", L"noext", L""},
        {L"/a/.profile", L".profile", L""},
        {L"/a/trailing.", L"trailing", L""},
        {L"plain", L"plain", L""},
        {L"/a/\xDC80\x00E9.\xDCFF", L"\xDC80\x00E9", L"\xDCFF"},
        {L"", L"", L""},
    };
    for (const auto& c : cases) {
        record.Set(c.path, 0, 0, 0, L"", 0);  // kept whole
        EXPECT_EQ(record.GetFileTitle(), c.title) << c.path;
        EXPECT_EQ(record.GetFileExt(), c.ext) << c.path;
    }
}

TEST(CFileInfo, RecordsCopyEveryField) {
    CFileInfo a;
    a.Set(L"/l/x", 5, 1, 100, L"x", 0x420);
    a.SetCounterpart(L"/r/x", L"x", 2, 6, 101);
    a.treeItem = 7;
    a.shadowIndex = 3;
    a.savedState = 9;
    CFileInfo b = a;
    EXPECT_EQ(b.path(), a.path());
    EXPECT_EQ(b.counterpartPath(), a.counterpartPath());
    EXPECT_EQ(b.counterpartLastWrite, 101);
    EXPECT_EQ(b.treeItem, 7);
    EXPECT_EQ(b.shadowIndex, 3);
    EXPECT_EQ(b.savedState, 9u);
    EXPECT_EQ(b.state, a.state);
}

TEST(CFileInfo2, SetKeepsTheTimeWhenNoneIsGiven) {
    CFileInfo2 row;
    EXPECT_EQ(row.attributes, INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(row.time, 0);
    row.Set(L"dir/f", 1ull << 40, FILE_ATTRIBUTE_ARCHIVE, 1234, 7);
    EXPECT_EQ(row.name, "dir/f");
    EXPECT_EQ(row.size, 1ull << 40);
    EXPECT_EQ(row.attributes, FILE_ATTRIBUTE_ARCHIVE);
    EXPECT_EQ(row.time, 1234);
    EXPECT_EQ(row.flag, 7u);
    row.Set(L"dir/g", 1, 0, 0, 0);
    EXPECT_EQ(row.time, 1234);
    EXPECT_EQ(row.name, "dir/g");
}

// A record keeps its relative path and its side's root, shared by the side's records, and
// makes its full paths from them: names with bytes that are not UTF-8 (kept as U+DC80
// escapes) and 4,000-byte paths come back exactly; a full path that does not end in the
// relative path is kept whole.
TEST(CFileInfo, FullPathsAreMadeFromTheSidesRootAndTheRelativePath) {
    const SideRoot left = MakeSideRoot(L"/data/left");
    const SideRoot right = MakeSideRoot(L"/data/right/");
    EXPECT_EQ(*left, L"/data/left/");
    EXPECT_EQ(*right, L"/data/right/");
    std::wstring deep;
    while (deep.size() < 4000) deep += L"folder \xDC80\xDCFF/";
    deep += L"n\xDCE9me.txt";

    // The bytes as the file system gives them: the escapes are the invalid bytes themselves.
    const std::string deepBytes = plat::WideToUtf8(deep);
    ASSERT_NE(deepBytes.find("folder \x80\xFF/"), std::string::npos);
    CFileInfo source;
    source.Set(left, 1, FILE_ATTRIBUTE_ARCHIVE, 100, deepBytes, 0);
    CFileInfo target;
    target.SetFromFindData(plat::FileInfo{}, right, deepBytes, 0);
    EXPECT_EQ(source.relativePath, deepBytes);
    EXPECT_EQ(target.counterpartRelativePath(), deepBytes);
    EXPECT_TRUE(target.counterpartPath().empty());
    source.SetCounterpartRecord(target);
    target.SetCounterpartRecord(source);
    EXPECT_EQ(source.path(), L"/data/left/" + deep);
    EXPECT_EQ(source.counterpartPath(), L"/data/right/" + deep);
    EXPECT_EQ(target.counterpartPath(), L"/data/left/" + deep);
    const CFileInfo copy = source;
    EXPECT_EQ(copy.Root().get(), left.get());
    EXPECT_EQ(copy.path(), source.path());

    // Paths given whole: split where they end in the relative path, else kept as they are.
    CFileInfo other;
    other.Set(L"/data/left/" + deep, 0, 0, 0, deep, 0);
    EXPECT_EQ(*other.Root(), L"/data/left/");
    other.SetCounterpart(L"/elsewhere/Name.TXT", L"name.txt", 0, 0, 0);
    EXPECT_EQ(other.counterpartPath(), L"/elsewhere/Name.TXT");
    EXPECT_EQ(other.counterpartRelativePath(), "name.txt");
    other.Set(L"/x/partial", 0, 0, 0, L"other/partial", 0);
    EXPECT_EQ(other.path(), L"/x/partial");
}

}  // namespace
