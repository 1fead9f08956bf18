// The shadow-copy step: the library's two blocks and the script text byte by byte for
// files on several volumes, grouping that stops at a file without a volume, the script
// route's failures, a locked file taken the whole way (set aside by the copy pass, failed
// by the step, its previous catalog rows kept), the step's outcome judged by what is at
// each target, and the reset of every record's shadow-copy index.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "engine/actions/copy_actions.h"
#include "engine/actions/delete_actions.h"
#include "engine/actions/shadow_copy.h"
#include "engine/actions/shadow_copy_blocks.h"
#include "engine/actions/shadow_copy_script.h"
#include "engine/catalog/catalog_building.h"
#include "engine/catalog/catalog_reading.h"
#include "foundation/program_state.h"
#include "platform/core/shadow_copy_library.h"
#include "tests/engine/support/sync_pass_fixture.h"

namespace {

namespace fs = std::filesystem;
using passtest::kTime;
using passtest::W;
using Bytes = std::vector<std::uint8_t>;

// ASCII text as UTF-16LE, with a NUL after it when asked.
void Put(Bytes& bytes, const std::string& text, bool nul = false) {
    for (const char c : text) bytes.insert(bytes.end(), {static_cast<std::uint8_t>(c), 0});
    if (nul) bytes.insert(bytes.end(), {0, 0});
}

void PutCount(Bytes& bytes, std::uint8_t count) { bytes.insert(bytes.end(), {count, 0, 0, 0}); }

class MountTable {
public:
    explicit MountTable(const std::string& text) { qbtest::WriteFileBytes(sources.mountTable, text); }
    qbtest::TempDir dir;
    plat::VolumeSources sources{dir.sub("mounts")};
};

const char* const kThreeVolumes =
    "/dev/sda1 / ext4 rw 0 0\n"
    "/dev/sdb1 /vol/E ext4 rw 0 0\n"
    "/dev/sdc1 /vol/F vfat rw 0 0\n";

TEST(ShadowCopyBlocks, FilesAreGroupedByVolumeInListOrder) {
    const MountTable mounts(kThreeVolumes);
    const std::vector<std::wstring> sources{L"/vol/E/docs/a.txt", L"/vol/E/b.txt", L"/vol/F/c.txt", L"/vol/E/d e.txt",
                                            L"/home/u/f.txt"};
    const std::vector<std::wstring> targets{L"/t/a.txt", L"/t/b.txt", L"/t/c.txt", L"/t/d e.txt", L"/t/f.txt"};

    const ShadowCopyGroups grouped = GroupShadowCopyFiles(sources, mounts.sources);
    EXPECT_TRUE(grouped.allGrouped);
    const ShadowCopyBlocks blocks = BuildShadowCopyBlocks(grouped, targets);

    Bytes drives;
    for (const char* volume : {"/vol/E", "/vol/F", "/vol/E", "/"}) Put(drives, volume, true);
    Put(drives, "", true);
    EXPECT_EQ(blocks.driveList, drives);

    Bytes files;
    PutCount(files, 2);
    Put(files, "\"/docs/a.txt\"\"/t/a.txt\"\"/b.txt\"\"/t/b.txt\"");
    PutCount(files, 1);
    Put(files, "\"/c.txt\"\"/t/c.txt\"");
    PutCount(files, 1);
    Put(files, "\"/d e.txt\"\"/t/d e.txt\"");
    PutCount(files, 1);
    Put(files, "\"/home/u/f.txt\"\"/t/f.txt\"");
    EXPECT_EQ(blocks.fileList, files);
}

TEST(ShadowCopyBlocks, GroupingStopsAtAFileWhoseVolumeCannotBeTold) {
    struct Case {
        const char* what;
        const char* table;
        const wchar_t* second;
    };
    for (const Case c : {Case{"relative path", kThreeVolumes, L"vol/E/b.txt"},
                         Case{"no mount holds it", "/dev/sdb1 /vol/E ext4 rw 0 0\n", L"/home/b.txt"}}) {
        SCOPED_TRACE(c.what);
        const MountTable mounts(c.table);
        const std::vector<std::wstring> sources{L"/vol/E/a.txt", c.second, L"/vol/E/c.txt"};
        const ShadowCopyGroups grouped = GroupShadowCopyFiles(sources, mounts.sources);
        EXPECT_FALSE(grouped.allGrouped);
        ASSERT_EQ(grouped.groups.size(), 1u);
        ASSERT_EQ(grouped.groups[0].files.size(), 1u);
        EXPECT_EQ(grouped.groups[0].files[0].belowVolume, L"/a.txt");
    }
}

TEST(ShadowCopyScript, OneScriptPerVolumeCopiesEachFileFromTheMappedCopy) {
    const ShadowCopyTools tools{"/opt/qb/vshadow64.exe", "/opt/qb/dosdev.exe", "/usr/bin/robocopy.exe"};
    const ShadowCopyGroup group{L"/vol/E", {{0, L"/docs/a.txt"}, {1, L"/b.txt"}}};
    const std::vector<std::wstring> targets{L"/t/x/a.txt", L"/t/b.txt"};

    EXPECT_EQ(ShadowCopyScriptText(tools, group, targets),
              "setlocal\r\n"
              "if NOT \"%CALLBACK_SCRIPT%\"==\"\" goto :IS_CALLBACK\r\n"
              "set SOURCE_DRIVE_LETTER=%1\r\n"
              "set CALLBACK_SCRIPT=\"%~dpnx0\"\r\n"
              "set TEMP_GENERATED_SCRIPT=GeneratedVarsTempScript.cmd\r\n"
              "\"/opt/qb/vshadow64.exe\" -script=%TEMP_GENERATED_SCRIPT% -exec=%CALLBACK_SCRIPT% "
              "%SOURCE_DRIVE_LETTER% > \"%~dp0vss.log\"\r\n"
              "if errorlevel 1 del /f %TEMP_GENERATED_SCRIPT% & exit %errorlevel%\r\n"
              "del /f %TEMP_GENERATED_SCRIPT%\r\n"
              "@goto :EOF\r\n"
              ":IS_CALLBACK\r\n"
              "setlocal\r\n"
              "call %TEMP_GENERATED_SCRIPT%\r\n"
              "\"/opt/qb/dosdev.exe\" B: %SHADOW_DEVICE_1%\r\n"
              "\"/usr/bin/robocopy.exe\" \"B:/docs\" \"/t/x\" \"a.txt\"\r\n"
              "\"/usr/bin/robocopy.exe\" \"B:\" \"/t\" \"b.txt\"\r\n"
              "\"/opt/qb/dosdev.exe\" -r -d B:");
}

// A task whose two folders are synced with catalogs, "Lock" on, at the detailed log level.
class ShadowRun : public passtest::SyncPass {
public:
    ShadowRun() {
        task.sourceCatalog = W(Src("_qb_sync/_qb_sync._if"));
        task.targetCatalog = W(Dst("_qb_sync/_qb_sync._if"));
        plat::CreateFolderWithParents(Src("_qb_sync"));
        plat::CreateFolderWithParents(Dst("_qb_sync"));
        plat::CreateFolderWithParents(tempFolder);
        ProgramState().tempFolder = tempFolder + "/";
        ProgramState().programFolder = programFolder + "/";
        task.syncOptions->lock = 1;
    }
    ~ShadowRun() {
        DiscardCatalogs(run);
        FreeCatalogs(run);
        ProgramState().tempFolder = savedTemp;
        ProgramState().programFolder = savedProgram;
    }

