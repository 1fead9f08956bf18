#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#include "foundation/placeholders.h"
#include "foundation/program_state.h"
#include "foundation/split_path.h"
#include "foundation/sync_task.h"
#include "foundation/task_paths.h"
#include "platform/core/registry.h"
#include "platform/core/text.h"
#include "support/scoped_env.h"
#include "support/scoped_program_state.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;

namespace {

using qbtest::ScopedEnv;

std::wstring W(const std::string& text) { return plat::Utf8ToWide(text); }

// A home with Documents but no Music, an application-data folder, a registry of its own,
// a volume labelled CARD at /media/u/CARD and a program folder on a mount of its own.
class PathsTest : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(root_ + "/home/Documents");
        fs::create_directories(root_ + "/config");
        fs::create_directories(root_ + "/share");
        fs::create_directories(root_ + "/vol/prog");
        fs::create_directories(root_ + "/by-label");
        qbtest::WriteFileBytes(root_ + "/mounts",
                               "/dev/sda1 / ext4 rw 0 0\n"
                               "/dev/sdb1 /media/u/CARD vfat rw 0 0\n"
                               "/dev/sdc1 " +
                                   root_ + "/vol ext4 rw 0 0\n");
        fs::create_symlink("../../sdb1", root_ + "/by-label/CARD");
        sources_.volumes.mountTable = root_ + "/mounts";
        sources_.volumes.labelFolder = root_ + "/by-label";
        sources_.volumes.sysFolder = root_ + "/sys";
        sources_.programFolder = root_ + "/vol/prog/";
        sources_.dataFolder = root_ + "/data";
        ProgramState().settingsFile = root_ + "/qboptions.ini";
    }

    std::wstring Docs() const { return W(root_ + "/home/Documents"); }
    std::wstring AppData() const { return W(root_ + "/share"); }
    std::wstring DataArea() const { return W(root_ + "/data/_qb_sync/"); }

    qbtest::TempDir dir_;
    const std::string root_ = fs::canonical(dir_.path()).string();
    ScopedEnv homeEnv_{"HOME", root_ + "/home"};
    ScopedEnv configEnv_{"XDG_CONFIG_HOME", root_ + "/config"};
    ScopedEnv dataEnv_{"XDG_DATA_HOME", root_ + "/share"};
    const qbtest::ScopedProgramState savedState_;
    TaskPathSources sources_;
};

std::unique_ptr<SyncTask> MakeTask(DWORD type, DWORD readOnly, DWORD readOnlyTarget) {
    auto task = std::make_unique<SyncTask>();
    task->SetDefaults();
    task->syncOptions = std::make_unique<CConfigSyncPage>(false);
    task->syncOptions->type = type;
    task->syncOptions->readOnly = readOnly;
    task->syncOptions->readOnlyTarget = readOnlyTarget;
    task->name = "Daily";
    task->leftFolder = L"/srv/left";
    task->rightFolder = L"<CARD>:\\Photos";
    return task;
}

void ExpectNoPaths(const SyncTask& t) {
    for (const std::wstring* p : {&t.sourceFolder, &t.targetFolder, &t.sourceLog, &t.targetLog, &t.sourceCatalog,
                                  &t.targetCatalog, &t.sourceBackup, &t.targetBackup}) {
        EXPECT_EQ(*p, L"");
    }
}

}  // namespace

