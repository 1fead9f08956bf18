#include "platform/core/paths.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include "support/temp_dir.h"

namespace {

using plat::CanonicalPath;

TEST(Paths, CanonicalFormIsTextualUnlessLinksAreResolved) {
    EXPECT_EQ(CanonicalPath("/"), "/");
    EXPECT_EQ(CanonicalPath("//"), "/");
    EXPECT_EQ(CanonicalPath("/a/b/"), "/a/b");
    EXPECT_EQ(CanonicalPath("/a//b/./c/../d"), "/a/b/d");
    EXPECT_EQ(CanonicalPath("/../.."), "/");
    EXPECT_EQ(CanonicalPath("/a/.."), "/");
    EXPECT_EQ(CanonicalPath("/a/..b/.c"), "/a/..b/.c");
    EXPECT_EQ(CanonicalPath(""), "");

    qbtest::TempDir dir;
    const std::string real = CanonicalPath(dir.path(), true);
    ASSERT_FALSE(real.empty());
    ASSERT_EQ(mkdir((real + "/target").c_str(), 0755), 0);
    ASSERT_EQ(symlink((real + "/target").c_str(), (real + "/link").c_str()), 0);
    EXPECT_EQ(CanonicalPath(real + "/link/../x"), real + "/x");
    EXPECT_EQ(CanonicalPath(real + "/link", true), real + "/target");
    EXPECT_EQ(CanonicalPath(real + "/missing", true), "");

    char cwd[4096];
    ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
    ASSERT_EQ(chdir(real.c_str()), 0);
    EXPECT_EQ(CanonicalPath("target/./y/"), real + "/target/y");
    EXPECT_EQ(CanonicalPath("."), real);
    ASSERT_EQ(chdir(cwd), 0);
}

TEST(Paths, PartsAndJoins) {
    EXPECT_TRUE(plat::IsRootPath("/"));
    EXPECT_TRUE(plat::IsRootPath("///"));
    EXPECT_FALSE(plat::IsRootPath(""));
    EXPECT_FALSE(plat::IsRootPath("/a"));

    EXPECT_EQ(plat::ParentPath("/a/b"), "/a");
    EXPECT_EQ(plat::ParentPath("/a/b//"), "/a");
    EXPECT_EQ(plat::ParentPath("/a//b"), "/a");
    EXPECT_EQ(plat::ParentPath("/a"), "/");
    EXPECT_EQ(plat::ParentPath("/"), "");
    EXPECT_EQ(plat::ParentPath("a/b"), "a");
    EXPECT_EQ(plat::ParentPath("a"), "");

    EXPECT_EQ(plat::FileNamePart("/a/b"), "b");
    EXPECT_EQ(plat::FileNamePart("/a/b/"), "b");
    EXPECT_EQ(plat::FileNamePart("b"), "b");
    EXPECT_EQ(plat::FileNamePart("/"), "");

    EXPECT_EQ(plat::JoinPath("/a", "b"), "/a/b");
    EXPECT_EQ(plat::JoinPath("/a/", "/b"), "/a/b");
    EXPECT_EQ(plat::JoinPath("/", "b"), "/b");
    EXPECT_EQ(plat::JoinPath("", "b"), "b");
    EXPECT_EQ(plat::JoinPath("/a", ""), "/a");
}

}  // namespace
