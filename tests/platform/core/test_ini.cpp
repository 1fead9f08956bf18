#include "platform/core/errors.h"
#include "platform/core/ini_file.h"
#include "platform/core/text.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <thread>
#include <vector>

#include "support/temp_dir.h"

namespace {

using plat::IniFile;
using qbtest::ReadFileBytes;
using qbtest::WriteFileBytes;

class IniTest : public ::testing::Test {
protected:
    qbtest::TempDir dir;
    std::string path = dir.sub("qboptions.ini");
};

ino_t InodeOf(const std::string& path) {
    struct stat info {};
    stat(path.c_str(), &info);
    return info.st_ino;
}

TEST_F(IniTest, FileBytesAfterASequenceOfWrites) {
    ASSERT_TRUE(WritePrivateProfileString("Program", "ApplicationLook", "216", path));
    EXPECT_EQ(ReadFileBytes(path), "[Program]\r\nApplicationLook=216\r\n");
    ASSERT_TRUE(WritePrivateProfileString("Sync", "Type", "1", path));
    EXPECT_EQ(ReadFileBytes(path), "[Program]\r\nApplicationLook=216\r\n\r\n[Sync]\r\nType=1\r\n");
    ASSERT_TRUE(WritePrivateProfileString("program", "Tray Icon", "0", path));
    ASSERT_TRUE(WritePrivateProfileString("PROGRAM", "applicationlook", "217", path));
    EXPECT_EQ(ReadFileBytes(path), "[Program]\r\nApplicationLook=217\r\nTray Icon=0\r\n\r\n[Sync]\r\nType=1\r\n");
    ASSERT_TRUE(WritePrivateProfileString("Sync", "Type", nullptr, path));
    EXPECT_EQ(ReadFileBytes(path), "[Program]\r\nApplicationLook=217\r\nTray Icon=0\r\n\r\n[Sync]\r\n");
    ASSERT_TRUE(WritePrivateProfileString("Sync", "Folders", "\"C:\\My Temp\" x", path));
    ASSERT_TRUE(WritePrivateProfileString("Program", nullptr, nullptr, path));
    EXPECT_EQ(ReadFileBytes(path), "[Sync]\r\nFolders=\"C:\\My Temp\" x\r\n");  // quotes kept
    ASSERT_TRUE(WritePrivateProfileString("sync", nullptr, nullptr, path));
    EXPECT_EQ(ReadFileBytes(path), "");
}

TEST_F(IniTest, EditsKeepEveryOtherLine) {
    WriteFileBytes(path,
                   "; settings\n"
                   "stray line before sections\n"
                   "[A]\n"
                   "  a = 1  \n"
                   "# not a comment to the platform\n"
                   "; note\n"
                   "\n"
                   "[B]\r\n"
                   "b=2");  // no final line end
    ASSERT_TRUE(WritePrivateProfileString("A", "c", "3", path));
    ASSERT_TRUE(WritePrivateProfileString("b", "B", "20", path));
    ASSERT_TRUE(WritePrivateProfileString("B", "new", "x", path));
    EXPECT_EQ(ReadFileBytes(path),
              "; settings\r\n"
              "stray line before sections\r\n"
              "[A]\r\n"
              "  a = 1  \r\n"
              "# not a comment to the platform\r\n"
              "; note\r\n"
              "c=3\r\n"
              "\r\n"
              "[B]\r\n"
              "b=20\r\n"
              "new=x\r\n");
    // A write that changes nothing leaves the file alone.
    const ino_t before = InodeOf(path);
    ASSERT_TRUE(WritePrivateProfileString("A", "a", "1", path));
    ASSERT_TRUE(WritePrivateProfileString("A", "missing", nullptr, path));
    EXPECT_EQ(InodeOf(path), before);
}

TEST_F(IniTest, ReadingRules) {
    WriteFileBytes(path,
                   "[Task]\r\n"
                   "Active = \"C:\\My Temp\" \r\n"
                   "Formula=a=b\n"
                   "Empty=\n"
                   "Dup=first\n"
                   "  [ task ]  \n"
                   "dup=second\n"
                   "Only2=here\n"
                   "[Other]\n"
                   "Dup=other\n");
    EXPECT_EQ(GetPrivateProfileString("TASK", "active", "d", path), "\"C:\\My Temp\"");
    EXPECT_EQ(GetPrivateProfileString("Task", "Formula", "", path), "a=b");
    EXPECT_EQ(GetPrivateProfileString("Task", "Empty", "d", path), "");
    EXPECT_EQ(GetPrivateProfileString("Task", "Dup", "", path), "first");
    EXPECT_EQ(GetPrivateProfileString("Task", "Only2", "", path), "here");  // the second [task]
    EXPECT_EQ(GetPrivateProfileString(" Task ", " Dup ", "", path), "first");
    EXPECT_EQ(GetPrivateProfileString("Task", "Missing", "dflt  ", path), "dflt");
    EXPECT_EQ(GetPrivateProfileString("Nope", "Dup", nullptr, path), "");
    EXPECT_EQ(GetPrivateProfileString(nullptr, "Dup", "d", path), "d");
    EXPECT_EQ(static_cast<int>(GetPrivateProfileInt("Task", "Empty", 7, path)), 7);
    EXPECT_EQ(static_cast<int>(GetPrivateProfileInt("Task", "Missing", -3, path)), -3);
    EXPECT_EQ(static_cast<int>(GetPrivateProfileInt("Task", "Dup", 5, path)), 0);  // no digits

    const IniFile file(path);
    EXPECT_EQ(file.SectionNames(), (std::vector<std::string>{"Task", "Other"}));
    EXPECT_EQ(file.KeyNames("TASK"), (std::vector<std::string>{"Active", "Formula", "Empty", "Dup", "Only2"}));
    EXPECT_TRUE(file.KeyNames("none").empty());
    EXPECT_FALSE(file.Read("Other", "Active").has_value());

    // Writing to a key of the second [task] updates it there.
    ASSERT_TRUE(WritePrivateProfileString("task", "only2", "moved", path));
    EXPECT_NE(ReadFileBytes(path).find("dup=second\r\nOnly2=moved\r\n"), std::string::npos);
    // Deleting a key removes it from every section of that name.
    ASSERT_TRUE(WritePrivateProfileString("Task", "dup", nullptr, path));
    EXPECT_EQ(GetPrivateProfileString("Task", "Dup", "gone", path), "gone");
    EXPECT_EQ(GetPrivateProfileString("Other", "Dup", "", path), "other");
}

TEST(ProfileInt, LeadingNumber) {
    EXPECT_EQ(plat::ParseProfileInt("216"), 216);
    EXPECT_EQ(plat::ParseProfileInt("-15"), -15);
    EXPECT_EQ(plat::ParseProfileInt("+7"), 7);
    EXPECT_EQ(plat::ParseProfileInt("  42"), 42);
    EXPECT_EQ(plat::ParseProfileInt("102abc"), 102);
    EXPECT_EQ(plat::ParseProfileInt("12 34"), 12);
    EXPECT_EQ(plat::ParseProfileInt("abc"), 0);
    EXPECT_EQ(plat::ParseProfileInt("-"), 0);
    EXPECT_EQ(plat::ParseProfileInt("- 5"), 0);
    EXPECT_EQ(plat::ParseProfileInt("0x1A"), 26);
    EXPECT_EQ(plat::ParseProfileInt("0XffZ"), 255);
    EXPECT_EQ(plat::ParseProfileInt("0x"), 0);
    EXPECT_EQ(plat::ParseProfileInt("0xg"), 0);
    EXPECT_EQ(plat::ParseProfileInt("2147483647"), 2147483647);
    EXPECT_EQ(plat::ParseProfileInt("-2147483648"), INT_MIN);
    EXPECT_EQ(plat::ParseProfileInt("99999999999999999999999"), INT_MAX);
    EXPECT_EQ(plat::ParseProfileInt("-99999999999999999999999"), INT_MIN);
}

TEST_F(IniTest, WritesThatWouldBreakTheFileAreRefused) {
    WriteFileBytes(path, "[A]\r\nk=v\r\n");
    const struct {
        const char* section;
        const char* key;
        const char* value;
    } bad[] = {
        {"A", "k", "v\r\n[Evil]\r\nx=1"},
        {"A", "k=2", "v"},
        {"A", "[k", "v"},
        {"A", ";k", "v"},
        {"A", "  ", "v"},
        {"A]", "k", "v"},
        {"", "k", "v"},
        {"A\n", "k", "v"},
    };
    for (const auto& b : bad) {
        SetLastError(0);
        EXPECT_FALSE(WritePrivateProfileString(b.section, b.key, b.value, path)) << b.key;
        EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    }
    EXPECT_FALSE(WritePrivateProfileString(nullptr, "k", "v", path));
    EXPECT_EQ(ReadFileBytes(path), "[A]\r\nk=v\r\n");
}

TEST_F(IniTest, BadFilesNeverCrash) {
    std::string garbage;
    for (int i = 0; i < 4096; ++i) garbage += static_cast<char>((i * 131 + 7) & 0xFF);
    const std::string longValue(1 << 20, 'v');
    WriteFileBytes(path, "\xEF\xBB\xBF[Bom]\nk=1\n" + garbage + "\n[Big]\nlong=" + longValue + "\nnul=a" +
                             std::string("\0b", 2) + "\n[" + std::string(1 << 20, 's') + "\n[Tail]\nlast=end");
    EXPECT_EQ(GetPrivateProfileInt("Bom", "k", 0, path), 1u);  // a byte-order mark is not part of the name
    EXPECT_EQ(GetPrivateProfileString("Big", "long", "", path), longValue);
    EXPECT_EQ(GetPrivateProfileString("Big", "nul", "", path), "a");
    EXPECT_EQ(GetPrivateProfileString("Tail", "last", "", path), "end");
    const std::string before = ReadFileBytes(path);
    ASSERT_TRUE(WritePrivateProfileString("Tail", "more", "1", path));
    const std::string after = ReadFileBytes(path);
    EXPECT_EQ(after.substr(0, 3), "\xEF\xBB\xBF");
    EXPECT_EQ(after.substr(after.size() - 18), "last=end\r\nmore=1\r\n");
    EXPECT_EQ(GetPrivateProfileString("Big", "long", "", path), longValue);
    EXPECT_GE(after.size(), before.size());
}

TEST_F(IniTest, UnusableFilesGiveDefaultsAndFailedWrites) {
    const std::string folder = dir.sub("folder.ini");
    std::filesystem::create_directory(folder);
    EXPECT_EQ(GetPrivateProfileString("A", "k", "d", folder), "d");
    EXPECT_EQ(GetPrivateProfileInt("A", "k", 9, folder), 9u);
    EXPECT_FALSE(WritePrivateProfileString("A", "k", "v", folder));
    EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
    EXPECT_TRUE(std::filesystem::is_directory(folder));

    const std::string fifo = dir.sub("fifo.ini");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_EQ(GetPrivateProfileString("A", "k", "d", fifo), "d");  // never blocks
    EXPECT_FALSE(WritePrivateProfileString("A", "k", "v", fifo));

    const std::string noFolder = dir.sub("missing/qboptions.ini");
    EXPECT_EQ(GetPrivateProfileString("A", "k", "d", noFolder), "d");
    EXPECT_FALSE(WritePrivateProfileString("A", "k", "v", noFolder));
    // Deleting from a file that does not exist succeeds and creates nothing.
    EXPECT_TRUE(WritePrivateProfileString("A", "k", nullptr, path));
    EXPECT_FALSE(std::filesystem::exists(path));

    if (geteuid() != 0) {
        WriteFileBytes(path, "[A]\r\nk=v\r\n");
        chmod(path.c_str(), 0);
        EXPECT_EQ(GetPrivateProfileString("A", "k", "d", path), "d");
        EXPECT_FALSE(WritePrivateProfileString("A", "x", "y", path));  // never replaces what it could not read
        chmod(path.c_str(), 0600);
        EXPECT_EQ(ReadFileBytes(path), "[A]\r\nk=v\r\n");
    }
}

TEST_F(IniTest, RewriteKeepsModeFollowsLinksAndLeavesNoTemporaryFile) {
    WriteFileBytes(path, "[A]\r\n");
    chmod(path.c_str(), 0640);
    const std::string link = dir.sub("link.ini");
    std::filesystem::create_symlink(path, link);
    ASSERT_TRUE(WritePrivateProfileString("A", "k", "v", link));
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(ReadFileBytes(path), "[A]\r\nk=v\r\n");
    struct stat info {};
    ASSERT_EQ(stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0640u);
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir.path())) {
        names.push_back(entry.path().filename().string());
    }
    EXPECT_EQ(names.size(), 2u);
}

