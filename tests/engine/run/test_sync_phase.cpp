// The Sync half as one phase: both catalogs replaced by what is in step, none for the
// "Back up" types, the result codes its last step sets (conflicts, failures, a catalog
// that could not be written over a failed shadow copy), a Stop after the passes that
// leaves the old catalogs as they were, and a Sync resumed after a Stop in which every
// record keeps its own outcome.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <tuple>
#include <vector>

#include "engine/catalog/catalog_reading.h"
#include "engine/decision/decision.h"
#include "engine/run/message_pace.h"
#include "engine/run/sync_phase.h"
#include "foundation/program_state.h"
#include "platform/core/file_faults.h"
#include "tests/engine/support/sync_pass_fixture.h"

namespace {

namespace fs = std::filesystem;
using passtest::kTime;
using passtest::W;
using Names = std::vector<std::string>;

// Tips and warnings that reach the main window.
class MainWindow {
public:
    MainWindow()
        : procedure_([this](HWND, UINT message, WPARAM w, LPARAM l) -> LRESULT {
              if (message == WM_SYNC_LOG_LINE) lines.emplace_back(reinterpret_cast<const char*>(w), l);
              return 0;
          }),
          hwnd_(plat::CreateMessageWindow(&procedure_)) {}
    ~MainWindow() { DestroyWindow(hwnd_); }
    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;

    HWND Hwnd() const { return hwnd_; }
    std::vector<std::pair<std::string, LPARAM>> lines;

private:
    msgtest::LambdaWindow procedure_;
    HWND hwnd_;
};

struct PhaseRun : passtest::SyncPass {
    explicit PhaseRun(DWORD type = kSyncMirror) {
        task.syncOptions->type = type;
        task.syncOptions->allowDelete = 1;
        task.UpdateSyncKind();
        task.sourceCatalog = W(Src("_qb_sync/_qb_sync._if"));
        task.targetCatalog = W(Dst("_qb_sync/_qb_sync._if"));
        task.startThread = main.Hwnd();
        plat::CreateFolderWithParents(Src("_qb_sync"));
        plat::CreateFolderWithParents(Dst("_qb_sync"));
        plat::CreateFolderWithParents(tempFolder);
        ProgramState().tempFolder = tempFolder + "/";
    }
    ~PhaseRun() {
        FreeCatalogs(run);
        ProgramState().tempFolder = savedTemp;
    }

    // Scan, the catalogs of the last Sync, the decision and the final counts.
    void Check() {
        run.counters.Clear();
        Scan();
        CountRunTreesFirst(run);
        ReadCatalogs(run);
        ASSERT_EQ(CompareTaskTrees(run), kDecisionDone);
        FreeCatalogs(run);
        CountRunTreesFinal(run);
    }

    // The relative paths each side's catalog lists, as the next Check reads them.
    std::pair<Names, Names> CatalogNames() {
        SyncRunBlock reader;
        reader.task = &task;
        ReadCatalogs(reader);
        const auto names = [](const RunCatalogSide& side) {
            Names list;
            if (side.rows) {
                for (std::size_t i = 0; i < side.rows->size(); ++i) list.emplace_back(side.rows->NameAt(i));
            }
            return list;
        };
        std::pair<Names, Names> result{names(reader.sourceSide), names(reader.targetSide)};
        FreeCatalogs(reader);
        reader.task = nullptr;
        return result;
    }

    // Files the phase leaves in the catalog folders besides the catalog and the logs.
    Names Leftovers() const {
        Names left;
        for (const std::string& folder : {Src("_qb_sync"), Dst("_qb_sync")}) {
            for (const std::string& name : passtest::NamesIn(folder)) {
                if (name != "_qb_sync._if") left.push_back(name);
            }
        }
        return left;
    }

