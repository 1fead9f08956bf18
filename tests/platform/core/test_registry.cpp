#include "platform/core/autostart_entry.h"
#include "platform/core/registry.h"
#include "platform/core/xdg_base_dirs.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>

#include "support/scoped_env.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;
using qbtest::ReadFileBytes;
using qbtest::ScopedEnv;

constexpr const char* kRun = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";

class RegistryTest : public ::testing::Test {
protected:
    qbtest::TempDir dir;
    ScopedEnv config{"XDG_CONFIG_HOME", dir.sub("config")};
    std::string store = dir.sub("config/quarrybend-sync/registry.ini");
};

TEST_F(RegistryTest, ValuesRoundTripAndIgnoreCase) {
    const char* key = "Software\\Quarrybend\\QBSync\\2.00\\Program";
    ASSERT_TRUE(plat::RegSetDword(HKEY_CURRENT_USER, key, "no prompt", 1));
    EXPECT_EQ(ReadFileBytes(store),
              "[HKEY_CURRENT_USER\\Software\\Quarrybend\\QBSync\\2.00\\Program]\r\nno prompt=dword:00000001\r\n");
    EXPECT_EQ(plat::RegGetDword(HKEY_CURRENT_USER, "software\\QUARRYBEND\\qbsync\\2.00\\program", "No Prompt"), 1u);
    EXPECT_EQ(plat::RegGetDword(HKEY_CURRENT_USER, "\\Software\\\\Quarrybend\\QBSync\\2.00\\Program\\", "no prompt"),
              1u);
    EXPECT_FALSE(plat::RegGetDword(HKEY_LOCAL_MACHINE, key, "no prompt").has_value());
    EXPECT_FALSE(plat::RegGetString(HKEY_CURRENT_USER, key, "no prompt").has_value());  // other type

    const std::string tricky = " \"C:\\My Temp\" \r\nline two\\ end= ;[x] \xC3\xA9 ";
    ASSERT_TRUE(plat::RegSetString(HKEY_LOCAL_MACHINE, "SOFTWARE\\Quarrybend\\Sync\\2.00\\Sync", "Type", tricky));
    EXPECT_EQ(plat::RegGetString(HKEY_LOCAL_MACHINE, "software\\quarrybend\\sync\\2.00\\sync", "TYPE"), tricky);
    EXPECT_FALSE(plat::RegGetDword(HKEY_LOCAL_MACHINE, "SOFTWARE\\Quarrybend\\Sync\\2.00\\Sync", "Type"));

    // Names that the store must not take literally.
    for (const std::string name : {"", "a=b", ";c", "[d]", " e ", "%41", "@", "Wab File Name", "\xFF\n"}) {
        ASSERT_TRUE(plat::RegSetDword(HKEY_CURRENT_USER, "Names\\" + name + "x", name, 0xFFFFFFFFu)) << name;
        EXPECT_EQ(plat::RegGetDword(HKEY_CURRENT_USER, "Names\\" + name + "x", name), 0xFFFFFFFFu) << name;
    }
    EXPECT_FALSE(plat::RegGetDword(HKEY_CURRENT_USER, "Names\\Ax", "a"));  // "%41" is not "A"
}

TEST_F(RegistryTest, DeleteAndSubkeys) {
    ASSERT_TRUE(plat::RegSetString(HKEY_CURRENT_USER, "Identities\\{One}", "Username", "Main Identity"));
    ASSERT_TRUE(plat::RegSetString(HKEY_CURRENT_USER, "Identities\\{Two}\\Deeper", "x", "y"));
    ASSERT_TRUE(plat::RegSetString(HKEY_CURRENT_USER, "identities\\{one}\\Sub", "x", "y"));
    EXPECT_EQ(plat::RegSubkeyNames(HKEY_CURRENT_USER, "Identities"), (std::vector<std::string>{"{One}", "{Two}"}));
    EXPECT_TRUE(plat::RegSubkeyNames(HKEY_CURRENT_USER, "Nothing").empty());
    EXPECT_TRUE(plat::RegSubkeyNames(HKEY_LOCAL_MACHINE, "Identities").empty());

    ASSERT_TRUE(plat::RegDeleteValue(HKEY_CURRENT_USER, "IDENTITIES\\{one}", "username"));
    EXPECT_FALSE(plat::RegGetString(HKEY_CURRENT_USER, "Identities\\{One}", "Username"));
    EXPECT_TRUE(plat::RegDeleteValue(HKEY_CURRENT_USER, "Identities\\{One}", "Username"));  // already gone
    EXPECT_EQ(ReadFileBytes(store).find("[HKEY_CURRENT_USER\\Identities\\{One}]"), std::string::npos);
    EXPECT_TRUE(plat::RegFlushKey(HKEY_CURRENT_USER, "Identities"));
}