TEST_F(PathsTest, PlaceholdersExpand) {
    const struct {
        std::wstring in;
        std::wstring out;
    } cases[] = {
        {L"<documents>/Work", Docs() + L"/Work"},
        {L"<DOCUMENTS>", Docs()},
        // Written the other platform's way: a backslash after the placeholder separates folders.
        {L"<DOCUMENTS>\\Work", Docs() + L"/Work"},
        {L"<documents>\\Work\\2024\\", Docs() + L"/Work/2024/"},
        {L"<DOCUMENTS>/a\\b", Docs() + L"/a\\b"},  // after '/', a backslash is part of a name
        {L"<UNKNOWN>/x", L"<UNKNOWN>/x"},
        {L"<MUSIC>", L""},  // no Music folder here
        {L"<MUSIC>/x", L""},
        {L"<FAVORITES>", L""},  // no counterpart on this platform
        {L"<SYSTEM>\\Config", L""},
        {L"<LocalAppData>", AppData()},
        {L"<LOCAL_OUTLOOK>/x", AppData() + L"/Microsoft/Outlook/x"},
        {L"<WINDOWS_MAIL>", AppData() + L"/Microsoft/Windows Mail"},
        {L"<OUTLOOK_EXPRESS>", L"<OUTLOOK_EXPRESS>"},  // no identity in the registry
        {L"<CONTACTS>", L"<CONTACTS>"},                // no address book anywhere
        {L"/srv/<DOCUMENTS>", L"/srv/<DOCUMENTS>"},    // '<' inside a name is just a character
        {L"<DOCUMENTS", L"<DOCUMENTS"},
        {L"", L""},
    };
    for (const auto& c : cases) EXPECT_EQ(ExpandTemplatePath(c.in), c.out) << plat::WideToUtf8(c.in);
}

TEST_F(PathsTest, MailAndAddressBookFromRegistryAndFolders) {
    ASSERT_TRUE(plat::RegSetString(plat::RegRoot::CurrentUser, "Identities\\{ID-1}", "Username", "Main"));
    EXPECT_EQ(ExpandTemplatePath(L"<OUTLOOK_EXPRESS>/Inbox"),
              AppData() + L"/Identities/{ID-1}/Microsoft/Outlook Express/Inbox");

    fs::create_directories(root_ + "/share/Microsoft/Address Book");
    EXPECT_EQ(ExpandTemplatePath(L"<CONTACTS>/ignored"), AppData() + L"/Microsoft/Address Book/*.wab");
    ASSERT_TRUE(
        plat::RegSetString(plat::RegRoot::CurrentUser, "Software\\Microsoft\\WAB\\WAB4", "Wab File Name", "me.wab"));
    EXPECT_EQ(ExpandTemplatePath(L"<CONTACTS>"), AppData() + L"/me.wab");
    ASSERT_TRUE(plat::RegSetString(plat::RegRoot::CurrentUser, "Software\\Microsoft\\WAB\\WAB4\\Wab File Name", "",
                                   "/books/all.wab"));
    EXPECT_EQ(ExpandTemplatePath(L"<CONTACTS>"), L"/books/all.wab");
}

TEST_F(PathsTest, MailPlaceholdersStayWithoutApplicationData) {
    ScopedEnv noData("XDG_DATA_HOME", root_ + "/missing");
    EXPECT_EQ(ExpandTemplatePath(L"<OUTLOOK>/Mail"), L"<OUTLOOK>/Mail");
    EXPECT_EQ(ExpandTemplatePath(L"<APPDATA>/x"), L"");
}

TEST_F(PathsTest, FoldersResolveToAbsolutePathsOrNothing) {
    const std::wstring programRoot = W(root_ + "/vol");
    const struct {
        std::wstring in;
        std::wstring out;
    } cases[] = {
        {L"<CARD>:\\Photos", L"/media/u/CARD/Photos"},
        {L"<card>:\\Photos\\2024\\", L"/media/u/CARD/Photos/2024"},
        {L"<CARD>:", L"/media/u/CARD"},
        {L"<CARD>/Photos", L"/media/u/CARD/Photos"},
        {L"<CARD>\\Photos\\2024", L"/media/u/CARD/Photos/2024"},
        {L"<DOCUMENTS>\\Work", Docs() + L"/Work"},
        {L"<NOPE>:\\Photos", L""},  // no volume carries that label
        {L"<qbsync>:\\Backup", programRoot + L"/Backup"},
        {L"<qbsync>", programRoot},
        {L"<DOCUMENTS>/Work", Docs() + L"/Work"},
        {L"<MUSIC>", L""},
        {L"<UNKNOWN>\\x", L""},
        {L"/srv/a<b>c", L"/srv/a<b>c"},
        {L"Photos", L""},  // relative: never made against the current folder
        {L"C:\\Data", L""},
        {L"<CARD", L""},
        {L"", L""},
    };
    for (const auto& c : cases) EXPECT_EQ(ResolveTaskPathToken(c.in, sources_), c.out) << plat::WideToUtf8(c.in);

    TaskPathSources homeless = sources_;
    homeless.volumes.mountTable = root_ + "/no-table";
    EXPECT_EQ(ResolveTaskPathToken(L"<qbsync>:\\Backup", homeless), L"");
}

