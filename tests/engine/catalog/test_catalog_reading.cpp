// Reading both catalogs of a run: no catalog, a good one and one that is there but cannot
// be read (wholly or in part) told apart; members read in order until one is missing;
// stop queries by layout; Stop and every other end leave no temporary copy; the lookups
// by relative path and the facts they give the decision.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <tuple>
#include <vector>

#include "engine/catalog/catalog_format.h"
#include "engine/catalog/catalog_reading.h"
#include "engine/run/message_pace.h"
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
using Bytes = std::vector<std::uint8_t>;

CFileInfo2 Row(const std::wstring& name, ULONGLONG size = 10, LONGLONG time = 1'700'000'000,
               DWORD attributes = FILE_ATTRIBUTE_ARCHIVE) {
    CFileInfo2 row;
    row.Set(name, size, attributes, time, 0);
    return row;
}

Bytes Block(const std::vector<CFileInfo2>& rows) {
    Bytes block(CatalogBlockSize(static_cast<std::uint32_t>(rows.size())), 0);
    FillCatalogHeader(std::span<std::uint8_t, kCatalogHeaderSize>(block.data(), kCatalogHeaderSize),
                      static_cast<std::uint32_t>(rows.size()), L"/root");
    for (std::size_t i = 0; i < rows.size(); ++i) {
        FillCatalogRecord(rows[i], std::span<std::uint8_t, kCatalogRecordSize>(
                                       block.data() + kCatalogHeaderSize + i * kCatalogRecordSize, kCatalogRecordSize));
    }
    return block;
}

// A layout-1 block: 4,120-byte rows, the name at 2068, the time and size as in layout 3.
Bytes OlderBlock(const std::vector<CFileInfo2>& rows) {
    const Bytes current = Block(rows);
    Bytes block(kCatalogHeaderSize + rows.size() * kCatalogOldRecordSize, 0);
    std::copy(current.begin(), current.begin() + kCatalogHeaderSize, block.begin());
    block[2048] = 1;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const auto from = current.begin() + static_cast<std::ptrdiff_t>(kCatalogHeaderSize + i * kCatalogRecordSize);
        const auto to = block.begin() + static_cast<std::ptrdiff_t>(kCatalogHeaderSize + i * kCatalogOldRecordSize);
        std::copy(from, from + 20, to);
        std::copy(from + 20, from + static_cast<std::ptrdiff_t>(kCatalogRecordSize), to + 2068);
    }
    return block;
}

void WriteMember(const std::string& archive, unsigned index, const Bytes& block) {
    ASSERT_TRUE(WriteCatalogEntry(archive, block, index));
}

// A task window and a log control on the test's own thread: the reader's sends reach
// them directly. The window answers Stop from the `stopAtQuery`-th query on, taking
// `firstAnswerMs` over its first answer.
struct Windows {
    int stopQueries = 0;
    int stopAtQuery = 0;  // 0: never
    DWORD firstAnswerMs = 0;
    int progressTexts = 0;
    std::vector<std::string> statusLines;
    std::vector<std::pair<std::string, LPARAM>> logLines;
    std::function<void()> onStatusLine;

    msgtest::LambdaWindow taskProc{[this](HWND, UINT message, WPARAM w, LPARAM l) -> LRESULT {
        if (message == WM_SYNC_QUERY_STOP && stopQueries == 0 && firstAnswerMs > 0) Sleep(firstAnswerMs);
        if (message == WM_SYNC_QUERY_STOP) return ++stopQueries >= stopAtQuery && stopAtQuery > 0;
        if (message == WM_SYNC_PROGRESS_TEXT) ++progressTexts;
        if (message == WM_SYNC_LOG_LINE && l == 2) {
            statusLines.push_back(reinterpret_cast<const char*>(w));
            if (onStatusLine) onStatusLine();
        }
        return 0;
    }};
    msgtest::LambdaWindow logProc{[this](HWND, UINT message, WPARAM w, LPARAM l) -> LRESULT {
        if (message == WM_SYNC_LOG_LINE) logLines.emplace_back(reinterpret_cast<const char*>(w), l);
        if (message == WM_SYNC_LOG_LINE_W) {
            logLines.emplace_back(plat::WideToUtf8(reinterpret_cast<const wchar_t*>(w)), l);
        }
        return 0;
    }};
    HWND task = plat::CreateMessageWindow(&taskProc);
    HWND log = plat::CreateMessageWindow(&logProc);