TEST_F(RegistryTest, RunValuesAreAutostartEntries) {
    ASSERT_TRUE(plat::RegSetString(HKEY_CURRENT_USER, kRun, "QBSync", "\"/opt/quarry bend/qbsched\" -s"));
    const std::string entry = dir.sub("config/autostart/qbsync.desktop");
    EXPECT_EQ(ReadFileBytes(entry),
              "[Desktop Entry]\nType=Application\nName=QBSync\nExec=\"/opt/quarry bend/qbsched\" -s\n");
    EXPECT_EQ(plat::AutostartEntryPath("qbsync"), entry);

    ASSERT_TRUE(plat::RegSetString(HKEY_CURRENT_USER, "software\\microsoft\\windows\\currentversion\\run", "qbsync",
                                   "/usr/bin/qbsched -s"));
    EXPECT_EQ(ReadFileBytes(entry), "[Desktop Entry]\nType=Application\nName=qbsync\nExec=/usr/bin/qbsched -s\n");
    EXPECT_EQ(plat::RegGetString(HKEY_CURRENT_USER, kRun, "QBSync"), "/usr/bin/qbsched -s");

    ASSERT_TRUE(plat::RegDeleteValue(HKEY_CURRENT_USER, kRun, "QBSync"));
    EXPECT_FALSE(fs::exists(entry));
    EXPECT_FALSE(plat::RegGetString(HKEY_CURRENT_USER, kRun, "QBSync"));

    // The machine root is stored but starts nothing for this user.
    ASSERT_TRUE(plat::RegSetString(HKEY_LOCAL_MACHINE, kRun, "Other", "/bin/true"));
    EXPECT_FALSE(fs::exists(plat::AutostartEntryPath("Other")));
}

TEST_F(RegistryTest, AutostartAndStoreNeverDisagreeAfterAFailure) {
    // No autostart folder can be made: the value is not stored either.
    qbtest::WriteFileBytes(dir.sub("config/autostart"), "a file in the way");
    EXPECT_FALSE(plat::RegSetString(HKEY_CURRENT_USER, kRun, "QBSync", "/bin/qbsched"));
    EXPECT_FALSE(plat::RegGetString(HKEY_CURRENT_USER, kRun, "QBSync"));
    fs::remove(dir.sub("config/autostart"));

    // The store cannot be written: the entry written first is taken back.
    ASSERT_TRUE(plat::RegSetString(HKEY_CURRENT_USER, kRun, "Kept", "/bin/kept"));
    const std::string keptEntry = ReadFileBytes(plat::AutostartEntryPath("Kept"));
    fs::rename(dir.sub("config/quarrybend-sync"), dir.sub("config/moved"));
    qbtest::WriteFileBytes(dir.sub("config/quarrybend-sync"), "a file in the way");
    EXPECT_FALSE(plat::RegSetString(HKEY_CURRENT_USER, kRun, "QBSync", "/bin/qbsched"));
    EXPECT_FALSE(fs::exists(plat::AutostartEntryPath("QBSync")));
    EXPECT_FALSE(plat::RegSetString(HKEY_CURRENT_USER, kRun, "Kept", "/bin/changed"));
    EXPECT_EQ(ReadFileBytes(plat::AutostartEntryPath("Kept")), keptEntry);
    EXPECT_FALSE(plat::RegSetDword(HKEY_CURRENT_USER, "Plain", "v", 1));
}

TEST(AutostartEntry, FileNamesAndCommandLines) {
    EXPECT_EQ(plat::AutostartFileName("QBSync"), "qbsync.desktop");
    EXPECT_EQ(plat::AutostartFileName("qbsync"), "qbsync.desktop");
    const std::string spaced = plat::AutostartFileName("Quarrybend Sync");
    EXPECT_EQ(spaced.substr(0, 16), "quarrybend_sync-");
    EXPECT_NE(spaced, plat::AutostartFileName("Quarrybend_Sync"));
    EXPECT_EQ(spaced, plat::AutostartFileName("QUARRYBEND SYNC"));
    EXPECT_EQ(plat::AutostartFileName("../x").find('/'), std::string::npos);
    EXPECT_NE(plat::AutostartFileName("").substr(0, 1), ".");

    EXPECT_EQ(plat::SplitCommandLine("\"/a b/c\" -s  /load"), (std::vector<std::string>{"/a b/c", "-s", "/load"}));
    EXPECT_EQ(plat::SplitCommandLine("  "), std::vector<std::string>{});
    EXPECT_EQ(plat::SplitCommandLine("x \"\" y"), (std::vector<std::string>{"x", "", "y"}));
    EXPECT_EQ(plat::SplitCommandLine("a\"b c\"d"), (std::vector<std::string>{"ab cd"}));

    EXPECT_EQ(plat::AutostartEntryText(" Name\\", "/bin/run 100% $HOME \"a\\b\""),
              "[Desktop Entry]\nType=Application\nName=\\sName\\\\\n"
              "Exec=/bin/run 100%% \"\\\\$HOME\" \"a\\\\\\\\b\"\n");
}

TEST(BaseDirs, EnvironmentAndFallbacks) {
    qbtest::TempDir home;
    ScopedEnv homeEnv("HOME", home.path() + "/");
    ScopedEnv configEnv("XDG_CONFIG_HOME", std::nullopt);
    ScopedEnv dataEnv("XDG_DATA_HOME", "relative/is/ignored");
    EXPECT_EQ(plat::HomeFolder(), home.path());
    EXPECT_EQ(plat::UserConfigFolder(), home.path() + "/.config");
    EXPECT_EQ(plat::UserDataFolder(), home.path() + "/.local/share");
    EXPECT_EQ(plat::RegistryStorePath(), home.path() + "/.config/quarrybend-sync/registry.ini");
    ScopedEnv configSet("XDG_CONFIG_HOME", "/some/where/");
    EXPECT_EQ(plat::UserConfigFolder(), "/some/where");
}

}  // namespace
