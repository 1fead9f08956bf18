// Building the new catalogs of a Sync: each side lists exactly what is in step there, an
// item left out of step keeps its previous rows, full blocks become members, a side with
// no rows loses its old catalog, a name too long for a row is left out, and a side that
// fails (no queue thread, a member that cannot be written) or a Sync that stops early
// leaves the old catalog as it was.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <tuple>
#include <vector>

#include "engine/catalog/catalog_building.h"
#include "engine/catalog/catalog_format.h"
#include "engine/catalog/catalog_reading.h"
#include "engine/model/file_info_array.h"
#include "engine/run/run_block.h"
#include "foundation/archive_store.h"
#include "foundation/options/log_options.h"
#include "foundation/program_state.h"
#include "foundation/sync_task.h"
#include "platform/core/message_test_support.h"
#include "platform/core/text.h"
#include "resources/sync_messages.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;

constexpr LONGLONG kTime = 1'700'000'000;
constexpr DWORD kBoth = ItemState::kMatched | ItemState::kOnSource | ItemState::kOnTarget;

using Row = std::tuple<std::wstring, ULONGLONG, LONGLONG>;  // name, size, last write

CFileInfo Item(const std::wstring& name, DWORD state, ULONGLONG size = 10, LONGLONG time = kTime) {
    CFileInfo record;
    record.Set(L"/left/" + name, size, FILE_ATTRIBUTE_ARCHIVE, time, name, 0);
    record.attributes = FILE_ATTRIBUTE_ARCHIVE;
    record.size = size;
    record.lastWrite = time;
    record.SetCounterpart(L"/right/" + name, name, FILE_ATTRIBUTE_ARCHIVE, size, time);
    record.state = ItemState(state);
    return record;
}

CatalogRowMemo Memo(ULONGLONG size, LONGLONG time) {
    CatalogRowMemo memo;
    memo.found = true;
    memo.attributes = FILE_ATTRIBUTE_ARCHIVE;
    memo.size = size;
    memo.time = time;
    return memo;
}

// Records of the source tree give their target row from the counterpart; target-only
// records give both rows from their own values.
struct Queued {
    CFileInfo record;
    bool targetOnly = false;
};

class BuildRun {
public:
    BuildRun() {
        fs::create_directories(fs::path(sourceCatalog).parent_path());
        fs::create_directories(fs::path(targetCatalog).parent_path());
        fs::create_directories(tempFolder);
        ProgramState().tempFolder = tempFolder + "/";
        task.sourceFolder = plat::Utf8ToWide(dir.sub("left"));
        task.targetFolder = plat::Utf8ToWide(dir.sub("right"));
        task.sourceCatalog = plat::Utf8ToWide(sourceCatalog);
        task.targetCatalog = plat::Utf8ToWide(targetCatalog);
        task.taskWindow = taskWindow;
        task.logControl = logControl;
        task.logOptions = std::make_unique<CConfigLogPage>(false);
        task.logOptions->log = 1;
        run.task = &task;
        run.logOptions = task.logOptions.get();
    }
    ~BuildRun() {
        DiscardCatalogs(run);
        FreeCatalogs(run);
        run.task = nullptr;
        ProgramState().tempFolder = savedTempFolder;
        DestroyWindow(taskWindow);
        DestroyWindow(logControl);
    }

    void Queue(const std::vector<Queued>& items) {
        for (const Queued& item : items) {
            BuildSourceCatalogWorkItem(run, item.record, true);
            BuildCatalogWorkItem(run, item.record, item.targetOnly);
        }
    }

    // The end of a Sync phase that ran to its end.
    bool Finish() {
        QueueCatalogEndJobs(run);
        StartCatalogProgress(run);
        DestroyWorkQueuePumping(run);
        return SaveCatalogs(run);
    }

    bool Sync(const std::vector<Queued>& items) {
        BeginCatalogs(run);
        Queue(items);
        return Finish();
    }

    // Both catalogs read back the way the next Check reads them.
    std::pair<std::vector<Row>, std::vector<Row>> ReadBack() {
        ReadCatalogs(run);
        return {RowsOf(run.sourceSide), RowsOf(run.targetSide)};
    }

    bool Logged(const std::string& line, LPARAM colour) const {
        return std::find(logLines.begin(), logLines.end(), std::make_pair(line + "\r\n", colour)) != logLines.end();
    }
    std::vector<std::string> CatalogFolderNames(const std::string& catalog) const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(fs::path(catalog).parent_path())) {
            names.push_back(entry.path().filename());
        }
        return names;
    }

    qbtest::TempDir dir;
    std::string sourceCatalog = dir.sub("left/_qb_sync/_qb_sync._if");
    std::string targetCatalog = dir.sub("right/_qb_sync/_qb_sync._if");
    std::vector<std::pair<std::string, LPARAM>> logLines;
    std::vector<std::string> progressTexts;
    SyncTask task;
    SyncRunBlock run;