    ~Windows() {
        DestroyWindow(task);
        DestroyWindow(log);
    }
    bool Logged(const std::string& line, LPARAM colour) const {
        return std::find(logLines.begin(), logLines.end(), std::make_pair(line + "\r\n", colour)) != logLines.end();
    }
};

// A run whose two catalogs live in a temporary folder, with the temporary copies made in
// a folder of their own so that the test sees every one of them.
struct CatalogRun {
    qbtest::TempDir dir;
    std::string savedTempFolder = ProgramState().tempFolder;
    std::string tempFolder = dir.sub("tmp/");
    std::string sourcePath = dir.sub("left/_qb_sync/_qb_sync._if");
    std::string targetPath = dir.sub("right/_qb_sync/_qb_sync._if");
    Windows windows;
    SyncTask task;
    SyncRunBlock run;

    CatalogRun() {
        fs::create_directories(tempFolder);
        fs::create_directories(fs::path(sourcePath).parent_path());
        fs::create_directories(fs::path(targetPath).parent_path());
        ProgramState().tempFolder = tempFolder;
        task.sourceCatalog = plat::Utf8ToWide(sourcePath);
        task.targetCatalog = plat::Utf8ToWide(targetPath);
        task.taskWindow = windows.task;
        task.logControl = windows.log;
        task.logOptions = std::make_unique<CConfigLogPage>(false);
        task.logOptions->log = 1;
        run.task = &task;
        run.logOptions = task.logOptions.get();
    }
    ~CatalogRun() {
        run.task = nullptr;
        ProgramState().tempFolder = savedTempFolder;
    }

    std::size_t TemporaryFiles() const {
        return static_cast<std::size_t>(std::distance(fs::directory_iterator(tempFolder), fs::directory_iterator()));
    }
    std::string FailedLine(const std::string& path) const { return "Failed to load '" + path + "' catalog file."; }
};

