#include "platform/core/special_folders.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/scoped_env.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;
using qbtest::ScopedEnv;

class SpecialFoldersTest : public ::testing::Test {
protected:
    qbtest::TempDir root;
    std::string home = root.sub("home/user");
    std::string config = root.sub("config");
    ScopedEnv homeEnv{"HOME", home};
    ScopedEnv configEnv{"XDG_CONFIG_HOME", config};
    ScopedEnv dataEnv{"XDG_DATA_HOME", root.sub("data")};

    void MakeFolders(std::initializer_list<std::string> paths) {
        for (const std::string& p : paths) fs::create_directories(p);
    }
    void WriteUserDirs(const std::string& text) { qbtest::WriteFileBytes(config + "/user-dirs.dirs", text); }
};

TEST_F(SpecialFoldersTest, UserFoldersFromUserDirs) {
    const std::string music = root.sub("elsewhere/My Music");
    MakeFolders({home + "/Docs Here", home + "/Desk\"top", music, home + "/Pictures", home + "/Videos"});
    WriteUserDirs(
        "# This file is written by xdg-user-dirs-update\n"
        "XDG_DESKTOP_DIR=\"${HOME}/Desk\\\"top\"\n"
        "XDG_DOCUMENTS_DIR=\"$HOME/Nowhere\"\n"
        "  XDG_DOCUMENTS_DIR=\"$HOME/Docs Here/\"\r\n"
        "XDG_MUSIC_DIR=\"" +
        music +
        "\"\n"
        "XDG_PICTURES_DIR=\"$HOME/\"\n"
        "XDG_VIDEOS_DIR=\"relative/videos\"\n"
        "garbage line without equals\n"
        "XDG_TEMPLATES_DIR=\"$HOMEX/Templates\"\n");
    EXPECT_EQ(plat::SpecialFolderPath(CSIDL_DESKTOPDIRECTORY), home + "/Desk\"top");
    EXPECT_EQ(plat::SpecialFolderPath(CSIDL_DESKTOP), home + "/Desk\"top");
    EXPECT_EQ(plat::SpecialFolderPath(CSIDL_PERSONAL), home + "/Docs Here");  // the last line counts
    EXPECT_EQ(plat::SpecialFolderPath(CSIDL_MYMUSIC), music);
    EXPECT_EQ(plat::SpecialFolderPath(CSIDL_MYPICTURES), "");             // set to the home folder: turned off
    EXPECT_EQ(plat::SpecialFolderPath(CSIDL_MYVIDEO), home + "/Videos");  // unusable entry: the default
    EXPECT_EQ(plat::XdgUserFolder("XDG_TEMPLATES_DIR", "Templates"), "");
}

TEST_F(SpecialFoldersTest, DefaultsOnlyWhenTheyExist) {
    MakeFolders({home + "/Documents", home + "/Music"});
    EXPECT_EQ(plat::SpecialFolderPath(CSIDL_PERSONAL), home + "/Documents");  // no user-dirs.dirs at all
    EXPECT_EQ(plat::SpecialFolderPath(CSIDL_MYMUSIC), home + "/Music");
    EXPECT_EQ(plat::SpecialFolderPath(CSIDL_MYPICTURES), "");
    EXPECT_EQ(plat::SpecialFolderPath(CSIDL_DESKTOPDIRECTORY), "");
    // A configured folder that is a file, or missing, is none.
    qbtest::WriteFileBytes(home + "/file", "x");
    WriteUserDirs("XDG_DOCUMENTS_DIR=\"$HOME/file\"\nXDG_MUSIC_DIR=\"/no/such/folder\"\n");
    EXPECT_EQ(plat::SpecialFolderPath(CSIDL_PERSONAL), "");
    EXPECT_EQ(plat::SpecialFolderPath(CSIDL_MYMUSIC), "");
}

TEST_F(SpecialFoldersTest, OtherFoldersHaveCounterpartsOrNone) {
    EXPECT_EQ(plat::SpecialFolderPath(CSIDL_APPDATA), "");  // data folder not there yet
    MakeFolders({root.sub("data/applications"), root.sub("data/fonts"), config + "/autostart"});
    EXPECT_EQ(plat::SpecialFolderPath(CSIDL_APPDATA), root.sub("data"));
    EXPECT_EQ(plat::SpecialFolderPath(CSIDL_LOCAL_APPDATA), root.sub("data"));
    EXPECT_EQ(plat::SpecialFolderPath(CSIDL_STARTMENU), root.sub("data/applications"));
    EXPECT_EQ(plat::SpecialFolderPath(CSIDL_FONTS), root.sub("data/fonts"));
    EXPECT_EQ(plat::SpecialFolderPath(CSIDL_STARTUP), config + "/autostart");
    for (const int none :
         {CSIDL_FAVORITES, CSIDL_COMMON_FAVORITES, CSIDL_RECENT, CSIDL_SENDTO, CSIDL_BITBUCKET, CSIDL_PROGRAM_FILES,
          CSIDL_PROGRAM_FILES_COMMON, CSIDL_WINDOWS, CSIDL_SYSTEM, CSIDL_COMMON_APPDATA, CSIDL_COMMON_DOCUMENTS,
          CSIDL_COMMON_DESKTOPDIRECTORY, CSIDL_COMMON_MUSIC, CSIDL_COMMON_PICTURES, CSIDL_COMMON_VIDEO,
          CSIDL_INTERNET_CACHE, -1, 999}) {
        EXPECT_EQ(plat::SpecialFolderPath(none), "") << none;
    }
}

TEST_F(SpecialFoldersTest, RelativeHomeIsNeverUsed) {
    ScopedEnv noHome("HOME", "relative-home");  // not absolute: ignored, the account's home is used
    WriteUserDirs("XDG_DOCUMENTS_DIR=\"$HOME/Documents\"\n");
    const std::string result = plat::SpecialFolderPath(CSIDL_PERSONAL);
    EXPECT_TRUE(result.empty() || result.front() == '/') << result;
}

}  // namespace
