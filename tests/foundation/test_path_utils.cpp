#include <gtest/gtest.h>

#include "foundation/path_utils.h"
#include "foundation/size_text.h"

TEST(PathJoin, ExactlyOneSeparatorBetweenFolderAndName) {
    EXPECT_EQ(PathJoin("/a/b/", "/c"), "/a/b/c");
    EXPECT_EQ(PathJoin("/a/b", "c"), "/a/b/c");
    EXPECT_EQ(PathJoin("/a/b/", "c"), "/a/b/c");
    EXPECT_EQ(PathJoin("/a/b", "/c"), "/a/b/c");
    EXPECT_EQ(PathJoin("", "c"), "c");
    EXPECT_EQ(PathJoin("/", "c"), "/c");
    EXPECT_EQ(PathJoinW(L"/data/", L"/qboptions.ini"), L"/data/qboptions.ini");
}

TEST(PathParts, SeparatorsNamesAndExtensions) {
    EXPECT_EQ(AddBackslash(""), "");
    EXPECT_EQ(AddBackslash("/x"), "/x/");
    EXPECT_EQ(AddBackslash("/x/"), "/x/");
    EXPECT_EQ(AppendPathPart("/x", "/y"), "/x/y");
    EXPECT_EQ(RemoveTrailingBackslashW(L"/x/"), L"/x");
    EXPECT_EQ(RemoveTrailingBackslashW(L"/"), L"/");
    EXPECT_EQ(RemoveBackslashA("/"), "/");
    EXPECT_EQ(GetParentFolder(L"/a/b/c.txt"), L"/a/b");
    EXPECT_EQ(GetParentFolder(L"/c.txt"), L"/");
    EXPECT_EQ(GetParentFolder(L"c.txt"), L"");
    EXPECT_EQ(GetFileNameFromPathW(L"/a/b/c.txt"), L"c.txt");
    EXPECT_EQ(GetFileNameFromPathW(L"c.txt"), L"c.txt");
    EXPECT_EQ(GetFileExtension("archive.tar.gz"), "gz");
    EXPECT_EQ(GetFileExtension("/dir.d/noext"), "");
    EXPECT_EQ(GetFileExtension("noext"), "");
}

TEST(PathNames, FlatAndSafeNames) {
    EXPECT_EQ(PathToFlatName(L"/Home/User/Docs"), L"_home_user_docs");
    EXPECT_EQ(PathToSafeNameW(L"/media/u/CARD.1/<x>:y\\z"), L"_media_u_CARD_1__x__y_z");
    EXPECT_TRUE(PathIsRootW(L"/"));
    EXPECT_FALSE(PathIsRootW(L"/home"));
}

TEST(ProgramFolder, IsTheExecutablesFolder) {
    const std::string folder = GetProgramFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_EQ(folder.back(), '/');
    EXPECT_EQ(GetFullExeName().rfind(folder, 0), 0u);
}

TEST(FormatSizeText, DecimalThresholdsBinaryDivisors) {
    EXPECT_EQ(FormatSizeText(0), "0 bytes");
    EXPECT_EQ(FormatSizeText(999), "999 bytes");
    EXPECT_EQ(FormatSizeText(1000), "0.98KB");
    EXPECT_EQ(FormatSizeText(1536), "1.50KB");
    EXPECT_EQ(FormatSizeText(1048576), "1.00MB");
    EXPECT_EQ(FormatSizeText(5000000000ull), "4.66GB");
    EXPECT_EQ(FormatSizeText(999999999), "953.67MB");
}