private:
    static std::vector<Row> RowsOf(const RunCatalogSide& side) {
        std::vector<Row> rows;
        if (!side.rows) return rows;
        for (std::size_t i = 0; i < side.rows->size(); ++i) {
            rows.emplace_back(plat::Utf8ToWide(side.rows->NameAt(i)), side.rows->RowAt(i).size,
                              side.rows->RowAt(i).time);
        }
        std::sort(rows.begin(), rows.end());
        return rows;
    }

    std::string savedTempFolder = ProgramState().tempFolder;
    std::string tempFolder = dir.sub("tmp");
    msgtest::LambdaWindow logProc_{[this](HWND, UINT message, WPARAM w, LPARAM l) -> LRESULT {
        if (message == WM_SYNC_LOG_LINE) logLines.emplace_back(reinterpret_cast<const char*>(w), l);
        if (message == WM_SYNC_LOG_LINE_W) {
            logLines.emplace_back(plat::WideToUtf8(reinterpret_cast<const wchar_t*>(w)), l);
        }
        return 0;
    }};
    msgtest::LambdaWindow taskProc_{[this](HWND, UINT message, WPARAM, LPARAM l) -> LRESULT {
        if (message == WM_SYNC_PROGRESS_TEXT && l != 0) progressTexts.emplace_back(reinterpret_cast<const char*>(l));
        return 0;
    }};
    HWND taskWindow = plat::CreateMessageWindow(&taskProc_);
    HWND logControl = plat::CreateMessageWindow(&logProc_);
};

std::vector<std::uint8_t> Member(const std::vector<std::wstring>& names) {
    std::vector<std::uint8_t> block(CatalogBlockSize(static_cast<std::uint32_t>(names.size())), 0);
    FillCatalogHeader(std::span<std::uint8_t, kCatalogHeaderSize>(block.data(), kCatalogHeaderSize),
                      static_cast<std::uint32_t>(names.size()), L"/old");
    for (std::size_t i = 0; i < names.size(); ++i) {
        CFileInfo2 row;
        row.Set(names[i], 1, FILE_ATTRIBUTE_ARCHIVE, kTime, 0);
        FillCatalogRecord(row, std::span<std::uint8_t, kCatalogRecordSize>(
                                   block.data() + kCatalogHeaderSize + i * kCatalogRecordSize, kCatalogRecordSize));
    }
    return block;
}

TEST(CatalogBuilding, EachSideListsWhatIsInStepAndKeepsPreviousRowsOfTheRest) {
    BuildRun t;
    CFileInfo copied = Item(L"copied", ItemState::kSourceOnly | ItemState::kOnSource | ItemState::kCopyToRight |
                                           ItemState::kDone | ItemState::kOnTarget);
    copied.SetCounterpart(L"/right/copied", L"copied", FILE_ATTRIBUTE_ARCHIVE, 20, kTime + 60);
    CFileInfo conflict = Item(L"conflict", kBoth | ItemState::kNoAction | ItemState::kConflict, 30, kTime + 90);
    conflict.SetSourceCatalogRow(Memo(5, kTime - 100));
    // Matched without regard to case: the target spells it "FAILED".
    CFileInfo failed = Item(L"failed", kBoth | ItemState::kCopyToRight | ItemState::kError, 40);
    failed.SetCounterpartRelativePath("FAILED");
    failed.SetSourceCatalogRow(Memo(6, kTime - 200));
    failed.SetTargetCatalogRow(Memo(7, kTime - 300));
    CFileInfo backupError = Item(L"backup error", kBoth | ItemState::kCopyToLeft | ItemState::kBackupError);
    CFileInfo waiting = Item(L"waiting", kBoth | ItemState::kCopyToRight | ItemState::kShadowCopy);
    waiting.shadowIndex = 0;
    CFileInfo copiedLeft = Item(L"copied left",
                                ItemState::kTargetOnly | ItemState::kOnTarget | ItemState::kCopyToLeft |
                                    ItemState::kDone | ItemState::kOnSource,
                                50);

    ASSERT_TRUE(t.Sync({
        {Item(L"same", kBoth | ItemState::kNoAction)},
        {copied},
        {Item(L"deleted", ItemState::kMatched | ItemState::kOnSource | ItemState::kDeleteRight | ItemState::kDone |
                              ItemState::kDeleted)},
        {conflict},
        {failed},
        {backupError},
        {Item(L"excluded", kBoth | ItemState::kNoAction | ItemState::kExcluded)},
        {waiting},
        {Item(L"only right", ItemState::kTargetOnly | ItemState::kOnTarget | ItemState::kNoAction), true},
        {copiedLeft, true},
    }));

    const auto [source, target] = t.ReadBack();
    EXPECT_EQ(source, (std::vector<Row>{{L"conflict", 5, kTime - 100},
                                        {L"copied", 10, kTime},
                                        {L"copied left", 50, kTime},
                                        {L"deleted", 10, kTime},
                                        {L"failed", 6, kTime - 200},
                                        {L"same", 10, kTime}}));
    EXPECT_EQ(target, (std::vector<Row>{{L"FAILED", 7, kTime - 300},
                                        {L"copied", 20, kTime + 60},
                                        {L"copied left", 50, kTime},
                                        {L"only right", 10, kTime},
                                        {L"same", 10, kTime}}));
    EXPECT_TRUE(t.Logged("Save '" + t.sourceCatalog + "' catalog file (6 records).", 0));
    EXPECT_TRUE(t.Logged("Save '" + t.targetCatalog + "' catalog file (5 records).", 0));
    // The new archives were renamed into place: nothing else is left beside the catalogs.
    EXPECT_EQ(t.CatalogFolderNames(t.sourceCatalog), std::vector<std::string>{"_qb_sync._if"});
    EXPECT_EQ(t.CatalogFolderNames(t.targetCatalog), std::vector<std::string>{"_qb_sync._if"});
}

