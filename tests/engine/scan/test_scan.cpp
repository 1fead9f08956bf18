#include "engine/scan/scan.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "engine/run/message_pace.h"
#include "engine/run/run_block.h"
#include "engine/run/run_log.h"
#include "foundation/options/filter_options.h"
#include "foundation/options/log_options.h"
#include "foundation/options/sync_options.h"
#include "foundation/sync_task.h"
#include "platform/core/file_faults.h"
#include "platform/core/message_test_support.h"
#include "platform/core/text.h"
#include "resources/sync_messages.h"
#include "support/temp_dir.h"

namespace {

constexpr std::int64_t kTime = 1600000000;
constexpr DWORD kAbsent = 0xFFFFFFFF;  // no record of that relative path in the tree

std::wstring W(const std::string& s) { return plat::Utf8ToWide(s); }

// A source and a target folder in a temporary folder.
struct FolderPair {
    qbtest::TempDir dir;
    std::string source = dir.sub("src");
    std::string target = dir.sub("dst");

    FolderPair() {
        mkdir(source.c_str(), 0755);
        mkdir(target.c_str(), 0755);
    }

    static void File(const std::string& path, const std::string& bytes, std::int64_t time = kTime) {
        qbtest::WriteFileBytes(path, bytes);
        const timespec times[2] = {{time, 0}, {time, 0}};
        utimensat(AT_FDCWD, path.c_str(), times, 0);
    }
    static void Folder(const std::string& path) { std::filesystem::create_directories(path); }

    void Src(const std::string& rel, const std::string& bytes = "abc", std::int64_t time = kTime) const {
        File(source + "/" + rel, bytes, time);
    }
    void Dst(const std::string& rel, const std::string& bytes = "abc", std::int64_t time = kTime) const {
        File(target + "/" + rel, bytes, time);
    }
    void SrcFolder(const std::string& rel) const { Folder(source + "/" + rel); }
    void DstFolder(const std::string& rel) const { Folder(target + "/" + rel); }

    ScanRequest Request() const {
        ScanRequest request;
        request.sourceFolder = sourceWide;
        request.targetFolder = targetWide;
        return request;
    }

