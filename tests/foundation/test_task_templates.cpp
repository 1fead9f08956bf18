// Task templates: the built-in ones keep their placeholders and resolve through the XDG
// user folders (or to nothing), custom template files with every field, hostile files
// refused without a task, duplicates refused, the store's refusal recorded.

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <future>
#include <optional>
#include <thread>

#include "foundation/history_store.h"
#include "foundation/program_state.h"
#include "foundation/settings_keys.h"
#include "foundation/sync_task.h"
#include "foundation/task_paths.h"
#include "foundation/task_store.h"
#include "foundation/task_templates.h"
#include "foundation/template_file.h"
#include "platform/core/archive_lock.h"
#include "platform/core/message_box.h"
#include "platform/core/message_test_support.h"
#include "platform/core/text.h"
#include "resources/sync_messages.h"
#include "support/scoped_env.h"
#include "support/scoped_program_state.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;

namespace {

using qbtest::ScopedEnv;

std::wstring W(const std::string& text) { return plat::Utf8ToWide(text); }

std::vector<HistoryRecord> History() {
    const auto list = ReadHistoryRecords(0);
    return list ? list->records : std::vector<HistoryRecord>{};
}

// The task list as far as templates see it: it keeps every new or loaded task it is handed.
struct NewTaskList {
    std::vector<std::unique_ptr<SyncTask>> tasks;
    msgtest::LambdaWindow window{[this](HWND, UINT message, WPARAM w, LPARAM) -> LRESULT {
        if (message != WM_SYNC_NEW_TASK && message != WM_SYNC_TASK_ADDED) return 0;
        tasks.emplace_back(reinterpret_cast<SyncTask*>(w));
        return 1;
    }};
    HWND hwnd = plat::CreateMessageWindow(&window);
    ~NewTaskList() { DestroyWindow(hwnd); }
};

// A home whose user folders name Pictures, Documents and Videos and turn Music off, an
// application-data folder, a registry and a data folder of its own.
class TemplatesTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* folder : {"/home/Bilder", "/home/Docs", "/home/Filme", "/config", "/share", "/Data"}) {
            fs::create_directories(root_ + folder);
        }
        qbtest::WriteFileBytes(root_ + "/config/user-dirs.dirs",
                               "XDG_PICTURES_DIR=\"$HOME/Bilder\"\n"
                               "XDG_DOCUMENTS_DIR=\"$HOME/Docs\"\n"
                               "XDG_VIDEOS_DIR=\"$HOME/Filme\"\n"
                               "XDG_MUSIC_DIR=\"$HOME/\"\n");
        ProgramState().dataFolder = root_ + "/Data";
        ProgramState().settingsFile = root_ + "/Data/qboptions.ini";
        ProgramState().programFolder = root_ + "/prog/";
    }

    std::string Home(const std::string& sub) const { return root_ + "/home/" + sub; }

    // Writes a template file into the temporary folder and returns its path.
    std::string TemplateFile(const std::string& fileName, const std::string& text) const {
        const std::string path = root_ + "/" + fileName;
        qbtest::WriteFileBytes(path, text);
        return path;
    }

    qbtest::TempDir dir_;
    const std::string root_ = fs::canonical(dir_.path()).string();
    ScopedEnv homeEnv_{"HOME", root_ + "/home"};
    ScopedEnv configEnv_{"XDG_CONFIG_HOME", root_ + "/config"};
    ScopedEnv dataEnv_{"XDG_DATA_HOME", root_ + "/share"};
    const qbtest::ScopedProgramState savedState_;
    plat::ScopedMessageBoxHandler boxes_;
};

