#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include <gtest/gtest.h>

#include "platform/core/errors.h"
#include "platform/core/named_object_files.h"
#include "platform/core/sha256.h"
#include "support/object_folders.h"
#include "support/temp_dir.h"

namespace {

using plat::EncodeObjectName;

TEST(Sha256, MatchesPublishedDigests) {
    EXPECT_EQ(plat::Sha256Hex(""), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
    EXPECT_EQ(plat::Sha256Hex("abc"), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
    // 56 bytes: the length no longer fits in the block of the message's tail.
    EXPECT_EQ(plat::Sha256Hex("abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq"),
              "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1");
    EXPECT_EQ(plat::Sha256Hex(std::string(55, '0')),
              "9f8ef876f51f5313c91cc3f6b8119af09d8bbdd72098fa149b2780eb3591d6be");
    EXPECT_EQ(plat::Sha256Hex(std::string(1000000, 'a')),
              "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0");
}

TEST(ObjectNames, PrefixChoosesTheScope) {
    plat::ObjectName parsed;
    ASSERT_TRUE(plat::ParseObjectName("Global\\qbsync", parsed));
    EXPECT_EQ(parsed.scope, plat::ObjectScope::Global);
    EXPECT_EQ(parsed.body, "qbsync");
    ASSERT_TRUE(plat::ParseObjectName("Local\\schedule3", parsed));
    EXPECT_EQ(parsed.scope, plat::ObjectScope::Local);
    EXPECT_EQ(parsed.body, "schedule3");
    ASSERT_TRUE(plat::ParseObjectName("Quarrybend Sync VEXO", parsed));
    EXPECT_EQ(parsed.scope, plat::ObjectScope::Local);
    EXPECT_EQ(parsed.body, "Quarrybend Sync VEXO");
    // The prefixes are exact; anything else is part of a local name.
    ASSERT_TRUE(plat::ParseObjectName("global\\x", parsed));
    EXPECT_EQ(parsed.scope, plat::ObjectScope::Local);
    EXPECT_EQ(parsed.body, "global\\x");

    EXPECT_FALSE(plat::ParseObjectName("Local\\", parsed));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_NAME);
    EXPECT_FALSE(plat::ParseObjectName("", parsed));
}

TEST(ObjectNames, EncodingIsReadableAndEscapesEverythingElse) {
    EXPECT_EQ(EncodeObjectName("schedule12"), "schedule12");
    EXPECT_EQ(EncodeObjectName("a.B_c-9"), "a.B_c-9");
    EXPECT_EQ(EncodeObjectName("/home/ann/My Work"), "%2Fhome%2Fann%2FMy%20Work");
    EXPECT_EQ(EncodeObjectName("d:_data\\work"), "d%3A_data%5Cwork");
    EXPECT_EQ(EncodeObjectName("100%"), "100%25");
    EXPECT_EQ(EncodeObjectName("caf\xC3\xA9"), "caf%C3%A9");
    EXPECT_EQ(EncodeObjectName(std::string("a\0b", 3)), "a%00b");
    EXPECT_EQ(EncodeObjectName(".."), "..");
}

TEST(ObjectNames, DifferentNamesNeverShareAnEncoding) {
    // An escape written out literally must not meet the byte it stands for.
    EXPECT_NE(EncodeObjectName("a/b"), EncodeObjectName("a%2Fb"));
    EXPECT_NE(EncodeObjectName("A"), EncodeObjectName("a"));
    EXPECT_NE(EncodeObjectName("~"), EncodeObjectName("%7E"));

    const std::string longName = "/srv/" + std::string(300, 'x');
    const std::string longEncoding = EncodeObjectName(longName);
    EXPECT_LE(longEncoding.size(), 200u);
    EXPECT_EQ(longEncoding.substr(0, 11), "%2Fsrv%2Fxx");
    EXPECT_NE(longEncoding.find('~'), std::string::npos);
    EXPECT_EQ(longEncoding.substr(longEncoding.find('~') + 1), plat::Sha256Hex(longName));
    // Names that differ only past the kept start still differ.
    EXPECT_NE(longEncoding, EncodeObjectName(longName + "y"));
    EXPECT_NE(EncodeObjectName(longName.substr(0, 195)), EncodeObjectName(longName));

    // The longest encoding stays well inside a file name's limit, and no escape is cut.
    const std::string allEscaped(1000, '/');
    const std::string shortened = EncodeObjectName(allEscaped);
    EXPECT_LE(shortened.size() + std::string(".mutex-open").size(), 255u);
    const std::string kept = shortened.substr(0, shortened.find('~'));
    EXPECT_EQ(kept.size() % 3, 0u);

    // A plain encoding right at the limit is kept whole.
    EXPECT_EQ(EncodeObjectName(std::string(200, 'z')), std::string(200, 'z'));
    EXPECT_NE(EncodeObjectName(std::string(201, 'z')).find('~'), std::string::npos);
}

class ObjectFolders : public ::testing::Test {
protected:
    static mode_t ModeOf(const std::string& path) {
        struct stat st {};
        if (::lstat(path.c_str(), &st) != 0) return 0;
        return st.st_mode & 07777;
    }

    qbtest::TempDir temp_;
    const qbtest::ScopedObjectFolders folders_{temp_};
};

TEST_F(ObjectFolders, AreCreatedWithTheirModesWhateverTheUmask) {
    const mode_t oldMask = ::umask(077);
    const std::string global = plat::ObjectFolder(plat::ObjectScope::Global);
    const std::string local = plat::ObjectFolder(plat::ObjectScope::Local);
    ASSERT_EQ(global, temp_.sub("global"));
    ASSERT_EQ(local, temp_.sub("run/quarrybend-sync"));
    EXPECT_EQ(ModeOf(global), 01777u);
    EXPECT_EQ(ModeOf(local), 0700u);

    // Lock files of the machine-wide folder are open to every user.
    ASSERT_TRUE(plat::OpenObjectFile(global, "x.mutex", plat::ObjectScope::Global).IsValid());
    ASSERT_TRUE(plat::OpenObjectFile(local, "x.mutex", plat::ObjectScope::Local).IsValid());
    ::umask(oldMask);
    EXPECT_EQ(ModeOf(global + "/x.mutex"), 0666u);
    EXPECT_EQ(ModeOf(local + "/x.mutex"), 0600u);
}

TEST_F(ObjectFolders, WithoutRuntimeFolderUseAPrivateTemporaryOne) {
    ::unsetenv("XDG_RUNTIME_DIR");
    const std::string expected = "/tmp/quarrybend-sync-" + std::to_string(::geteuid());
    EXPECT_EQ(plat::ObjectFolder(plat::ObjectScope::Local), expected);
    EXPECT_EQ(ModeOf(expected), 0700u);
}

TEST_F(ObjectFolders, OurPrivateFolderOpenToOthersIsClosedAgain) {
    const std::string local = temp_.sub("run/quarrybend-sync");
    ASSERT_EQ(::mkdir(local.c_str(), 0777), 0);
    ::chmod(local.c_str(), 0777);
    EXPECT_EQ(plat::ObjectFolder(plat::ObjectScope::Local), local);
    EXPECT_EQ(ModeOf(local), 0700u);
}

TEST_F(ObjectFolders, RefuseLinksAndFiles) {
    ASSERT_EQ(::symlink(temp_.path().c_str(), temp_.sub("run/quarrybend-sync").c_str()), 0);
    EXPECT_EQ(plat::ObjectFolder(plat::ObjectScope::Local), "");
    EXPECT_EQ(GetLastError(), ERROR_DIRECTORY);

    qbtest::WriteFileBytes(temp_.sub("global"), "not a folder");
    EXPECT_EQ(plat::ObjectFolder(plat::ObjectScope::Global), "");
    EXPECT_NE(GetLastError(), ERROR_SUCCESS);

    // A lock file name taken by a link is never followed.
    const std::string local = temp_.sub("run");
    ASSERT_EQ(::symlink(temp_.sub("elsewhere").c_str(), (local + "/y.mutex").c_str()), 0);
    EXPECT_FALSE(plat::OpenObjectFile(local, "y.mutex", plat::ObjectScope::Local).IsValid());
    EXPECT_NE(GetLastError(), ERROR_SUCCESS);
    struct stat st {};
    EXPECT_NE(::stat(temp_.sub("elsewhere").c_str(), &st), 0);
}

}  // namespace