TEST_F(IniTest, ConcurrentWritersLoseNothing) {
    constexpr int kThreads = 8;
    constexpr int kKeys = 25;
    ASSERT_TRUE(WritePrivateProfileString("Shared", "always", "here", path));
    std::atomic<bool> done{false};
    std::atomic<int> readerMisses{0};
    std::thread reader([&] {
        while (!done) {
            if (GetPrivateProfileString("Shared", "always", "", path) != "here") ++readerMisses;
        }
    });
    std::vector<std::thread> writers;
    for (int t = 0; t < kThreads; ++t) {
        writers.emplace_back([&, t] {
            // Every other thread spells the path differently; the lock is still the same.
            const std::string spelling = t % 2 ? dir.path() + "/./qboptions.ini" : path;
            for (int k = 0; k < kKeys; ++k) {
                const std::string key = plat::Format("t%dk%d", t, k);
                WritePrivateProfileString(t % 3 ? "Shared" : "Own", key.c_str(), std::to_string(k).c_str(), spelling);
            }
        });
    }
    for (auto& w : writers) w.join();
    done = true;
    reader.join();
    EXPECT_EQ(readerMisses, 0);
    for (int t = 0; t < kThreads; ++t) {
        for (int k = 0; k < kKeys; ++k) {
            const std::string key = plat::Format("t%dk%d", t, k);
            ASSERT_EQ(static_cast<int>(GetPrivateProfileInt(t % 3 ? "Shared" : "Own", key.c_str(), -1, path)), k)
                << key;
        }
    }
}

}  // namespace