TEST_F(PathsTest, EightPathsForEveryTypeAndReadOnlyChoice) {
    const std::wstring card = L"/media/u/CARD/Photos";
    const std::wstring cardArea = DataArea() + DataAreaFolderName(L"<CARD>:\\Photos");
    const std::wstring leftArea = DataArea() + DataAreaFolderName(L"/srv/left");
    for (DWORD type = 0; type <= 4; ++type) {
        for (DWORD readOnly = 0; readOnly <= 1; ++readOnly) {
            for (DWORD readOnlyTarget = 0; readOnlyTarget <= 1; ++readOnlyTarget) {
                SCOPED_TRACE(testing::Message() << "type " << type << " ro " << readOnly << " rot " << readOnlyTarget);
                auto task = MakeTask(type, readOnly, readOnlyTarget);
                BuildTaskDataPaths(*task, sources_);
                const bool swapped = type == kSyncRightToLeft || type == kBackupRightToLeft;
                EXPECT_EQ(task->swapped, swapped ? 1u : 0u);
                EXPECT_EQ(task->syncKind, type == 0 ? kSyncKindMirror : type >= 3 ? kSyncKindBackup : kSyncKindOneWay);

                const std::wstring source = swapped ? card : L"/srv/left";
                const std::wstring target = swapped ? L"/srv/left" : card;
                const std::wstring sourceArea = swapped ? cardArea : leftArea;
                const std::wstring targetArea = swapped ? leftArea : cardArea;
                const std::wstring sourceData = readOnly ? sourceArea : source + L"/_qb_sync";
                const std::wstring targetData = readOnlyTarget ? targetArea : target + L"/_qb_sync";
                EXPECT_EQ(task->sourceFolder, source);
                EXPECT_EQ(task->targetFolder, target);
                EXPECT_EQ(task->sourceLog, sourceData + L"/Daily.log");
                EXPECT_EQ(task->targetLog, targetData + L"/Daily.log");
                EXPECT_EQ(task->sourceCatalog, sourceData + L"/_qb_sync._if");
                EXPECT_EQ(task->targetCatalog, targetData + L"/_qb_sync._if");
                EXPECT_EQ(task->sourceBackup, sourceData + L"/_backup");
                EXPECT_EQ(task->targetBackup, targetData + L"/_backup");
            }
        }
    }
}

TEST_F(PathsTest, AFolderThatDoesNotResolveClearsAllEight) {
    for (const std::wstring bad : {L"", L"<NOPE>:\\Photos", L"<MUSIC>", L"relative/folder"}) {
        SCOPED_TRACE(plat::WideToUtf8(bad));
        auto task = MakeTask(kSyncLeftToRight, 0, 0);
        BuildTaskDataPaths(*task, sources_);
        ASSERT_FALSE(task->sourceCatalog.empty());
        task->rightFolder = bad;
        BuildTaskDataPaths(*task, sources_);
        ExpectNoPaths(*task);
    }
    // The data area is needed for a read-only side and unknown.
    auto task = MakeTask(kSyncLeftToRight, 1, 0);
    TaskPathSources noData = sources_;
    noData.dataFolder = "relative";
    BuildTaskDataPaths(*task, noData);
    ExpectNoPaths(*task);
}