    // "new.txt" is copied to the target, "old.txt" over an older copy there; both sources
    // are held by another program.
    void SetAsideTwoLockedFiles() {
        SrcFile("new.txt", "new", kTime);
        SrcFile("old.txt", "newer", kTime + 100);
        DstFile("old.txt", "old", kTime);
        Scan();
        SetAction("old.txt", ItemState::kCopyToRight);
        Record("old.txt").SetSourceCatalogRow(Memo(3, kTime - 10));
        Record("old.txt").SetTargetCatalogRow(Memo(3, kTime - 20));

        BeginCatalogs(run);
        ResetShadowCopyState(run);
        plat::FileFaults faults;
        faults.lockedFile = [this](const std::string& path) {
            return path == Src("new.txt") || path == Src("old.txt");
        };
        const plat::ScopedFileFaults locked(std::move(faults));
        ASSERT_EQ(WalkCopyActions(run, run.sourceTree.get(), run.targetTree.get(), counter), 1);
        ASSERT_EQ(run.shadowWaiting.size(), 2u);
        CatalogRowQueues rows;
        rows.source = [this](const CFileInfo& record, DWORD own) { BuildSourceCatalogWorkItem(run, record, own); };
        rows.target = [this](const CFileInfo& record, DWORD own) { BuildCatalogWorkItem(run, record, own); };
        ASSERT_EQ(WalkDeleteActions(run, run.sourceTree.get(), run.targetTree.get(), counter, rows), 1);
    }