TEST_F(TemplatesTest, BuiltInTemplatesCreateTasksThatKeepTheirPlaceholders) {
    ASSERT_TRUE(WriteSetting(settings::kSyncType, 3));  // the defaults come from the settings store
    const std::string mail = root_ + "/share/Microsoft/";
    const struct {
        UINT command;
        std::string name;
        std::wstring folder;
        std::wstring resolved;  // "" where this system has no such folder
    } cases[] = {
        {5157, "Photos", L"<PICTURES>", W(Home("Bilder"))},
        {5153, "Documents", L"<DOCUMENTS>", W(Home("Docs"))},
        {5152, "Favorites", L"<FAVORITES>", L""},
        {5155, "Videos", L"<VIDEO>", W(Home("Filme"))},
        {5156, "Music", L"<MUSIC>", L""},
        {5158, "WinMail", L"<LOCAL_WINDOWS_MAIL>", W(mail + "Windows Mail")},
        {5146, "Outlook", L"<LOCAL_OUTLOOK>", W(mail + "Outlook")},
        {5149, "Outlook Express Messages", L"<LOCAL_OUTLOOK_EXPRESS>", L""},
        {5150, "Outlook Express Contacts", L"<CONTACTS>", L""},
        {5154, "Registry", L"<SYSTEM>/Config", L""},
    };
    ASSERT_EQ(BuiltInTemplates().size(), std::size(cases));

    for (std::size_t i = 0; i < std::size(cases); ++i) {
        const auto& c = cases[i];
        SCOPED_TRACE(c.name);
        const std::optional<TemplateKind> kind = TemplateKindOfCommand(c.command);
        ASSERT_TRUE(kind);
        const std::unique_ptr<SyncTask> task = CreateTemplateTask(*kind);
        ASSERT_TRUE(task);
        EXPECT_EQ(task->name, c.name);
        EXPECT_EQ(task->leftFolder, c.folder);
        EXPECT_EQ(task->rightFolder, L"");
        EXPECT_EQ(task->syncOptions->type, 3u);
        EXPECT_EQ(task->syncOptions->lock, *kind == kTemplateContacts ? 1u : 0u);
        EXPECT_EQ(task->filterOptions->filterMode, 0u);
        EXPECT_EQ(ResolveTaskPathToken(task->leftFolder), c.resolved);

        const std::unique_ptr<SyncTask> stored = LoadTaskRecord(c.name);
        ASSERT_TRUE(stored);
        EXPECT_EQ(stored->leftFolder, c.folder);
        EXPECT_EQ(stored->syncOptions->lock, task->syncOptions->lock);

        const std::vector<HistoryRecord> history = History();
        ASSERT_EQ(history.size(), i + 1);
        EXPECT_EQ(history[i].type, static_cast<DWORD>(kHistoryTaskCreated));
        EXPECT_EQ(history[i].code, 0u);
        EXPECT_EQ(history[i].status, kHistoryEventDone);
        EXPECT_EQ(history[i].text, "");
        EXPECT_EQ(history[i].taskName, c.name);
        EXPECT_EQ(history[i].leftFolder, c.folder);
    }
    EXPECT_TRUE(boxes_.Requests().empty());
    EXPECT_EQ(TemplateKindOfCommand(43943), kTemplateCustom);
    EXPECT_FALSE(TemplateKindOfCommand(5104));
}

TEST_F(TemplatesTest, AFolderThisSystemLacksLeavesTheTaskWithoutPaths) {
    const std::unique_ptr<SyncTask> task = CreateTemplateTask(kTemplateMusic);
    ASSERT_TRUE(task);
    task->rightFolder = W(root_ + "/backup");
    BuildTaskDataPaths(*task);
    EXPECT_EQ(task->sourceFolder, L"");
    EXPECT_EQ(task->targetFolder, L"");
}

TEST_F(TemplatesTest, KindsThatDoNotExistCreateNothing) {
    for (const DWORD kind : {3u, 8u, 12u, 9998u}) EXPECT_FALSE(CreateTemplateTask(kind)) << kind;
    EXPECT_FALSE(CreateTemplateTask(kTemplateCustom, "", L"/srv/x"));
    EXPECT_TRUE(boxes_.Requests().empty());
    EXPECT_TRUE(History().empty());
    EXPECT_FALSE(fs::exists(GetTaskListFilePath()));
}

TEST_F(TemplatesTest, ASecondDocumentsTaskIsRefused) {
    ASSERT_TRUE(CreateTemplateTask(kTemplateDocuments));
    EXPECT_FALSE(CreateTemplateTask(kTemplateDocuments));
    const auto requests = boxes_.Requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].text, "The task already exists!");
    EXPECT_EQ(History().size(), 1u);
    NewTaskList list;
    EXPECT_EQ(LoadAllTasks(list.hwnd).added, 1u);
}