TEST(CatalogReading, MissingGoodAndUnreadableCatalogsAreToldApart) {
    struct Case {
        const char* what;
        void (*make)(const std::string& path);
        CatalogStatus status;
        int rows;  // -1: the side has no loaded catalog
    };
    const Case cases[] = {
        {"no file", [](const std::string&) {}, CatalogStatus::kNone, -1},
        {"good",
         [](const std::string& p) {
             WriteMember(p, 0, Block({Row(L"a"), Row(L"b")}));
         },
         CatalogStatus::kComplete, 2},
        {"stored without compression",
         [](const std::string& p) {
             const Bytes b = Block({Row(L"a"), Row(L"b")});
             ZipCommand cmd;
             InitZipCommand(cmd);
             UseArchivePassword(cmd);
             cmd.function = kZipAddMemory;
             cmd.compressionLevel = 0;
             cmd.archivePath = p.c_str();
             cmd.memberName = "Qbinf";
             cmd.block = b.data();
             cmd.blockSize = static_cast<DWORD>(b.size());
             ASSERT_EQ(dzip(&cmd), 0);
         },
         CatalogStatus::kComplete, 2},
        {"not an archive", [](const std::string& p) { qbtest::WriteFileBytes(p, "not a zip file"); },
         CatalogStatus::kIncomplete, -1},
        {"a folder", [](const std::string& p) { fs::create_directories(p); }, CatalogStatus::kIncomplete, -1},
        {"an archive without Qbinf", [](const std::string& p) { WriteMember(p, 1, Block({Row(L"a")})); },
         CatalogStatus::kIncomplete, -1},
        {"first member truncated",
         [](const std::string& p) {
             Bytes b = Block({Row(L"a"), Row(L"b")});
             b.erase(b.end() - 100, b.end());
             WriteMember(p, 0, b);
         },
         CatalogStatus::kIncomplete, -1},
        {"second member with a row count of a million",
         [](const std::string& p) {
             WriteMember(p, 0, Block({Row(L"a"), Row(L"b")}));
             Bytes b = Block({Row(L"c")});
             b[0] = 0x40, b[1] = 0x42, b[2] = 0x0F;  // 1,000,000
             WriteMember(p, 1, b);
         },
         CatalogStatus::kIncomplete, 2},
        {"second member with a name without NUL",
         [](const std::string& p) {
             WriteMember(p, 0, Block({Row(L"a")}));
             Bytes b = Block({Row(L"c")});
             std::fill(b.begin() + kCatalogHeaderSize + 20, b.end(), std::uint8_t{'x'});
             WriteMember(p, 1, b);
         },
         CatalogStatus::kIncomplete, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CatalogRun t;
        c.make(t.targetPath);
        const CatalogsRead read = ReadCatalogs(t.run);
        EXPECT_FALSE(read.stopped);
        EXPECT_EQ(read.source, CatalogStatus::kNone);
        EXPECT_EQ(read.target, c.status);
        EXPECT_EQ(t.run.targetSide.loaded, c.rows >= 0);
        if (c.rows >= 0) {
            ASSERT_TRUE(t.run.targetSide.rows);
            EXPECT_EQ(static_cast<int>(t.run.targetSide.rows->size()), c.rows);
        }
        EXPECT_EQ(t.windows.Logged("Read target catalog file", 0), c.status == CatalogStatus::kComplete);
        EXPECT_EQ(t.windows.Logged(t.FailedLine(t.targetPath), 255), c.status == CatalogStatus::kIncomplete);
        EXPECT_EQ(t.TemporaryFiles(), 0u);
        EXPECT_TRUE(t.run.targetSide.tempCatalog.empty());
    }
}

TEST(CatalogReading, MembersAreReadInOrderUntilOneIsMissing) {
    const ScopedMessagePaceInterval everyItem(0);
    CatalogRun t;
    WriteMember(t.sourcePath, 0, Block({Row(L"m0/b"), Row(L"m0/a"), Row(L"m0/c")}));
    WriteMember(t.sourcePath, 1, OlderBlock({Row(L"m1/a", 7, 1'600'000'000), Row(L"m1/b")}));
    WriteMember(t.sourcePath, 2, Block({Row(L"m2/a")}));
    WriteMember(t.sourcePath, 4, Block({Row(L"m4/a")}));  // after the gap: never read

    const CatalogsRead read = ReadCatalogs(t.run);
    EXPECT_EQ(read.source, CatalogStatus::kComplete);
    EXPECT_EQ(read.target, CatalogStatus::kNone);
    const CatalogRowTable& rows = *t.run.sourceSide.rows;
    std::vector<std::wstring> names;
    for (std::size_t i = 0; i < rows.size(); ++i) names.push_back(plat::Utf8ToWide(rows.NameAt(i)));
    EXPECT_EQ(names, (std::vector<std::wstring>{L"m0/a", L"m0/b", L"m0/c", L"m1/a", L"m1/b", L"m2/a"}));
    const CatalogRow* older = FindCatalogRow(t.run.sourceSide, "m1/a");
    ASSERT_TRUE(older);
    EXPECT_EQ(older->size, 7u);
    EXPECT_EQ(older->time, 1'600'000'000);

    // One stop query after each member of the current layout, one after each older row.
    EXPECT_EQ(t.windows.stopQueries, 1 + 2 + 1);
    EXPECT_EQ(t.windows.progressTexts, 6);
    EXPECT_EQ(t.windows.statusLines, (std::vector<std::string>{"Read Source Catalog..."}));
    EXPECT_TRUE(t.windows.Logged("Read source catalog file", 0));
}

// An archive comment: readable by the archive library, not in the plain form read whole.
void AddArchiveComment(const std::string& archive) {
    std::string bytes = qbtest::ReadFileBytes(archive);
    ASSERT_GE(bytes.size(), 22u);
    const std::string comment = "written elsewhere";
    bytes[bytes.size() - 2] = static_cast<char>(comment.size());
    bytes += comment;
    std::ofstream(archive, std::ios::binary | std::ios::trunc) << bytes;
}

// A catalog in the plain form is read whole into memory at once, the file not held open
// and no copy made; any other archive is copied to a file of its own that the archive
// library reads, gone when the side has been read.
TEST(CatalogReading, TheCatalogIsReadFromACopyGoneWhenTheSideIsRead) {
    CatalogRun t;
    WriteMember(t.sourcePath, 0, Block({Row(L"a")}));
    WriteMember(t.targetPath, 0, Block({Row(L"b")}));
    AddArchiveComment(t.targetPath);
    const std::string original = qbtest::ReadFileBytes(t.targetPath);
    std::vector<std::vector<std::string>> seen;
    t.windows.onStatusLine = [&] {
        std::vector<std::string>& names = seen.emplace_back();
        for (const auto& entry : fs::directory_iterator(t.tempFolder)) names.push_back(entry.path().filename());
        for (const RunCatalogSide* side : {&t.run.sourceSide, &t.run.targetSide}) {
            if (side->tempCatalog.empty()) continue;
            EXPECT_EQ(fs::path(plat::WideToUtf8(side->tempCatalog)).parent_path(),
                      fs::path(t.tempFolder).parent_path());
        }
    };
    const CatalogsRead read = ReadCatalogs(t.run);
    EXPECT_EQ(read.source, CatalogStatus::kComplete);
    EXPECT_EQ(read.target, CatalogStatus::kComplete);
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_TRUE(seen[0].size() <= 1u);  // the target's copy may be made already
    ASSERT_EQ(seen[1].size(), 1u);
    EXPECT_EQ(seen[1][0].rfind("~sy", 0), 0u) << seen[1][0];
    EXPECT_TRUE(FindCatalogRow(t.run.sourceSide, "a"));
    EXPECT_TRUE(FindCatalogRow(t.run.targetSide, "b"));
    EXPECT_EQ(t.TemporaryFiles(), 0u);
    EXPECT_EQ(qbtest::ReadFileBytes(t.targetPath), original);
}

TEST(CatalogReading, StopFreesBothSidesAndLeavesNoTemporaryCopy) {
    const ScopedMessagePaceInterval everyItem(0);
    // Query 1 ends the source side's member; query 2 falls on the target side's.
    for (const int stopAt : {1, 2}) {
        SCOPED_TRACE(stopAt);
        CatalogRun t;
        WriteMember(t.sourcePath, 0, Block({Row(L"a")}));
        WriteMember(t.targetPath, 0, Block({Row(L"b")}));
        t.windows.stopAtQuery = stopAt;
        const CatalogsRead read = ReadCatalogs(t.run);
        EXPECT_TRUE(read.stopped);
        for (const RunCatalogSide* side : {&t.run.sourceSide, &t.run.targetSide}) {
            EXPECT_FALSE(side->loaded);
            EXPECT_FALSE(side->rows);
            EXPECT_TRUE(side->tempCatalog.empty());
        }
        EXPECT_EQ(t.TemporaryFiles(), 0u);
        EXPECT_EQ(t.windows.statusLines.size(), static_cast<std::size_t>(stopAt));
    }
}

std::vector<std::tuple<std::wstring, ULONGLONG, LONGLONG>> RowsOf(const RunCatalogSide& side) {
    std::vector<std::tuple<std::wstring, ULONGLONG, LONGLONG>> rows;
    if (side.rows) {
        for (std::size_t i = 0; i < side.rows->size(); ++i) {
            rows.emplace_back(plat::Utf8ToWide(side.rows->NameAt(i)), side.rows->RowAt(i).size,
                              side.rows->RowAt(i).time);
        }
    }
    return rows;
}

// Source: a member of the current layout, then one of older rows; target: one member.
void WriteBothCatalogs(const CatalogRun& t) {
    WriteMember(t.sourcePath, 0, Block({Row(L"a"), Row(L"b", 20), Row(L"c")}));
    WriteMember(t.sourcePath, 1, OlderBlock({Row(L"d"), Row(L"e", 7, 1'600'000'000), Row(L"f"), Row(L"g")}));
    WriteMember(t.targetPath, 0, Block({Row(L"a"), Row(L"x")}));
}

TEST(CatalogReading, PacedMessagesReadTheSameRows) {
    const auto readWith = [](DWORD interval, int& stopQueries, int& progressTexts) {
        const ScopedMessagePaceInterval pace(interval);
        CatalogRun t;
        WriteBothCatalogs(t);
        const CatalogsRead read = ReadCatalogs(t.run);
        EXPECT_FALSE(read.stopped);
        stopQueries = t.windows.stopQueries;
        progressTexts = t.windows.progressTexts;
        return std::make_tuple(read.source, read.target, RowsOf(t.run.sourceSide), RowsOf(t.run.targetSide),
                               t.windows.statusLines, t.windows.logLines);
    };
    int everyItemQueries = 0, everyItemTexts = 0, pacedQueries = 0, pacedTexts = 0;
    const auto everyItem = readWith(0, everyItemQueries, everyItemTexts);
    EXPECT_EQ(readWith(60'000, pacedQueries, pacedTexts), everyItem);
    EXPECT_EQ(std::get<2>(everyItem).size(), 7u);
    // Each member of the current layout is asked about; of the older rows only the first.
    EXPECT_EQ(everyItemQueries, 1 + 4 + 1);
    EXPECT_EQ(pacedQueries, 1 + 1 + 1);
    EXPECT_EQ(everyItemTexts, 9);
    EXPECT_EQ(pacedTexts, 2);  // the first row of each side
}

// Stop pressed while the first answer is on its way is asked about again at the next
// older row once the interval has passed.
TEST(CatalogReading, StopIsNoticedWithinOneIntervalWhenPaced) {
    const ScopedMessagePaceInterval pace(5);
    CatalogRun t;
    WriteMember(t.sourcePath, 0, OlderBlock({Row(L"a"), Row(L"b"), Row(L"c")}));
    WriteMember(t.targetPath, 0, Block({Row(L"x")}));
    t.windows.stopAtQuery = 2;
    t.windows.firstAnswerMs = 20;
    const CatalogsRead read = ReadCatalogs(t.run);
    EXPECT_TRUE(read.stopped);
    EXPECT_EQ(t.windows.stopQueries, 2);
    EXPECT_EQ(t.windows.statusLines, (std::vector<std::string>{"Read Source Catalog..."}));
    EXPECT_FALSE(t.run.sourceSide.loaded);
    EXPECT_FALSE(t.run.targetSide.loaded);
    EXPECT_EQ(t.TemporaryFiles(), 0u);
}

CFileInfo Record(const std::wstring& relativePath, DWORD state, ULONGLONG size = 10, LONGLONG time = 1'700'000'000) {
    CFileInfo record;
    record.Set(L"/l/" + relativePath, size, FILE_ATTRIBUTE_ARCHIVE, time, relativePath, state);
    return record;
}

TEST(CatalogLookup, NamesAreComparedWithCase) {
    CatalogRun t;
    WriteMember(t.sourcePath, 0, Block({Row(L"Docs/Report.txt"), Row(L"docs/other.txt")}));
    ReadCatalogs(t.run);
    EXPECT_TRUE(FindCatalogRow(t.run.sourceSide, "Docs/Report.txt"));
    EXPECT_FALSE(FindCatalogRow(t.run.sourceSide, "docs/report.txt"));
    EXPECT_FALSE(FindCatalogRow(t.run.sourceSide, "Docs/Other.txt"));
    EXPECT_FALSE(FindCatalogRow(t.run.targetSide, "Docs/Report.txt"));  // no target catalog

    // A file renamed only in case since the last run is new to the catalog.
    EXPECT_TRUE(LookupCatalogsSourceOnly(t.run, Record(L"docs/report.txt", 0x20)).changedOnSource);
}

TEST(CatalogLookup, APairMatchedWithoutCaseIsFoundByEachSidesSpelling) {
    CatalogRun t;
    WriteMember(t.sourcePath, 0, Block({Row(L"Photo.JPG", 10, 1'700'000'000)}));
    WriteMember(t.targetPath, 0, Block({Row(L"photo.jpg", 10, 1'700'000'000)}));
    ReadCatalogs(t.run);

    // The source changed since the last run, the target did not.
    CFileInfo record = Record(L"Photo.JPG", 0x1 | 0x4, 12, 1'700'000'100);
    record.SetCounterpart(L"/r/photo.jpg", L"photo.jpg", FILE_ATTRIBUTE_ARCHIVE, 10, 1'700'000'000);
    const CatalogFacts times = LookupCatalogsTimesDiffer(t.run, record);
    EXPECT_TRUE(times.changedOnSource);
    EXPECT_FALSE(times.changedOnTarget);
    const CatalogFacts sizes = LookupCatalogsSizesDiffer(t.run, record);
    EXPECT_TRUE(sizes.changedOnSource);
    EXPECT_FALSE(sizes.changedOnTarget);

    // Both changed.
    record.SetCounterpart(L"/r/photo.jpg", L"photo.jpg", FILE_ATTRIBUTE_ARCHIVE, 11, 1'700'000'050);
    EXPECT_TRUE(LookupCatalogsTimesDiffer(t.run, record).changedOnTarget);
    EXPECT_TRUE(LookupCatalogsSizesDiffer(t.run, record).changedOnTarget);
}

TEST(CatalogLookup, FactsOfOneSidedItems) {
    CatalogRun t;
    WriteMember(t.sourcePath, 0,
                Block({Row(L"same"), Row(L"older", 10, 1'699'999'997), Row(L"near", 10, 1'699'999'998),
                       Row(L"bigger", 9), Row(L"dir", 0, 5, FILE_ATTRIBUTE_DIRECTORY)}));
    WriteMember(t.targetPath, 0, Block({Row(L"same"), Row(L"gone-from-target")}));
    ReadCatalogs(t.run);

    struct Case {
        const wchar_t* path;
        DWORD state;
        bool changed, known;  // on the item's own side; to the other side's catalog
    };
    const Case sourceOnly[] = {
        {L"same", 0x20, false, true},   {L"older", 0x20, true, false},        // 3 s apart
        {L"near", 0x20, false, false},                                        // 2 s apart is the same time
        {L"bigger", 0x20, true, false}, {L"dir", 0x20 | 0x80, false, false},  // a folder found is unchanged
        {L"new", 0x20, true, false},
    };
    for (const Case& c : sourceOnly) {
        const CatalogFacts facts = LookupCatalogsSourceOnly(t.run, Record(c.path, c.state));
        EXPECT_EQ(facts.changedOnSource, c.changed) << c.path;
        EXPECT_EQ(facts.knownToTarget, c.known) << c.path;
    }
    const Case targetOnly[] = {
        {L"same", 0x10, false, true},
        {L"gone-from-target", 0x10, false, false},
        {L"new", 0x10, true, false},
    };
    for (const Case& c : targetOnly) {
        const CatalogFacts facts = LookupCatalogsTargetOnly(t.run, Record(c.path, c.state));
        EXPECT_EQ(facts.changedOnTarget, c.changed) << c.path;
        EXPECT_EQ(facts.knownToSource, c.known) << c.path;
    }
    // A folder's times and sizes never count.
    const CatalogFacts folder = LookupCatalogsTimesDiffer(t.run, Record(L"dir", 0x80 | 0x4, 0, 99));
    EXPECT_FALSE(folder.changedOnSource);
}

TEST(CatalogLookup, WithoutCatalogsEveryFactIsAbsent) {
    CatalogRun t;
    ReadCatalogs(t.run);
    const CFileInfo record = Record(L"x", 0x20);
    EXPECT_FALSE(LookupCatalogsSourceOnly(t.run, record).changedOnSource);
    EXPECT_FALSE(LookupCatalogsSourceOnly(t.run, record).knownToTarget);
    EXPECT_FALSE(LookupCatalogsTargetOnly(t.run, record).knownToSource);
    EXPECT_FALSE(LookupCatalogsTargetOnly(t.run, record).changedOnTarget);
}

}  // namespace