    std::wstring sourceWide = W(source);
    std::wstring targetWide = W(target);
};

// Calls `visit` on every node of the tree.
void ForEachNode(const FolderTreeNode& root, const std::function<void(const FolderTreeNode&)>& visit) {
    std::vector<const FolderTreeNode*> pending{&root};
    while (!pending.empty()) {
        const FolderTreeNode* node = pending.back();
        pending.pop_back();
        visit(*node);
        for (const auto& child : node->children) pending.push_back(child.get());
    }
}

const CFileInfo* FindRecord(const FolderTreeNode& root, const std::string& rel) {
    const std::string& key = rel;
    const CFileInfo* found = nullptr;
    ForEachNode(root, [&](const FolderTreeNode& node) {
        if (node.folder && node.folder->relativePath == key) found = node.folder.get();
        if (node.files) {
            for (const CFileInfo& file : *node.files) {
                if (file.relativePath == key) found = &file;
            }
        }
    });
    return found;
}

DWORD StateOf(const FolderTreeNode& root, const std::string& rel) {
    const CFileInfo* record = FindRecord(root, rel);
    return record ? record->state.Word() : kAbsent;
}

// Records whose relative path begins with `prefix` (a folder's contents: "sub/").
int CountUnder(const FolderTreeNode& root, const std::string& prefix) {
    const std::string& key = prefix;
    int count = 0;
    ForEachNode(root, [&](const FolderTreeNode& node) {
        if (node.folder && node.folder->relativePath.starts_with(key)) ++count;
        if (node.files) {
            for (const CFileInfo& file : *node.files) count += file.relativePath.starts_with(key);
        }
    });
    return count;
}

struct Expected {
    bool source;  // which tree
    std::string rel;
    DWORD state;
};

struct ScanCase {
    const char* name;
    std::function<void(FolderPair&)> build;
    std::function<void(ScanRequest&, FilterPatterns&)> options;
    std::vector<Expected> expected;
};

void ExcludeTmp(ScanRequest& request, FilterPatterns& patterns) {
    ParseFilterPatterns(patterns, L"", L"*.tmp");
    request.patterns = &patterns;
}

// Forty folders deep.
std::string DeepPath() {
    std::string rel;
    for (int i = 0; i < 40; ++i) rel += "level" + std::to_string(i) + "/";
    return rel;
}

const std::vector<ScanCase>& ScanCases() {
    static const std::vector<ScanCase> cases = {
        {"EqualFiles",
         [](FolderPair& p) {
             p.Src("a.txt");
             p.Dst("a.txt");
         },
         nullptr,
         {{true, "a.txt", 0x800C01}, {false, "a.txt", 0x1}}},
        // The 2-second rule: one and two seconds apart are the same time.
        {"TimesOneAndTwoSecondsApart",
         [](FolderPair& p) {
             p.Src("one.txt", "abc", kTime + 1);
             p.Dst("one.txt");
             p.Src("two.txt");
             p.Dst("two.txt", "abc", kTime + 2);
         },
         nullptr,
         {{true, "one.txt", 0x800C01}, {true, "two.txt", 0x800C01}}},
        {"TimesThreeSecondsApart",
         [](FolderPair& p) {
             p.Src("older.txt");
             p.Dst("older.txt", "abc", kTime + 3);
             p.Src("newer.txt", "abc", kTime + 3);
             p.Dst("newer.txt");
         },
         nullptr,
         {{true, "older.txt", 0x1000C45}, {true, "newer.txt", 0x1000C05}, {false, "older.txt", 0x1}}},
        {"SizesDiffer",
         [](FolderPair& p) {
             p.Src("a.txt", "abc");
             p.Dst("a.txt", "abcd");
         },
         nullptr,
         {{true, "a.txt", 0x1000C09}, {false, "a.txt", 0x1}}},
        {"OneSideOnly",
         [](FolderPair& p) {
             p.Src("s.txt");
             p.Src("sd/f.txt");
             p.Dst("t.txt");
             p.Dst("td/g.txt");
         },
         nullptr,
         {{true, "s.txt", 0x1000420},
          {true, "sd", 0x10004A0},
          {true, "sd/f.txt", 0x1000420},
          {false, "t.txt", 0x810},
          {false, "td", 0x890},
          {false, "td/g.txt", 0x810}}},
        {"MatchedFolders",
         [](FolderPair& p) {
             p.Src("d/f.txt");
             p.Dst("d/f.txt");
         },
         nullptr,
         {{true, "d", 0x800C81}, {false, "d", 0x81}, {true, "d/f.txt", 0x800C01}}},
        // A file against a folder: no action yet, and the folder is not target only.
        {"FileAgainstFolder",
         [](FolderPair& p) {
             p.Src("x");
             p.Dst("x/y.txt");
             p.Src("z/w.txt");
             p.Dst("z");
         },
         nullptr,
         // Nothing below a folder that clashes with a file takes part, on either side.
         {{true, "x", 0xC03},
          {false, "x", 0x81},
          {false, "x/y.txt", kAbsent},
          {true, "z", 0xC83},
          {true, "z/w.txt", kAbsent},
          {false, "z", 0x1}}},
        {"ExcludedByPattern",
         [](FolderPair& p) {
             p.Src("a.tmp");
             p.Dst("a.tmp");
             p.Src("b.tmp");
             p.Dst("c.tmp");
             p.Src("a.tmp1");
         },
         ExcludeTmp,
         {{true, "a.tmp", 0x800101},
          {false, "a.tmp", 0x800101},
          {true, "b.tmp", 0x800100},
          {false, "c.tmp", 0x800910},
          {true, "a.tmp1", 0x1000420}}},
        // An excluded folder is never entered; its exclusion reaches its counterpart.
        {"ExcludedFolderPattern",
         [](FolderPair& p) {
             p.Src("cache/x.txt");
             p.Dst("cache/x.txt");
             p.Src("keep/x.txt");
             p.Dst("keep/x.txt");
         },
         [](ScanRequest& request, FilterPatterns& patterns) {
             // "keep" is excluded on the target side only (an absolute pattern).
             ParseFilterPatterns(patterns, L"", L"cache/*.* \"" + std::wstring(request.targetFolder) + L"/keep/*.*\"");
             request.patterns = &patterns;
         },
         {{true, "cache", 0x800180},
          {false, "cache", 0x800181},
          {true, "cache/x.txt", kAbsent},
          {false, "cache/x.txt", kAbsent},
          {true, "keep", 0x180},
          {false, "keep", 0x800181},
          {true, "keep/x.txt", kAbsent}}},
        {"ExcludedByAttribute",
         [](FolderPair& p) {
             p.Src(".hidden");
             p.Src(".git/config");
             p.Src("ro.txt");
             chmod((p.source + "/ro.txt").c_str(), 0444);
             p.Src("rw.txt");
         },
         [](ScanRequest& request, FilterPatterns&) { request.attributeMask = kExcludeHiddenBit | kExcludeReadonlyBit; },
         {{true, ".hidden", 0x800100},
          {true, ".git", 0x800180},
          {true, ".git/config", kAbsent},
          {true, "ro.txt", 0x800100},
          {true, "rw.txt", 0x1000420}}},
        {"IncludeFilter",
         [](FolderPair& p) {
             p.Src("a.txt");
             p.Src("b.dat");
         },
         [](ScanRequest& request, FilterPatterns& patterns) {
             ParseFilterPatterns(patterns, L"*.txt", L"");
             request.patterns = &patterns;
         },
         {{true, "a.txt", 0x1000420}, {true, "b.dat", 0x800100}}},
        {"EmptyFoldersExcluded",
         [](FolderPair& p) {
             p.SrcFolder("e");
             p.Src("f/only.tmp");
             p.Src("g/h/kept.txt");
             p.SrcFolder("n/m");
             p.DstFolder("t");
             p.SrcFolder("both");
             p.DstFolder("both");
         },
         [](ScanRequest& request, FilterPatterns& patterns) {
             ExcludeTmp(request, patterns);
             request.excludeEmpty = true;
         },
         {{true, "e", 0x8005A0},
          {true, "f", 0x8005A0},
          {true, "g", 0x10004A0},
          {true, "g/h", 0x10004A0},
          {true, "n", 0x8005A0},
          {true, "n/m", 0x8005A0},
          {false, "t", 0x800990},
          {true, "both", 0x800D81},
          {false, "both", 0x81}}},
        {"DeepTree",
         [](FolderPair& p) {
             p.Src(DeepPath() + "f.txt");
             p.Dst(DeepPath() + "f.txt");
         },
         nullptr,
         {{true, "level0", 0x800C81}, {true, DeepPath() + "f.txt", 0x800C01}}},
        {"CatalogFolderNeverScanned",
         [](FolderPair& p) {
             p.Src("_qb_sync/catalog");
             p.Dst("_QB_SYNC/catalog");
             p.Src("_qb_sync.txt");
         },
         nullptr,
         {{true, "_qb_sync", kAbsent},
          {true, "_qb_sync/catalog", kAbsent},
          {false, "_QB_SYNC", kAbsent},
          {true, "_qb_sync.txt", 0x1000420}}},
    };
    return cases;
}

TEST(Scan, StateWordsOfSmallFolderPairs) {
    for (const ScanCase& c : ScanCases()) {
        SCOPED_TRACE(c.name);
        FolderPair pair;
        c.build(pair);
        ScanRequest request = pair.Request();
        FilterPatterns patterns;
        if (c.options) c.options(request, patterns);
        const FolderPairScan scan = ScanFolderPair(request);
        ASSERT_EQ(scan.result, kScanDone);
        for (const Expected& e : c.expected) {
            const FolderTreeNode& tree = e.source ? *scan.sourceRoot : *scan.targetRoot;
            EXPECT_EQ(StateOf(tree, e.rel), e.state) << (e.source ? "source " : "target ") << e.rel << std::hex;
        }
    }
}

TEST(Scan, PairedRecordsHoldEachOthersValues) {
    FolderPair pair;
    pair.Src("d/a.txt", "abc", kTime);
    pair.Dst("d/a.txt", "abcdef", kTime + 10);
    ScanRequest request = pair.Request();
    const std::wstring slashed = pair.sourceWide + L"//";  // trailing slashes change no path
    request.sourceFolder = slashed;
    const FolderPairScan scan = ScanFolderPair(request);
    const CFileInfo* source = FindRecord(*scan.sourceRoot, "d/a.txt");
    const CFileInfo* target = FindRecord(*scan.targetRoot, "d/a.txt");
    ASSERT_TRUE(source && target);
    EXPECT_EQ(source->path(), pair.sourceWide + L"/d/a.txt");
    EXPECT_EQ(source->counterpartPath(), target->path());
    EXPECT_EQ(source->counterpartRelativePath(), "d/a.txt");
    EXPECT_EQ(source->counterpartSize, 6u);
    EXPECT_EQ(source->counterpartLastWrite, kTime + 10);
    EXPECT_EQ(target->counterpartPath(), source->path());
    EXPECT_EQ(target->counterpartSize, 3u);
    // The two d nodes are each other's counterpart.
    const FolderTreeNode& sourceD = *scan.sourceRoot->children.at(0);
    EXPECT_EQ(sourceD.counterpart, scan.targetRoot->children.at(0).get());
    EXPECT_EQ(sourceD.counterpart->counterpart, &sourceD);
}

TEST(Scan, NameThatIsNotUtf8SurvivesAndMatches) {
    FolderPair pair;
    const std::string name = "caf\xE9 \xFF.txt";  // Latin-1 bytes, not UTF-8
    pair.Src("d\x80/" + name);
    pair.Dst("d\x80/" + name);
    const FolderPairScan scan = ScanFolderPair(pair.Request());
    const CFileInfo* source = FindRecord(*scan.sourceRoot, "d\x80/" + name);
    ASSERT_NE(source, nullptr);
    EXPECT_EQ(source->state.Word(), 0x800C01u);
    EXPECT_EQ(plat::WideToUtf8(source->path()), pair.source + "/d\x80/" + name);
    EXPECT_EQ(plat::WideToUtf8(source->counterpartPath()), pair.target + "/d\x80/" + name);
    EXPECT_EQ(StateOf(*scan.targetRoot, "d\x80/" + name), 0x1u);
}

// A folder that cannot be listed is not empty: it and its counterpart are excluded, with
// nothing below them, so no later stage can copy or delete there.
TEST(Scan, UnreadableFolderIsExcludedWithItsCounterpart) {
    struct Case {
        const char* name;
        bool sourceSide;       // which side's folder fails
        ULONGLONG failsAfter;  // 0: at the start
        DWORD sourceState;
        DWORD targetState;
    };
    const Case cases[] = {
        {"SourceAtStart", true, 0, 0x800D81, 0x800181},
        {"SourceHalfWay", true, 2, 0x800D81, 0x800181},
        {"TargetAtStart", false, 0, 0x800180, 0x800181},
        {"TargetHalfWay", false, 2, 0x800180, 0x800181},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FolderPair pair;
        for (const char* file : {"sub/a", "sub/b", "sub/c", "sub/d", "sub/inner/e"}) {
            pair.Src(file);
            pair.Dst(file, "changed");
        }
        pair.Src("sub/new-on-source");
        pair.Dst("sub/deleted-on-source");
        plat::FileFaults faults;
        faults.unlistableFolder = plat::FileFaults::SamePath((c.sourceSide ? pair.source : pair.target) + "/sub");
        faults.listFailsAfter = c.failsAfter;
        const plat::ScopedFileFaults scoped(faults);
        const FolderPairScan scan = ScanFolderPair(pair.Request());
        ASSERT_EQ(scan.result, kScanDone);
        EXPECT_EQ(StateOf(*scan.sourceRoot, "sub"), c.sourceState) << std::hex;
        EXPECT_EQ(StateOf(*scan.targetRoot, "sub"), c.targetState) << std::hex;
        EXPECT_EQ(CountUnder(*scan.sourceRoot, "sub/"), 0);
        EXPECT_EQ(CountUnder(*scan.targetRoot, "sub/"), 0);
        const FolderTreeNode& failedSide = c.sourceSide ? *scan.sourceRoot : *scan.targetRoot;
        const FolderTreeNode& otherSide = c.sourceSide ? *scan.targetRoot : *scan.sourceRoot;
        EXPECT_EQ(failedSide.skippedFolders, 1u);
        EXPECT_EQ(otherSide.skippedFolders, 0u);
    }
}

TEST(Scan, UnreadableFolderAgainstFileOrAlone) {
    FolderPair pair;
    pair.Src("x/inner.txt");
    pair.Dst("x");
    pair.Dst("gone/old.txt");
    plat::FileFaults faults;
    const std::string failing[] = {pair.source + "/x", pair.target + "/gone"};
    faults.unlistableFolder = [&](const std::string& path) {
        return plat::FileFaults::SamePath(failing[0])(path) || plat::FileFaults::SamePath(failing[1])(path);
    };
    const plat::ScopedFileFaults scoped(faults);
    const FolderPairScan scan = ScanFolderPair(pair.Request());
    // A folder against a file is not read at all: the pair is left to the user.
    EXPECT_EQ(StateOf(*scan.sourceRoot, "x"), 0xC83u);
    EXPECT_EQ(StateOf(*scan.targetRoot, "x"), 0x1u);
    EXPECT_EQ(StateOf(*scan.sourceRoot, "x/inner.txt"), kAbsent);
    // Only on the target, and unreadable: excluded, never a target-only item to delete.
    EXPECT_EQ(StateOf(*scan.targetRoot, "gone"), 0x800990u);
    EXPECT_EQ(CountUnder(*scan.targetRoot, "gone/"), 0);
}

TEST(Scan, RootThatCannotBeListedEndsTheScan) {
    struct Case {
        const char* name;
        bool sourceSide;
        ULONGLONG failsAfter;
    };
    for (const Case& c : {Case{"TargetAtStart", false, 0}, Case{"SourceHalfWay", true, 1}}) {
        SCOPED_TRACE(c.name);
        FolderPair pair;
        pair.Src("a");
        pair.Src("b");
        pair.Dst("a");
        plat::FileFaults faults;
        faults.unlistableFolder = plat::FileFaults::SamePath(c.sourceSide ? pair.source : pair.target);
        faults.listFailsAfter = c.failsAfter;
        const plat::ScopedFileFaults scoped(faults);
        const FolderPairScan scan = ScanFolderPair(pair.Request());
        EXPECT_EQ(scan.result, kScanRootUnreadable);
        EXPECT_EQ(scan.unreadableRoot, c.sourceSide ? pair.sourceWide : pair.targetWide);
        EXPECT_EQ(scan.rootError, ERROR_ACCESS_DENIED);
    }

    FolderPair pair;
    pair.Src("a");
    FolderPair::File(pair.dir.sub("file"), "not a folder");
    ScanRequest request = pair.Request();
    const std::wstring fileRoot = W(pair.dir.sub("file"));
    request.targetFolder = fileRoot;
    EXPECT_EQ(ScanFolderPair(request).result, kScanRootUnreadable);
}

TEST(Scan, RootNotMadeYetReadsAsEmpty) {
    FolderPair pair;
    pair.Src("a.txt");
    ScanRequest request = pair.Request();
    const std::wstring missing = W(pair.dir.sub("new-target"));
    request.targetFolder = missing;
    const FolderPairScan scan = ScanFolderPair(request);
    EXPECT_EQ(scan.result, kScanDone);
    EXPECT_EQ(StateOf(*scan.sourceRoot, "a.txt"), 0x1000420u);
}

TEST(Scan, SymbolicLinksAreSkippedAndCounted) {
    FolderPair pair;
    pair.Src("real.txt");
    pair.Src("dir/inside.txt");
    ASSERT_EQ(symlink("real.txt", (pair.source + "/file-link").c_str()), 0);
    ASSERT_EQ(symlink("dir", (pair.source + "/folder-link").c_str()), 0);
    ASSERT_EQ(symlink("nowhere", (pair.source + "/dangling").c_str()), 0);
    ASSERT_EQ(symlink("/", (pair.target + "/root-link").c_str()), 0);
    ASSERT_EQ(mkfifo((pair.source + "/pipe").c_str(), 0644), 0);
    const FolderPairScan scan = ScanFolderPair(pair.Request());
    for (const char* name : {"file-link", "folder-link", "folder-link/inside.txt", "dangling", "pipe"}) {
        EXPECT_EQ(StateOf(*scan.sourceRoot, name), kAbsent) << name;
    }
    EXPECT_EQ(StateOf(*scan.targetRoot, "root-link"), kAbsent);
    EXPECT_EQ(scan.sourceRoot->skippedFiles, 3u);  // file link, dangling link, pipe
    EXPECT_EQ(scan.sourceRoot->skippedFolders, 1u);
    EXPECT_EQ(scan.targetRoot->skippedFolders, 1u);
    EXPECT_EQ(StateOf(*scan.sourceRoot, "dir/inside.txt"), 0x1000420u);
}

// With case-blind names, two names that differ only in case are both left out, with
// what they would match, instead of one pairing picked at random.
TEST(Scan, CaseOnlyDuplicatesAreExcludedWhenCaseBlind) {
    FolderPair pair;
    pair.Src("d/Foo.txt");
    pair.Src("d/foo.txt");
    pair.Dst("d/FOO.TXT");
    pair.Src("e/a.txt");
    pair.Dst("e/a.txt");
    pair.Dst("e/A.TXT");
    pair.Src("Docs/x.txt");
    pair.Src("docs");
    pair.Dst("Docs/x.txt");
    pair.Src("plain.txt");
    pair.Dst("PLAIN.TXT");

    ScanRequest request = pair.Request();
    request.caseSensitive = false;
    const FolderPairScan scan = ScanFolderPair(request);
    ASSERT_EQ(scan.result, kScanDone);
    const FolderTreeNode& src = *scan.sourceRoot;
    const FolderTreeNode& dst = *scan.targetRoot;
    // Two names on the source side: both excluded, and the target file they match.
    EXPECT_EQ(StateOf(src, "d/Foo.txt"), 0x800101u);
    EXPECT_EQ(StateOf(src, "d/foo.txt"), 0x800101u);
    EXPECT_EQ(StateOf(dst, "d/FOO.TXT"), 0x800101u);
    // Two names on the target side: both excluded, and the source file matching them.
    EXPECT_EQ(StateOf(src, "e/a.txt"), 0x800D01u);
    EXPECT_TRUE(ItemState(StateOf(dst, "e/a.txt")).IsExcluded());
    EXPECT_TRUE(ItemState(StateOf(dst, "e/A.TXT")).IsExcluded());
    // A folder and a file: both excluded, and the folder is not entered.
    EXPECT_TRUE(ItemState(StateOf(src, "Docs")).IsExcluded());
    EXPECT_TRUE(ItemState(StateOf(src, "docs")).IsExcluded());
    EXPECT_TRUE(ItemState(StateOf(dst, "Docs")).IsExcluded());
    EXPECT_EQ(CountUnder(src, "Docs/"), 0);
    // A single name in other case still matches.
    EXPECT_EQ(StateOf(src, "plain.txt"), 0x800C01u);

    std::vector<std::wstring> conflicts = scan.caseConflicts;
    std::sort(conflicts.begin(), conflicts.end());
    std::vector<std::wstring> expected = {
        pair.sourceWide + L"/Docs", pair.sourceWide + L"/d/Foo.txt", pair.sourceWide + L"/d/foo.txt",
        pair.sourceWide + L"/docs", pair.targetWide + L"/e/A.TXT",   pair.targetWide + L"/e/a.txt",
    };
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(conflicts, expected);

    // With case the same names are all distinct items.
    const FolderPairScan withCase = ScanFolderPair(pair.Request());
    EXPECT_TRUE(withCase.caseConflicts.empty());
    EXPECT_EQ(StateOf(*withCase.sourceRoot, "d/Foo.txt"), 0x1000420u);
    EXPECT_EQ(StateOf(*withCase.targetRoot, "d/FOO.TXT"), 0x810u);
}

// A task window on its own thread, as the GUI thread would own it: it counts what the scan
// sends and answers the stop query with `stopAtQuery` (1-based; 0 never stops), taking
// `firstAnswerMs` over its first answer.
class ScanWindow {
public:
    explicit ScanWindow(int stopAtQuery = 0, DWORD firstAnswerMs = 0)
        : stopAtQuery_(stopAtQuery), thread_([this, firstAnswerMs](HWND, UINT message, WPARAM w, LPARAM l) -> LRESULT {
              std::lock_guard guard(mutex_);
              if (message == WM_SYNC_QUERY_STOP && queries_ == 0 && firstAnswerMs > 0) Sleep(firstAnswerMs);
              if (message == WM_SYNC_QUERY_STOP) return ++queries_ == stopAtQuery_ ? 1 : 0;
              if (message == WM_SYNC_PROGRESS_TEXT && w == 0 && l == 0) ++progressTexts_;
              if (message == WM_SYNC_PROGRESS)
                  events_.push_back("progress " + std::to_string(w) + " " + std::to_string(l));
              if (message == WM_SYNC_LOG_LINE)
                  events_.push_back(reinterpret_cast<const char*>(w) + (" " + std::to_string(l)));
              return 0;
          }) {}