TEST_F(PathsTest, ATaskNameWithASeparatorGetsNoLog) {
    auto task = MakeTask(kSyncLeftToRight, 0, 0);
    task->name = "../../escape";
    BuildTaskDataPaths(*task, sources_);
    EXPECT_EQ(task->sourceLog, L"");
    EXPECT_EQ(task->targetLog, L"");
    EXPECT_EQ(task->sourceCatalog, L"/srv/left/_qb_sync/_qb_sync._if");
}

TEST(DataAreaFolderName, DifferentFoldersNeverShareOne) {
    const std::wstring colliding[] = {L"/a.b", L"/a_b", L"/a:b", L"/a/b", L"/a\\b", L"<a>b", L"_a_b"};
    std::set<std::wstring> names;
    for (const auto& folder : colliding) {
        const std::wstring name = DataAreaFolderName(folder);
        EXPECT_EQ(name.substr(0, 5), L"_a_b_") << plat::WideToUtf8(folder);
        EXPECT_EQ(name.size(), 5u + 12u);
        EXPECT_EQ(name.find_first_of(L"/\\:.<>"), std::wstring::npos);
        names.insert(name);
    }
    EXPECT_EQ(names.size(), std::size(colliding));
    EXPECT_EQ(DataAreaFolderName(L"<CARD>:\\Photos"), DataAreaFolderName(L"<CARD>:\\Photos"));
}

TEST(DataAreaFolderName, ALongFolderFitsAFileName) {
    const std::wstring longA = L"/" + std::wstring(300, L'\u00e9') + L"/a";
    const std::wstring longB = L"/" + std::wstring(300, L'\u00e9') + L"/b";
    const std::string bytesA = plat::WideToUtf8(DataAreaFolderName(longA));
    EXPECT_LE(bytesA.size(), 255u);
    EXPECT_EQ(plat::Utf8ToWide(bytesA), DataAreaFolderName(longA));  // no character cut in half
    EXPECT_NE(DataAreaFolderName(longA), DataAreaFolderName(longB));
}

TEST_F(PathsTest, NonUtf8FolderKeepsItsBytes) {
    auto task = MakeTask(kSyncLeftToRight, 1, 0);
    task->leftFolder = plat::Utf8ToWide("/srv/caf\xe9");
    BuildTaskDataPaths(*task, sources_);
    EXPECT_EQ(plat::WideToUtf8(task->sourceFolder), "/srv/caf\xe9");
    EXPECT_EQ(plat::WideToUtf8(task->sourceCatalog),
              root_ + "/data/_qb_sync/" + plat::WideToUtf8(DataAreaFolderName(task->leftFolder)) + "/_qb_sync._if");
    EXPECT_NE(plat::WideToUtf8(task->sourceCatalog).find("_srv_caf\xe9_"), std::string::npos);
    EXPECT_NE(DataAreaFolderName(task->leftFolder), DataAreaFolderName(plat::Utf8ToWide("/srv/caf\xe8")));
}

TEST(SplitPath, FolderNameAndExtension) {
    const PathParts file = SplitPath(L"/home/u/Templates/My Photos.v2.zvt", false);
    EXPECT_EQ(file.root, L"");
    EXPECT_EQ(file.folder, L"/home/u/Templates/");
    EXPECT_EQ(file.name, L"My Photos.v2");
    EXPECT_EQ(file.extension, L"zvt");
    EXPECT_EQ(SplitPath(L"/t/.zvt", false).name, L"");
    EXPECT_EQ(SplitPath(L"plain", false).name, L"plain");
    const PathParts folder = SplitPath(L"/home/u/a.b", true);
    EXPECT_EQ(folder.folder, L"/home/u/a.b");
    EXPECT_EQ(folder.name, L"");
}