TEST_F(TemplatesTest, TheStoreIsNotHeldWhileTheRefusalIsShown) {
    ASSERT_TRUE(CreateTemplateTask(kTemplateDocuments));
    // While the box waits for the user, a run that ends must still reach the task store.
    bool storeFree = false;
    std::promise<void> locked;
    std::thread runEnd;
    const plat::ScopedMessageBoxHandler box([&](const plat::MessageBoxRequest&) {
        runEnd = std::thread([&locked] {
            const plat::ArchiveLock lock(GetTaskListFilePath());
            locked.set_value();
        });
        storeFree = locked.get_future().wait_for(std::chrono::seconds(2)) == std::future_status::ready;
        return IDOK;
    });
    EXPECT_FALSE(CreateTemplateTask(kTemplateDocuments));
    runEnd.join();
    EXPECT_TRUE(storeFree);
}

TEST_F(TemplatesTest, ANewTaskTakesEveryDefaultOptionTheSettingsHold) {
    ASSERT_TRUE(WriteSetting(settings::kFilterMode, 1));
    ASSERT_TRUE(WriteSettingW(settings::kFilterExclude, L"*.tmp \"/srv/my cache/*.*\""));
    ASSERT_TRUE(WriteSetting(settings::kFilterHidden, 0));
    ASSERT_TRUE(WriteSetting(settings::kSyncDelete, 1));
    ASSERT_TRUE(WriteSetting(settings::kLogLevel, 0));

    const std::unique_ptr<SyncTask> task = CreateNewTask("Work");
    ASSERT_TRUE(task);
    const std::unique_ptr<SyncTask> stored = LoadTaskRecord("Work");
    ASSERT_TRUE(stored);
    for (const SyncTask* t : {task.get(), stored.get()}) {
        EXPECT_EQ(t->leftFolder, L"");
        EXPECT_EQ(t->filterOptions->filterMode, 1u);
        EXPECT_EQ(t->filterOptions->excludeText, L"*.tmp \"/srv/my cache/*.*\"");
        EXPECT_FALSE(t->filterOptions->hidden);
        EXPECT_EQ(t->syncOptions->allowDelete, 1u);
        EXPECT_EQ(t->logOptions->logLevel, 0u);
    }
    ASSERT_EQ(History().size(), 1u);
    EXPECT_EQ(History()[0].type, static_cast<DWORD>(kHistoryTaskCreated));

    // The name rule and the store's refusal hold as for templates.
    EXPECT_FALSE(CreateNewTask("Work"));
    EXPECT_FALSE(CreateNewTask(""));
    EXPECT_EQ(History().size(), 1u);
}

TEST_F(TemplatesTest, FilterModeFollowsTheTextsGiven) {
    const struct {
        const char* name;
        std::wstring include;
        std::wstring exclude;
        DWORD mode;
    } cases[] = {
        {"Neither", L"", L"", 0},
        {"Exclude", L"", L"\"/srv/tmp/*.*\"", 1},
        {"Include", L"\"*.doc\"", L"", 2},
        {"Both", L"\"*.doc\"", L"\"*.tmp\"", 3},
    };
    for (const auto& c : cases) {
        const std::unique_ptr<SyncTask> task =
            CreateTemplateTask(kTemplateCustom, c.name, L"/srv/x", c.include, c.exclude);
        ASSERT_TRUE(task) << c.name;
        EXPECT_EQ(task->filterOptions->filterMode, c.mode) << c.name;
        EXPECT_EQ(task->filterOptions->includeText, c.include);
        EXPECT_EQ(task->filterOptions->excludeText, c.exclude);
    }
}