    // The catalogs as the next Check reads them: relative path and size of each row.
    std::pair<std::vector<std::pair<std::wstring, ULONGLONG>>, std::vector<std::pair<std::wstring, ULONGLONG>>>
    FinishCatalogs() {
        QueueCatalogEndJobs(run);
        StartCatalogProgress(run);
        DestroyWorkQueuePumping(run);
        EXPECT_TRUE(SaveCatalogs(run));
        ReadCatalogs(run);
        return {RowsOf(run.sourceSide), RowsOf(run.targetSide)};
    }

    static CatalogRowMemo Memo(ULONGLONG size, LONGLONG time) {
        CatalogRowMemo memo;
        memo.found = true;
        memo.size = size;
        memo.time = time;
        return memo;
    }

    std::string tempFolder = dir.sub("tmp");
    std::string programFolder = dir.sub("program");

private:
    static std::vector<std::pair<std::wstring, ULONGLONG>> RowsOf(const RunCatalogSide& side) {
        std::vector<std::pair<std::wstring, ULONGLONG>> rows;
        if (side.rows) {
            for (std::size_t i = 0; i < side.rows->size(); ++i) {
                rows.emplace_back(plat::Utf8ToWide(side.rows->NameAt(i)), side.rows->RowAt(i).size);
            }
        }
        return rows;
    }