    MainWindow main;
    std::string tempFolder = dir.sub("tmp");
    std::string savedTemp = ProgramState().tempFolder;
};

TEST(SyncPhase, MirrorSyncLeavesBothCatalogsListingWhatIsInStep) {
    PhaseRun p;
    p.SrcFile("left.txt");
    p.DstFile("right.txt");
    p.SrcFile("both.txt");
    p.DstFile("both.txt");
    p.Check();

    EXPECT_EQ(RunSyncPhase(p.run), kSyncPhaseDone);

    EXPECT_EQ(p.run.Result(), kRunSucceeded);
    const Names all{"both.txt", "left.txt", "right.txt"};
    EXPECT_EQ(p.CatalogNames(), std::make_pair(all, all));
    EXPECT_TRUE(p.Leftovers().empty());
    EXPECT_EQ(
        p.main.lines,
        (std::vector<std::pair<std::string, LPARAM>>{{"Click the Stop icon to pause.  You can resume later.", 0}}));
}

TEST(SyncPhase, BackUpRunsBothPassesAndBuildsNoCatalog) {
    PhaseRun p(kBackupLeftToRight);
    p.SrcFile("new.txt");
    p.DstFile("gone.txt");
    p.Check();

    EXPECT_EQ(RunSyncPhase(p.run), kSyncPhaseDone);

    EXPECT_EQ(p.run.Result(), kRunSucceeded);
    EXPECT_TRUE(passtest::Exists(p.Dst("new.txt")));
    EXPECT_FALSE(passtest::Exists(p.Dst("gone.txt")));
    EXPECT_FALSE(passtest::Exists(p.Src("_qb_sync/_qb_sync._if")));
    EXPECT_FALSE(passtest::Exists(p.Dst("_qb_sync/_qb_sync._if")));
    EXPECT_TRUE(p.Leftovers().empty());
    EXPECT_TRUE(p.main.lines.empty());
}

TEST(SyncPhase, ItsLastStepSetsTheResultFromWhatTheSyncLeft) {
    struct Case {
        const char* name;
        std::function<void(PhaseRun&)> afterCheck;
        bool queueThreadsFail;
        DWORD result;
    };
    const std::vector<Case> cases{
        {"a conflict left",
         [](PhaseRun& p) {
             p.Record("a.txt").state.MakeConflict();
             p.run.counters.Clear();
             CountRunTreesFinal(p.run);
         },
         false, kRunConflictsLeft},
        {"a copy refused: its target changed since the Check",
         [](PhaseRun& p) { p.DstFile("b.txt", "changed meanwhile", kTime + 500); }, false, kRunCopiesFailed},
        {"no catalog written, and the shadow copy failed", [](PhaseRun& p) { p.task.syncOptions->lock = 1; }, true,
         kRunCatalogNotWritten},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PhaseRun p;
        p.SrcFile("a.txt", "new a", kTime + 100);
        p.DstFile("a.txt", "old a", kTime);
        p.SrcFile("b.txt", "new b", kTime + 100);
        p.DstFile("b.txt", "old b", kTime);
        p.Check();
        c.afterCheck(p);

        plat::FileFaults faults;
        faults.lockedFile = [&p](const std::string& path) {
            return p.task.syncOptions->lock && path == p.Src("a.txt");
        };
        const plat::ScopedFileFaults locked(std::move(faults));
        CWorkQueue::ThreadStarter failing;
        if (c.queueThreadsFail) failing = [](plat::WorkerThread&, std::function<void()>) { return false; };

        EXPECT_EQ(RunSyncPhase(p.run, failing), kSyncPhaseDone);
        EXPECT_EQ(p.run.Result(), c.result);
        EXPECT_TRUE(p.Leftovers().empty());
    }
}

TEST(SyncPhase, StopAfterTheDeletePassLeavesTheOldCatalogsAsTheyWere) {
    PhaseRun p;
    p.SrcFile("kept.txt");
    p.SrcFile("deleted.txt");
    p.Check();
    ASSERT_EQ(RunSyncPhase(p.run), kSyncPhaseDone);
    const std::string sourceBefore = qbtest::ReadFileBytes(p.Src("_qb_sync/_qb_sync._if"));
    const std::string targetBefore = qbtest::ReadFileBytes(p.Dst("_qb_sync/_qb_sync._if"));

    ASSERT_TRUE(plat::DeleteFile(p.Src("deleted.txt")));
    p.SrcFile("added.txt");
    p.Check();
    // Stop is pressed as soon as the deletion has been carried out.
    p.window.stopWhen = [&p](int) { return !passtest::Exists(p.Dst("deleted.txt")); };

    EXPECT_EQ(RunSyncPhase(p.run), kSyncPhaseStopped);

    EXPECT_TRUE(passtest::Exists(p.Dst("added.txt")));
    EXPECT_EQ(qbtest::ReadFileBytes(p.Src("_qb_sync/_qb_sync._if")), sourceBefore);
    EXPECT_EQ(qbtest::ReadFileBytes(p.Dst("_qb_sync/_qb_sync._if")), targetBefore);
    EXPECT_TRUE(p.Leftovers().empty());
    EXPECT_EQ(p.run.Result(), kRunSucceeded);
}

// New files both ways, one in a new folder, and files already in step.
void FillForASync(PhaseRun& p) {
    for (const char* name : {"a.txt", "b.txt", "c.txt", "same1.txt", "same2.txt"}) p.SrcFile(name);
    plat::CreateFolderWithParents(p.Src("sub"));
    p.SrcFile("sub/d.txt");
    for (const char* name : {"e.txt", "same1.txt", "same2.txt"}) p.DstFile(name);
    p.Check();
    p.window.stopQuestions = 0;
}

TEST(SyncPhase, PacedStopQuestionsLeaveTheSameSync) {
    const auto syncWith = [](DWORD interval, int& questions) {
        PhaseRun p;
        FillForASync(p);
        const ScopedMessagePaceInterval pace(interval);
        EXPECT_EQ(RunSyncPhase(p.run), kSyncPhaseDone);
        questions = p.window.stopQuestions;
        const auto tree = [](const std::string& root) {
            Names names = passtest::NamesIn(root);
            for (const std::string& name : passtest::NamesIn(root + "/sub")) names.push_back("sub/" + name);
            return names;
        };
        return std::make_tuple(tree(p.source), tree(p.target), p.CatalogNames(), p.window.rowsDone,
                               p.window.lastProgress, p.run.Result(), p.run.counters.done.load());
    };
    int everyItemQuestions = 0;
    int pacedQuestions = 0;
    EXPECT_EQ(syncWith(60'000, pacedQuestions), syncWith(0, everyItemQuestions));
    // After the first item, in each of the five copies (the copier asks too), and once
    // after both passes.
    EXPECT_EQ(pacedQuestions, 1 + 5 + 1);
    EXPECT_GT(everyItemQuestions, 10);
}

// Stop pressed while the first answer is on its way is asked about again after the next
// item once the interval has passed: the file after it is not copied.
TEST(SyncPhase, StopIsNoticedWithinOneIntervalWhenPaced) {
    PhaseRun p;
    for (const char* name : {"s1.txt", "s2.txt"}) {
        p.SrcFile(name);
        p.DstFile(name);
    }
    p.SrcFile("z.txt");
    p.Check();
    p.window.stopQuestions = 0;
    const ScopedMessagePaceInterval pace(5);
    p.window.stopWhen = [](int question) {
        if (question == 1) Sleep(20);
        return question >= 2;
    };
    EXPECT_EQ(RunSyncPhase(p.run), kSyncPhaseStopped);
    EXPECT_EQ(p.window.stopQuestions, 2);
    EXPECT_FALSE(passtest::Exists(p.Dst("z.txt")));
}

TEST(SyncPhase, ASyncResumedAfterAStopGivesEachRecordItsOwnOutcome) {
    PhaseRun p;
    p.task.syncOptions->lock = 1;
    p.SrcFile("first.txt", "first");
    p.SrcFile("second.txt", "second");
    p.Check();
    std::string locked = p.Src("first.txt");
    plat::FileFaults faults;
    faults.lockedFile = [&locked](const std::string& path) { return path == locked; };
    const plat::ScopedFileFaults lockedFiles(std::move(faults));

    // The first Sync sets "first.txt" aside for the shadow copy and is stopped there.
    p.window.stopWhen = [&p](int) { return !p.run.shadowWaiting.empty(); };
    ASSERT_EQ(RunSyncPhase(p.run), kSyncPhaseStopped);
    ASSERT_EQ(p.Record("first.txt").shadowIndex, 0);

    // Resumed: "first.txt" is free now, "second.txt" is held and takes index 0.
    locked = p.Src("second.txt");
    p.window.stopWhen = nullptr;
    p.log.lines.clear();
    ASSERT_EQ(RunSyncPhase(p.run), kSyncPhaseDone);

    // Only this Sync's waiting file was set aside and went through the shadow-copy step.
    const std::string secondCopy = p.Src("second.txt") + " -> " + p.Dst("second.txt");
    Names shadowLines;
    for (const std::string& line : p.Lines()) {
        if (line.find("Shadow Copy ") != std::string::npos) shadowLines.push_back(line);
    }
    EXPECT_EQ(shadowLines,
              (Names{"Shadow Copy " + secondCopy, "red: Failed Shadow Copy " + secondCopy + " (File Locked)"}));

    const CFileInfo& first = p.Record("first.txt");
    const CFileInfo& second = p.Record("second.txt");
    EXPECT_TRUE(first.state.IsDone());
    EXPECT_EQ(first.relativePath, "first.txt");
    EXPECT_TRUE(second.state.IsError());
    EXPECT_EQ(second.relativePath, "second.txt");
    EXPECT_EQ(qbtest::ReadFileBytes(p.Dst("first.txt")), "first");
    EXPECT_FALSE(passtest::Exists(p.Dst("second.txt")));
    EXPECT_EQ(p.run.Result(), kRunShadowCopyFailed);
}

}  // namespace