TEST_F(TemplatesTest, CustomTemplateFileWithEveryField) {
    const std::string path = TemplateFile("Work Files.zvt",
                                          "; made by hand\r\n"
                                          "[ZVK]\r\n"
                                          "INPUT NUMBER=3\r\n"
                                          "INPUT0=<CARD>:\\Old\r\n"
                                          "INPUT1=  <DOCUMENTS>\\Work\\Current  \r\n"
                                          "INPUT2=\r\n"
                                          "SUB FOLDER=1\r\n"
                                          "INCLUDE NUMBER=4\r\n"
                                          "INCLUDE0=*.doc\r\n"
                                          "INCLUDE1=\"*.my doc\"\r\n"
                                          "INCLUDE2=\r\n"
                                          "INCLUDE3=<MyDocuments>\\Letters\\*.txt\r\n"
                                          "EXCLUDE FOLDER NUMBER=5\r\n"
                                          "EXCLUDE FOLDER0=D:\\Temp\r\n"
                                          "EXCLUDE FOLDER1=*.tmp\r\n"
                                          "EXCLUDE FOLDER2=D:\\Temp\r\n"
                                          "EXCLUDE FOLDER3=<MyDocuments>\\Cache\\\r\n"
                                          "EXCLUDE FOLDER4=ba?k\r\n");
    const std::wstring docs = W(Home("Docs"));
    NewTaskList list;
    SyncTask* const task = ImportTemplateFile(list.hwnd, path);
    ASSERT_TRUE(task);
    ASSERT_EQ(list.tasks.size(), 1u);
    EXPECT_EQ(list.tasks[0].get(), task);
    EXPECT_TRUE(boxes_.Requests().empty());

    EXPECT_EQ(task->name, "Work Files");
    EXPECT_EQ(task->leftFolder, L"<DOCUMENTS>/Work/Current");
    EXPECT_EQ(ResolveTaskPathToken(task->leftFolder), docs + L"/Work/Current");
    EXPECT_EQ(task->filterOptions->filterMode, 3u);
    EXPECT_EQ(task->filterOptions->includeText, L"\"*.doc\" \"*.my doc\" \"" + docs + L"/Letters/*.txt\"");
    EXPECT_EQ(task->filterOptions->excludeText, L"\"D:/Temp/*.*\" \"*.tmp\" \"" + docs + L"/Cache/*.*\" \"ba?k\"");

    const std::unique_ptr<SyncTask> stored = LoadTaskRecord("Work Files");
    ASSERT_TRUE(stored);
    EXPECT_EQ(stored->filterOptions->excludeText, task->filterOptions->excludeText);
    const std::vector<HistoryRecord> history = History();
    ASSERT_EQ(history.size(), 1u);
    EXPECT_EQ(history[0].type, static_cast<DWORD>(kHistoryTaskCreated));
    EXPECT_EQ(history[0].taskName, "Work Files");
}

TEST_F(TemplatesTest, OneExcludeFolderGivesExclusionModeOnly) {
    const std::string path = TemplateFile("Temp.zvt",
                                          "[ZVK]\nINPUT NUMBER=1\nINPUT0=/srv/data\nINCLUDE NUMBER=0\n"
                                          "EXCLUDE FOLDER NUMBER=1\nEXCLUDE FOLDER0=D:\\Temp\n");
    const TemplateFileRead read = ReadTemplateFile(path);
    ASSERT_TRUE(read.file) << read.fault;
    EXPECT_EQ(read.file->includeText, L"");
    EXPECT_EQ(read.file->excludeText, L"\"D:/Temp/*.*\"");
    NewTaskList list;
    ASSERT_TRUE(ImportTemplateFile(list.hwnd, path));
    EXPECT_EQ(list.tasks[0]->filterOptions->filterMode, 1u);
}

TEST_F(TemplatesTest, HugeCountsAreCapped) {
    const std::string path = TemplateFile("Capped.zvt",
                                          "[ZVK]\nINPUT NUMBER=4294967295\nINPUT0=/srv/first\n"
                                          "INPUT999=/srv/last\nINPUT1000=/srv/beyond\n"
                                          "INCLUDE NUMBER=99999999999\nINCLUDE1000=*.x\n"
                                          "EXCLUDE FOLDER NUMBER=-7\nEXCLUDE FOLDER0=*.tmp\n");
    const TemplateFileRead read = ReadTemplateFile(path);
    ASSERT_TRUE(read.file) << read.fault;
    EXPECT_EQ(read.file->folder, L"/srv/last");
    EXPECT_EQ(read.file->includeText, L"");
    EXPECT_EQ(read.file->excludeText, L"");
}