TEST(CatalogBuilding, FullBlocksAreWrittenAsTheyFillAndTheRestAtTheEnd) {
    BuildRun t;
    std::vector<Queued> items;
    for (int i = 0; i < 4097; ++i) items.push_back({Item(L"f" + std::to_wstring(i), kBoth | ItemState::kNoAction)});
    ASSERT_TRUE(t.Sync(items));

    std::vector<std::size_t> memberRows;
    for (unsigned index = 0;; ++index) {
        const auto member = ReadCatalogEntry(t.targetCatalog, index);
        if (!member) break;
        const auto block = ParseCatalogBlock(*member);
        ASSERT_TRUE(block);
        memberRows.push_back(block->rows.size());
    }
    EXPECT_EQ(memberRows, (std::vector<std::size_t>{4096, 1}));
    EXPECT_EQ(t.run.sourceSide.rowsWritten, 4097u);
    EXPECT_EQ(t.ReadBack().first.size(), 4097u);
}

// A scheduled Sync that finds nothing to do writes no catalog: the file keeps its inode
// and its modification time. One change makes the whole catalog written anew.
TEST(CatalogBuilding, AnUnchangedCatalogIsLeftUntouchedAndAChangedOneIsWrittenWhole) {
    BuildRun t;
    std::vector<Queued> items;
    for (int i = 0; i < 5000; ++i) items.push_back({Item(L"f" + std::to_wstring(i), kBoth | ItemState::kNoAction)});
    ASSERT_TRUE(t.Sync(items));
    const auto stamp = [](const std::string& path) {
        struct stat st {};
        EXPECT_EQ(::stat(path.c_str(), &st), 0);
        return std::make_tuple(st.st_ino, st.st_mtim.tv_sec, st.st_mtim.tv_nsec, st.st_size);
    };
    const auto sourceBefore = stamp(t.sourceCatalog);
    const auto targetBefore = stamp(t.targetCatalog);

    t.logLines.clear();
    ASSERT_TRUE(t.Sync(items));
    EXPECT_EQ(stamp(t.sourceCatalog), sourceBefore);
    EXPECT_EQ(stamp(t.targetCatalog), targetBefore);
    EXPECT_TRUE(t.Logged("Save '" + t.sourceCatalog + "' catalog file (5000 records).", 0));
    EXPECT_EQ(t.CatalogFolderNames(t.targetCatalog), std::vector<std::string>{"_qb_sync._if"});

    items[4500].record.counterpartSize = 77;  // changed on the target side only
    ASSERT_TRUE(t.Sync(items));
    EXPECT_EQ(stamp(t.sourceCatalog), sourceBefore);
    EXPECT_NE(std::get<0>(stamp(t.targetCatalog)), std::get<0>(targetBefore));
    const auto [source, target] = t.ReadBack();
    ASSERT_EQ(target.size(), 5000u);
    EXPECT_EQ(std::count_if(target.begin(), target.end(), [](const Row& row) { return std::get<1>(row) == 77; }), 1);
    EXPECT_EQ(t.CatalogFolderNames(t.targetCatalog), std::vector<std::string>{"_qb_sync._if"});
}