    HWND Hwnd() const { return thread_.Hwnd(); }
    int Queries() {
        std::lock_guard guard(mutex_);
        return queries_;
    }
    int ProgressTexts() {
        std::lock_guard guard(mutex_);
        return progressTexts_;
    }
    std::vector<std::string> Events() {
        std::lock_guard guard(mutex_);
        return events_;
    }

private:
    std::mutex mutex_;
    const int stopAtQuery_;
    int queries_ = 0;
    int progressTexts_ = 0;
    std::vector<std::string> events_;
    msgtest::WindowThread thread_;
};

void BuildSmallPair(const FolderPair& pair) {
    for (const char* file : {"a.txt", "d/b.txt", "d/e/c.txt"}) {
        pair.Src(file);
        pair.Dst(file);
    }
}

TEST(Scan, MessagesToTheTaskWindow) {
    const ScopedMessagePaceInterval everyItem(0);
    FolderPair pair;
    BuildSmallPair(pair);
    ScanWindow window;
    ScanRequest request = pair.Request();
    request.taskWindow = window.Hwnd();
    ASSERT_EQ(ScanFolderPair(request).result, kScanDone);
    const std::vector<std::string> events = {"progress 100 20", "Scanning target folder... 2",
                                             "Scanning source folder... 2"};
    EXPECT_EQ(window.Events(), events);
    // Per side: 5 entries read (a.txt, d, b.txt, e, c.txt) and 3 files added.
    EXPECT_EQ(window.ProgressTexts(), 2 * (5 + 3));
    // Per side: before each of its 3 folders and after each entry; 3 between the stages.
    EXPECT_EQ(window.Queries(), 2 * (3 + 5) + 3);
}

// Stop answered at any query ends the scan at once, whatever stage it is in.
TEST(Scan, StopDuringTheScan) {
    const ScopedMessagePaceInterval everyItem(0);
    const int total = 2 * (3 + 5) + 3;
    for (const int stopAt : {1, 4, 9, 12, total - 1, total}) {
        SCOPED_TRACE(stopAt);
        FolderPair pair;
        BuildSmallPair(pair);
        ScanWindow window(stopAt);
        ScanRequest request = pair.Request();
        request.taskWindow = window.Hwnd();
        EXPECT_EQ(ScanFolderPair(request).result, kScanStopped);
        EXPECT_EQ(window.Queries(), stopAt);
    }
}

// Every record of both trees with its state word, in the trees' order.
std::vector<std::pair<std::wstring, DWORD>> Records(const FolderPairScan& scan) {
    std::vector<std::pair<std::wstring, DWORD>> records;
    for (const FolderTreeNode* root : {scan.sourceRoot.get(), scan.targetRoot.get()}) {
        ForEachNode(*root, [&](const FolderTreeNode& node) {
            if (node.folder) records.emplace_back(node.folder->path(), node.folder->state.Word());
            if (node.files) {
                for (const CFileInfo& file : *node.files) records.emplace_back(file.path(), file.state.Word());
            }
        });
    }
    return records;
}

TEST(Scan, PacedMessagesLeaveTheTreesAsTheyWere) {
    FolderPair pair;
    BuildSmallPair(pair);
    pair.Src("d/new.txt");
    pair.Dst("d/e/c.txt", "changed");
    pair.Dst("only/there.txt");
    const auto scanWith = [&](DWORD interval, ScanWindow& window) {
        const ScopedMessagePaceInterval pace(interval);
        ScanRequest request = pair.Request();
        request.taskWindow = window.Hwnd();
        const FolderPairScan scan = ScanFolderPair(request);
        EXPECT_EQ(scan.result, kScanDone);
        return Records(scan);
    };
    ScanWindow everyItem;
    ScanWindow paced;
    EXPECT_EQ(scanWith(60'000, paced), scanWith(0, everyItem));
    EXPECT_EQ(paced.Events(), everyItem.Events());
    // Per side its first folder's question and first progress text; 3 between the stages.
    EXPECT_EQ(paced.Queries(), 2 + 3);
    EXPECT_EQ(paced.ProgressTexts(), 2);
    EXPECT_GT(everyItem.Queries(), 20);
}

// Stop pressed while the first answer is on its way is asked about again at the first
// entry once the interval has passed, and the target side ends there.
TEST(Scan, StopIsNoticedWithinOneIntervalWhenPaced) {
    const ScopedMessagePaceInterval pace(5);
    FolderPair pair;
    BuildSmallPair(pair);
    ScanWindow window(2, 20);
    ScanRequest request = pair.Request();
    request.taskWindow = window.Hwnd();
    const FolderPairScan scan = ScanFolderPair(request);
    EXPECT_EQ(scan.result, kScanStopped);
    EXPECT_EQ(window.Queries(), 2);
    EXPECT_EQ(window.Events(), (std::vector<std::string>{"progress 100 20", "Scanning target folder... 2"}));
    EXPECT_EQ(window.ProgressTexts(), 1);
}

// The run's scan step with the task's options and the run log.
struct ScanRun {
    FolderPair pair;
    SyncTask task;
    SyncRunBlock run;

    ScanRun() {
        task.sourceFolder = pair.sourceWide;
        task.targetFolder = pair.targetWide;
        task.syncOptions = std::make_unique<CConfigSyncPage>(false);
        task.filterOptions = std::make_unique<CConfigCompressFilterPage>(false, L"");
        task.logOptions = std::make_unique<CConfigLogPage>(false);
        task.filterOptions->SetAttributeMask(0);
        task.filterOptions->empty = false;
        run.task = &task;
        run.syncOptions = task.syncOptions.get();
        run.filterOptions = task.filterOptions.get();
        run.logOptions = task.logOptions.get();
    }
    ~ScanRun() { run.task = nullptr; }
};

// The wide lines that a log control on its own thread receives while `scan` runs.
std::vector<std::pair<std::string, LPARAM>> WideLines(ScanRun& r, const std::function<void()>& scan) {
    std::vector<std::pair<std::string, LPARAM>> lines;
    std::mutex mutex;
    msgtest::WindowThread control([&](HWND, UINT message, WPARAM w, LPARAM l) -> LRESULT {
        if (message == WM_SYNC_LOG_LINE_W) {
            std::lock_guard guard(mutex);
            lines.emplace_back(plat::WideToUtf8(reinterpret_cast<const wchar_t*>(w)), l);
        }
        return 0;
    });
    r.task.logControl = control.Hwnd();
    scan();
    std::lock_guard guard(mutex);
    std::sort(lines.begin(), lines.end());
    return lines;
}

TEST(ScanTaskFolders, TreesGoToTheRunWithCaseLinesInTheLog) {
    ScanRun r;
    r.pair.Src("Foo.txt");
    r.pair.Src("foo.txt");
    r.pair.Src("sub/x.tmp");
    r.task.syncOptions->caseSensitive = 0;
    r.task.logOptions->log = 1;
    ParseFilterPatterns(r.run.patterns, L"", L"*.tmp");
    int result = 0;
    const auto lines = WideLines(r, [&] { result = ScanTaskFolders(r.run); });
    EXPECT_EQ(result, kScanDone);
    ASSERT_TRUE(r.run.sourceTree && r.run.targetTree);
    EXPECT_EQ(StateOf(*r.run.sourceTree, "sub/x.tmp"), 0x800100u);
    const std::string tail = "': another name in its folder differs from it only in case.\r\n";
    const std::vector<std::pair<std::string, LPARAM>> expected = {
        {"Excluded '" + r.pair.source + "/Foo.txt" + tail, kLogRed},
        {"Excluded '" + r.pair.source + "/foo.txt" + tail, kLogRed},
    };
    EXPECT_EQ(lines, expected);

    // With the log option off the lines are not written.
    ScanRun quiet;
    quiet.pair.Src("A");
    quiet.pair.Src("a");
    quiet.task.syncOptions->caseSensitive = 0;
    quiet.task.logOptions->log = 0;
    EXPECT_TRUE(WideLines(quiet, [&] { ScanTaskFolders(quiet.run); }).empty());
}

TEST(ScanTaskFolders, UnreadableRootGetsARedLineEvenWithoutLogging) {
    ScanRun r;
    r.task.logOptions->log = 0;
    plat::FileFaults faults;
    faults.unlistableFolder = plat::FileFaults::SamePath(r.pair.source);
    const plat::ScopedFileFaults scoped(faults);
    int result = 1;
    const auto lines = WideLines(r, [&] { result = ScanTaskFolders(r.run); });
    EXPECT_EQ(result, kScanRootUnreadable);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].first, "Cannot read the folder '" + r.pair.source +
                                  "' (Access Denied). The Check ends here and nothing is synced.\r\n");
    EXPECT_EQ(lines[0].second, kLogRed);
}

}  // namespace

namespace {

TEST(ScanTempFiles, ACopyUnderWayIsNoItem) {
    qbtest::TempDir dir;
    qbtest::WriteFileBytes(dir.sub("src/a.txt"), "a");
    qbtest::WriteFileBytes(dir.sub("src/.~qbcopy-0123456789abcdef.tmp"), "half a copy");
    qbtest::WriteFileBytes(dir.sub("dst/.~qbcopy-fedcba9876543210.tmp"), "half a copy");
    const std::wstring source = plat::Utf8ToWide(dir.sub("src"));
    const std::wstring target = plat::Utf8ToWide(dir.sub("dst"));
    ScanRequest request{source, target, nullptr, 0, true, false, nullptr};
    const FolderPairScan scan = ScanFolderPair(request);
    ASSERT_EQ(scan.result, kScanDone);
    ASSERT_TRUE(scan.sourceRoot && scan.sourceRoot->files);
    EXPECT_EQ(scan.sourceRoot->files->GetSize(), 1);
    EXPECT_TRUE(!scan.targetRoot->files || scan.targetRoot->files->GetSize() == 0);
}

}  // namespace