    std::string savedTemp = ProgramState().tempFolder;
    std::string savedProgram = ProgramState().programFolder;
};

TEST(ShadowCopyFiles, ALockedFileGoesTheWholeRouteAndFailsWithNoShadowCopyService) {
    ShadowRun t;
    t.SetAsideTwoLockedFiles();
    EXPECT_TRUE(t.Record("new.txt").state.UsedShadowCopy());
    t.log.lines.clear();
    t.window.rowsDone.clear();

    EXPECT_FALSE(ShadowCopyFiles(t.run));

    EXPECT_EQ(t.Lines(),
              (std::vector<std::string>{
                  "red: Failed to start shadow copy. ",
                  "red: Failed Shadow Copy " + t.Src("new.txt") + " -> " + t.Dst("new.txt") + " (File Locked)",
                  "red: Failed Shadow Copy " + t.Src("old.txt") + " -> " + t.Dst("old.txt") + " (File Locked)",
              }));
    for (const char* name : {"new.txt", "old.txt"}) {
        const CFileInfo& record = t.Record(name);
        EXPECT_TRUE(record.state.IsError()) << name;
        EXPECT_EQ(record.shadowIndex, -1) << name;
    }
    EXPECT_EQ(t.run.counters.errors, 2u);
    EXPECT_EQ(t.window.rowsDone, (std::vector<std::string>{"new.txt", "old.txt"}));
    EXPECT_FALSE(passtest::Exists(t.Dst("new.txt")));
    EXPECT_EQ(qbtest::ReadFileBytes(t.Dst("old.txt")), "old");

    // Neither file reached its target: the catalogs keep what they held, so the next Check
    // decides both again.
    const auto [source, target] = t.FinishCatalogs();
    EXPECT_EQ(source, (std::vector<std::pair<std::wstring, ULONGLONG>>{{L"old.txt", 3}}));
    EXPECT_EQ(target, (std::vector<std::pair<std::wstring, ULONGLONG>>{{L"old.txt", 3}}));
}

TEST(ShadowCopyFiles, EachFileIsJudgedByWhatIsAtItsTarget) {
    struct Case {
        const char* what;
        bool copies;
        BOOL answer;
    };
    for (const Case c : {Case{"copied and told so", true, TRUE}, Case{"copied, told it failed", true, FALSE},
                         Case{"told it copied, nothing there", false, TRUE}}) {
        SCOPED_TRACE(c.what);
        ShadowRun t;
        t.SetAsideTwoLockedFiles();
        int calls = 0;
        const plat::ScopedVssCopyStandIn library(
            [&](std::span<const std::uint8_t> drives, std::span<const std::uint8_t> files) {
                ++calls;
                EXPECT_FALSE(drives.empty());
                EXPECT_FALSE(files.empty());
                for (std::size_t i = 0; c.copies && i < t.run.shadowSourcePaths.size(); ++i) {
                    const fs::path from = plat::WideToUtf8(t.run.shadowSourcePaths[i]);
                    const fs::path to = plat::WideToUtf8(t.run.shadowTargetPaths[i]);
                    fs::copy_file(from, to, fs::copy_options::overwrite_existing);
                    fs::last_write_time(to, fs::last_write_time(from));
                }
                return c.answer;
            });

        EXPECT_EQ(ShadowCopyFiles(t.run), c.answer);
        EXPECT_EQ(calls, 1);

        const CFileInfo& added = t.Record("new.txt");
        const CFileInfo& replaced = t.Record("old.txt");
        EXPECT_EQ(added.state.IsDone(), c.copies);
        EXPECT_EQ(added.state.IsError(), !c.copies);
        EXPECT_EQ(added.state.IsOnTarget(), c.copies);
        EXPECT_EQ(replaced.state.IsDone(), c.copies);
        EXPECT_EQ(t.run.counters.done, c.copies ? 2u : 0u);
        if (c.copies) {
            EXPECT_EQ(added.counterpartPath(), W(t.Dst("new.txt")));
            EXPECT_EQ(replaced.counterpartSize, 5u);
        }

        const auto [source, target] = t.FinishCatalogs();
        if (c.copies) {
            const std::vector<std::pair<std::wstring, ULONGLONG>> both{{L"new.txt", 3}, {L"old.txt", 5}};
            EXPECT_EQ(source, both);
            EXPECT_EQ(target, both);
        } else {
            EXPECT_EQ(target, (std::vector<std::pair<std::wstring, ULONGLONG>>{{L"old.txt", 3}}));
        }
    }
}

TEST(ShadowCopyScript, TheRouteFailsWithoutItsToolOrItsScriptAndLeavesNoScript) {
    struct Case {
        const char* what;
        bool tool;
        bool tempFolder;
        const char* line;  // red; null: none
    };
    for (const Case c : {Case{"no vshadow64.exe", false, true, "Can't locate vshadow64.exe"},
                         Case{"script cannot be written", true, false, "Can't open vssexec.bat"},
                         Case{"script ends with an error", true, true, nullptr}}) {
        SCOPED_TRACE(c.what);
        ShadowRun t;
        if (c.tool) qbtest::WriteFileBytes(t.programFolder + "/vshadow64.exe", "");
        if (!c.tempFolder) fs::remove_all(t.tempFolder);
        t.run.shadowSourcePaths = {W(t.Src("a.txt"))};
        t.run.shadowTargetPaths = {W(t.Dst("a.txt"))};

        EXPECT_FALSE(ShadowCopyByScript(t.run));

        EXPECT_EQ(t.Lines(),
                  c.line ? std::vector<std::string>{std::string("red: ") + c.line} : std::vector<std::string>{});
        EXPECT_FALSE(passtest::Exists(t.tempFolder + "/vssexec.bat"));
    }
}

TEST(ShadowCopyFiles, EverySyncStartsWithNoRecordWaiting) {
    ShadowRun t;
    t.SrcFile("stale.txt");
    t.SrcFile("done.txt");
    t.SrcFile("fresh.txt");
    t.Scan();
    // Left by a Sync that was stopped before its shadow-copy step.
    CFileInfo& stale = t.Record("stale.txt");
    stale.shadowIndex = 0;
    stale.state.Set(ItemState::kShadowCopy);
    CFileInfo& done = t.Record("done.txt");
    done.shadowIndex = 1;
    done.state.Set(ItemState::kShadowCopy | ItemState::kDone);
    t.run.shadowSourcePaths = {L"x", L"y"};
    t.run.shadowTargetPaths = {L"x", L"y"};
    t.run.shadowWaiting.resize(2);

    ResetShadowCopyState(t.run);

    EXPECT_EQ(stale.shadowIndex, -1);
    EXPECT_FALSE(stale.state.UsedShadowCopy());
    EXPECT_EQ(done.shadowIndex, -1);
    EXPECT_TRUE(done.state.UsedShadowCopy());
    EXPECT_TRUE(t.run.shadowSourcePaths.empty() && t.run.shadowTargetPaths.empty() && t.run.shadowWaiting.empty());

    // This Sync's first waiting file takes index 0; only its own record receives it back.
    CFileInfo& fresh = t.Record("fresh.txt");
    fresh.shadowIndex = 0;
    CFileInfo completed = fresh;
    completed.state.Set(ItemState::kDone);
    completed.shadowIndex = -1;
    EXPECT_EQ(UpdateTreeRecord(*t.run.sourceTree, completed, 0), &fresh);
    EXPECT_TRUE(fresh.state.IsDone());
    EXPECT_FALSE(stale.state.IsDone());
}

}  // namespace