TEST(CatalogBuilding, ASideLeftWithNoRowsLosesItsOldCatalog) {
    BuildRun t;
    ASSERT_TRUE(WriteCatalogEntry(t.sourceCatalog, Member({L"gone"}), 0));
    ASSERT_TRUE(WriteCatalogEntry(t.targetCatalog, Member({L"gone"}), 0));

    ASSERT_TRUE(t.Sync({{Item(L"left only", ItemState::kSourceOnly | ItemState::kOnSource | ItemState::kNoAction)}}));

    EXPECT_EQ(t.ReadBack().first, (std::vector<Row>{{L"left only", 10, kTime}}));
    EXPECT_FALSE(fs::exists(t.targetCatalog));
    EXPECT_TRUE(t.Logged("Save '" + t.targetCatalog + "' catalog file (0 records).", 0));
}

TEST(CatalogBuilding, ANameTooLongForItsRowIsLeftOutAndLogged) {
    BuildRun t;
    const std::wstring longName(kCatalogNameMaxUnits + 1, L'x');
    const std::wstring longest(kCatalogNameMaxUnits, L'y');
    ASSERT_TRUE(t.Sync({{Item(longName, kBoth | ItemState::kNoAction)},
                        {Item(longest, kBoth | ItemState::kNoAction)},
                        {Item(L"short", kBoth | ItemState::kNoAction)}}));

    EXPECT_EQ(t.ReadBack().first, (std::vector<Row>{{L"short", 10, kTime}, {longest, 10, kTime}}));
    EXPECT_TRUE(t.Logged("Name too long for the catalog, left out: " + plat::WideToUtf8(longName), 255));
}

TEST(CatalogBuilding, AFailedSideKeepsItsOldCatalogAndTheRunIsToldSo) {
    struct Case {
        const char* what;
        bool queueFails;
        bool memberFails;
    };
    for (const Case c : {Case{"no queue thread", true, false}, Case{"member not written", false, true}}) {
        SCOPED_TRACE(c.what);
        BuildRun t;
        const auto oldTarget = Member({L"old"});
        ASSERT_TRUE(WriteCatalogEntry(t.targetCatalog, oldTarget, 0));
        const std::string before = qbtest::ReadFileBytes(t.targetCatalog);

        // The second queue made is the target side's.
        int queuesMade = 0;
        BeginCatalogs(t.run, [&](plat::WorkerThread& thread, std::function<void()> body) {
            return !(c.queueFails && ++queuesMade == 2) && thread.Start(std::move(body));
        });
        if (c.memberFails) fs::create_directories(plat::WideToUtf8(t.run.targetSide.tempCatalog));
        EXPECT_EQ(t.run.targetSide.catalogQueue == nullptr, c.queueFails);

        const CFileInfo item = Item(L"a", kBoth | ItemState::kNoAction);
        EXPECT_EQ(BuildSourceCatalogWorkItem(t.run, item, true), 1);
        EXPECT_EQ(BuildCatalogWorkItem(t.run, item, false), c.queueFails ? 0 : 1);
        EXPECT_FALSE(t.Finish());

        EXPECT_EQ(qbtest::ReadFileBytes(t.targetCatalog), before);
        EXPECT_EQ(t.ReadBack().first, (std::vector<Row>{{L"a", 10, kTime}}));
        EXPECT_TRUE(t.Logged("Failed to write '" + t.targetCatalog + "' catalog file (0 records)", 255));
        EXPECT_FALSE(t.run.targetSide.writer);
    }
}

TEST(CatalogBuilding, ASyncThatEndsEarlyTouchesNoCatalog) {
    BuildRun t;
    ASSERT_TRUE(WriteCatalogEntry(t.sourceCatalog, Member({L"old"}), 0));
    const std::string before = qbtest::ReadFileBytes(t.sourceCatalog);
    BeginCatalogs(t.run);
    std::vector<Queued> items;
    for (int i = 0; i < 5000; ++i) items.push_back({Item(L"f" + std::to_wstring(i), kBoth | ItemState::kNoAction)});
    t.Queue(items);

    DiscardCatalogs(t.run);

    EXPECT_EQ(t.run.sourceSide.catalogQueue, nullptr);
    EXPECT_EQ(qbtest::ReadFileBytes(t.sourceCatalog), before);
    EXPECT_EQ(t.CatalogFolderNames(t.sourceCatalog), std::vector<std::string>{"_qb_sync._if"});
    EXPECT_TRUE(t.CatalogFolderNames(t.targetCatalog).empty());
    EXPECT_FALSE(t.run.sourceSide.writer);
}

}  // namespace