TEST_F(TemplatesTest, HostileFilesAreRefusedWithoutATask) {
    std::string manyExcludes = "[ZVK]\nINPUT NUMBER=1\nINPUT0=/srv\nEXCLUDE FOLDER NUMBER=300\n";
    for (int i = 0; i < 300; ++i) manyExcludes += plat::Format("EXCLUDE FOLDER%d=/srv/f%03d\n", i, i);
    const std::string longValue(500, 'x');
    const std::string invalid = kInvalidTemplateFileText;
    const struct {
        std::string fileName;
        std::string text;
        std::string told;  // the whole text, or its second paragraph after "Invalid Template File!"
    } cases[] = {
        {"NoSection.zvt", "[Other]\nINPUT NUMBER=1\nINPUT0=/srv\n", ""},
        {"Zero.zvt", "[ZVK]\nINPUT NUMBER=0\nINPUT0=/srv\n", ""},
        {"Negative.zvt", "[ZVK]\nINPUT NUMBER=-3\nINPUT0=/srv\n", ""},
        {"NoFolder.zvt", "[ZVK]\nINPUT NUMBER=2\nINPUT0=\nINPUT1=   \n", ""},
        {"Binary.zvt", std::string("\0\x01\xFF[ZVK\n\0=\0", 11), ""},
        {".zvt", "[ZVK]\nINPUT NUMBER=1\nINPUT0=/srv\n", ""},
        {"a:b.zvt", "[ZVK]\nINPUT NUMBER=1\nINPUT0=/srv\n", "Invalid task name - can not have '/\"*?<>|:\\' char"},
        {"Tab\tName.zvt", "[ZVK]\nINPUT NUMBER=1\nINPUT0=/srv\n",
         "Invalid task name - can not have control characters"},
        {"LongFolder.zvt", "[ZVK]\nINPUT NUMBER=1\nINPUT0=/" + longValue + "\n",
         "INPUT0 is longer than 499 characters."},
        {"LongInclude.zvt", "[ZVK]\nINPUT NUMBER=1\nINPUT0=/srv\nINCLUDE NUMBER=2\nINCLUDE1=" + longValue + "\n",
         "INCLUDE1 is longer than 499 characters."},
        {"Quote.zvt", "[ZVK]\nINPUT NUMBER=1\nINPUT0=/srv\nINCLUDE NUMBER=1\nINCLUDE0=a\" \"b\n",
         "INCLUDE0 holds a double quote inside its entry."},
        {"OpenQuote.zvt", "[ZVK]\nINPUT NUMBER=1\nINPUT0=/srv\nEXCLUDE FOLDER NUMBER=1\nEXCLUDE FOLDER0=\"/tmp\n",
         "EXCLUDE FOLDER0 holds a double quote inside its entry."},
        {"Many.zvt", manyExcludes, "Its filter list is too long to be stored with a task."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.fileName);
        const plat::ScopedMessageBoxHandler boxes;
        NewTaskList list;
        EXPECT_FALSE(ImportTemplateFile(list.hwnd, TemplateFile(c.fileName, c.text)));
        EXPECT_TRUE(list.tasks.empty());
        const auto requests = boxes.Requests();
        ASSERT_EQ(requests.size(), 1u);
        EXPECT_EQ(requests[0].text, c.told.empty() ? invalid : invalid + "\n\n" + c.told);
        EXPECT_EQ(requests[0].type & MB_ICONMASK, MB_ICONERROR);
    }
    EXPECT_FALSE(fs::exists(GetTaskListFilePath()));
    EXPECT_TRUE(History().empty());

    const std::string tooLarge = TemplateFile("Large.zvt", std::string(kMaxTemplateFileBytes + 1, ';'));
    EXPECT_FALSE(ReadTemplateFile(tooLarge).file);
    EXPECT_FALSE(ReadTemplateFile(root_ + "/Missing.zvt").file);
}

TEST_F(TemplatesTest, AStoreThatRefusesTheTaskIsRecordedAsFailed) {
    fs::create_directories(GetTaskListFilePath());  // a folder where the store's file belongs
    EXPECT_FALSE(CreateTemplateTask(kTemplatePhotos));
    const auto requests = boxes_.Requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].text, "Failed to write to task file 'Photos'");
    const std::vector<HistoryRecord> history = History();
    ASSERT_EQ(history.size(), 1u);
    EXPECT_EQ(history[0].type, static_cast<DWORD>(kHistoryTaskCreated));
    EXPECT_EQ(history[0].status, kHistoryEventFailed);
}

}  // namespace
