#include "engine/catalog/catalog_reading.h"

#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <string>
#include <utility>
#include <vector>

#include "engine/catalog/catalog_format.h"
#include "engine/catalog/catalog_row_table.h"
#include "engine/model/file_info.h"
#include "engine/model/file_info_array.h"
#include "engine/model/item_state.h"
#include "engine/run/message_pace.h"
#include "engine/run/run_block.h"
#include "engine/run/run_log.h"
#include "engine/run/run_messages.h"
#include "foundation/archive_store.h"
#include "foundation/program_state.h"
#include "foundation/sync_task.h"
#include "platform/core/errors.h"
#include "platform/core/file_handle.h"
#include "platform/core/file_info.h"
#include "platform/core/file_ops.h"
#include "platform/core/owned_fd.h"
#include "platform/core/text.h"
#include "platform/core/window.h"
#include "platform/core/zip_reader.h"
#include "resources/sync_messages.h"

namespace {

struct SideTexts {
    const char* status;     // the status line while the side is read
    const char* readLine;   // the log line of a catalog read to its end
};

constexpr SideTexts kSourceTexts{"Read Source Catalog...", "Read source catalog file"};
constexpr SideTexts kTargetTexts{"Read Target Catalog...", "Read target catalog file"};

struct SideResult {
    CatalogStatus status = CatalogStatus::kNone;
    bool stopped = false;
};

std::string TempFolder() {
    std::string folder = ProgramState().tempFolder;
    if (folder.empty()) {
        const char* env = std::getenv("TMPDIR");
        folder = env && *env ? env : "/tmp";
    }
    if (folder.back() != '/') folder += '/';
    return folder;
}

// A copy of a catalog in a file created for it alone (never a name that someone else
// could have taken in between), deleted when the object goes.
class TemporaryCatalogCopy {
public:
    TemporaryCatalogCopy() = default;
    ~TemporaryCatalogCopy() {
        if (!path_.empty()) ::unlink(path_.c_str());
    }
    TemporaryCatalogCopy(const TemporaryCatalogCopy&) = delete;
    TemporaryCatalogCopy& operator=(const TemporaryCatalogCopy&) = delete;

    bool CopyFrom(const std::string& source) {
        plat::FileHandle in;
        if (!in.Open(source, plat::FileOpenMode::Read)) return false;
        std::string name = TempFolder() + "~syXXXXXX";
        plat::OwnedFd out(::mkstemp(name.data()));
        if (!out) {
            plat::SetLastErrorFromErrno();
            return false;
        }
        path_ = std::move(name);

        std::vector<char> chunk(1 << 16);
        for (;;) {
            std::size_t got = 0;
            if (!in.Read(chunk.data(), chunk.size(), got)) return false;
            if (got == 0) break;
            if (!WriteAll(out.Get(), chunk.data(), got)) return false;
        }
        if (::close(out.Release()) != 0) {
            plat::SetLastErrorFromErrno();
            return false;
        }
        return true;
    }

    const std::string& path() const { return path_; }

private:
    static bool WriteAll(int fd, const char* data, std::size_t count) {
        while (count > 0) {
            const ssize_t written = ::write(fd, data, count);
            if (written < 0) {
                if (errno == EINTR) continue;
                plat::SetLastErrorFromErrno();
                return false;
            }
            data += written;
            count -= static_cast<std::size_t>(written);
        }
        return true;
    }

    std::string path_;
};

bool TaskLogs(const SyncRunBlock& run) { return run.logOptions && run.logOptions->log != 0; }

HWND TaskWindow(const SyncRunBlock& run) { return run.task ? run.task->taskWindow : nullptr; }

void LogLoadFailure(SyncRunBlock& run, const std::wstring& catalogPath) {
    if (TaskLogs(run)) AddRunLogLineW(run, L"Failed to load '" + catalogPath + L"' catalog file.", kLogRed);
}

// One member's rows, inflated piece by piece. A member stored without compression (this
// program deflates every catalog it writes) is read whole.
std::optional<CatalogBlockRows> ReadCatalogMember(const plat::ZipReader& catalog, const std::string& archivePath,
                                                  unsigned index) {
    if (const auto stored = ReadDeflatedCatalogEntry(catalog, index)) return InflateCatalogBlock(*stored);
    const auto whole = ReadCatalogEntry(archivePath, index);
    return whole ? ParseCatalogBlock(*whole) : std::nullopt;
}

// The rows a catalog's members can hold: a full block for each member before the first
// one missing, and never more than the catalog's bytes could hold, since a row takes at
// least two of them deflated.
std::size_t RowsToExpect(const plat::ZipReader& catalog) {
    std::size_t members = 0;
    while (catalog.Find(CatalogMemberName(static_cast<unsigned>(members)))) ++members;
    const std::size_t byBytes = static_cast<std::size_t>(std::max<off_t>(catalog.stamp().size, 0)) / 2;
    return std::min(members * kCatalogRowsPerBlock, byBytes);
}

// Reads the side's temporary copy member by member. Stops at the first member that is
// missing (the catalog's end) or cannot be trusted (the catalog is incomplete).
SideResult ReadCatalogCopy(SyncRunBlock& run, RunCatalogSide& side, const SideTexts& texts,
                           const std::wstring& catalogPath) {
    const HWND window = TaskWindow(run);
    SendWindowLine(window, texts.status, kStatusLine);

    const std::string archive = plat::WideToUtf8(side.tempCatalog);
    // Rows are gathered over all members and put in order once, which a large catalog
    // needs (inserting each in order moves the table's tail every time).
    auto rows = std::make_unique<CatalogRowTable>();
    SideResult result;
    // Row by row the messages are paced; the question after each member is not.
    MessagePace stopPace;
    MessagePace progressPace;
    ZipResult openError = kZipOk;
    const std::unique_ptr<plat::ZipReader> catalog = plat::ZipReader::Open(archive, &openError);
    if (catalog) rows->Reserve(RowsToExpect(*catalog));
    for (unsigned index = 0; catalog; ++index) {
        const bool present = catalog->Find(CatalogMemberName(index)).has_value();
        auto block = present ? ReadCatalogMember(*catalog, archive, index) : std::nullopt;
        if (!block) {
            // An archive without its first member was never written as a catalog.
            const bool ended = index > 0 && !present;
            result.status = ended ? CatalogStatus::kComplete : CatalogStatus::kIncomplete;
            break;
        }
        side.loaded = true;
        side.arrayLookup = true;
        const bool olderRows = block->layout < kCatalogFirstShortRowLayout;
        for (const CFileInfo2& row : block->rows) {
            if (window && progressPace.Due()) SendMessage(window, WM_SYNC_PROGRESS_TEXT, 0, 0);
            rows->Add(row.name, row.size, row.attributes, row.time);
            if (olderRows && window && stopPace.Due() && StopPressedIn(window)) {
                result.stopped = true;
                break;
            }
        }
        if (!result.stopped && !olderRows && StopPressedIn(window)) result.stopped = true;
        if (result.stopped) {
            side.rows.reset();
            side.loaded = false;
            side.arrayLookup = false;
            return result;
        }
    }

    if (!catalog) result.status = CatalogStatus::kIncomplete;
    if (side.loaded) {
        rows->Sort();
        side.rows = std::move(rows);
    }
    if (result.status == CatalogStatus::kComplete) {
        if (TaskLogs(run)) AddRunLogLine(run, texts.readLine, kLogBlack);
    } else {
        LogLoadFailure(run, catalogPath);
    }
    return result;
}

// True when nothing is at `path`: not a file, not anything else. A path that cannot be
// looked at (no permission on a folder above it) may well hold a catalog.
bool NothingAt(const std::string& path) {
    plat::FileInfo info;
    if (plat::GetFileInfo(path, info)) return false;
    const DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

SideResult ReadCatalogOfSide(SyncRunBlock& run, RunCatalogSide& side, const std::wstring& catalogPath,
                             const SideTexts& texts) {
    if (catalogPath.empty()) return {};
    const std::string path = plat::WideToUtf8(catalogPath);
    if (NothingAt(path)) return {};

    TemporaryCatalogCopy copy;
    if (!copy.CopyFrom(path)) {
        LogLoadFailure(run, catalogPath);
        return {CatalogStatus::kIncomplete, false};
    }
    side.tempCatalog = plat::Utf8ToWide(copy.path());
    const SideResult result = ReadCatalogCopy(run, side, texts, catalogPath);
    side.tempCatalog.clear();
    return result;
}

SideResult ReadSourceCatalog(SyncRunBlock& run) {
    return ReadCatalogOfSide(run, run.sourceSide, run.task->sourceCatalog, kSourceTexts);
}

SideResult ReadTargetCatalog(SyncRunBlock& run) {
    return ReadCatalogOfSide(run, run.targetSide, run.task->targetCatalog, kTargetTexts);
}

// How the target side spells a record's path: a matched record carries the target's
// own spelling as its counterpart.
std::string_view TargetSpelling(const CFileInfo& record) {
    return record.counterpartRelativePath();
}

// New or changed on a side since its catalog: not in it, or a file that changed. False
// without a catalog.
bool NewOrChangedSince(const RunCatalogSide& side, const CFileInfo& record) {
    if (!side.loaded) return false;
    const CatalogRow* row = FindCatalogRow(side, record.relativePath);
    if (!row) return true;
    return !record.state.IsFolder() && IsChangedSinceCatalog(record, *row);
}

}  // namespace

CatalogsRead ReadCatalogs(SyncRunBlock& run) {
    CatalogsRead read;
    if (!run.task) return read;
    const SideResult source = ReadSourceCatalog(run);
    read.source = run.sourceSide.status = source.status;
    read.stopped = source.stopped;
    if (!read.stopped) {
        const SideResult target = ReadTargetCatalog(run);
        read.target = run.targetSide.status = target.status;
        read.stopped = target.stopped;
    }
    if (read.stopped) FreeCatalogs(run);
    return read;
}

void FreeCatalogs(SyncRunBlock& run) {
    for (RunCatalogSide* side : {&run.sourceSide, &run.targetSide}) {
        side->rows.reset();
        side->loaded = false;
        side->arrayLookup = false;
        if (!side->tempCatalog.empty()) {
            plat::DeleteFile(plat::WideToUtf8(side->tempCatalog));
            side->tempCatalog.clear();
        }
    }
}

const CatalogRow* FindCatalogRow(const RunCatalogSide& side, std::string_view relativePath) {
    if (!side.loaded || !side.rows) return nullptr;
    return side.rows->Find(relativePath);
}

bool IsChangedSinceCatalog(const CFileInfo& record, const CatalogRow& row) {
    return record.size != row.size || TimesDiffer(record.lastWrite, row.time);
}

CatalogFacts LookupCatalogsSourceOnly(const SyncRunBlock& run, const CFileInfo& record) {
    CatalogFacts facts;
    facts.changedOnSource = NewOrChangedSince(run.sourceSide, record);
    facts.knownToTarget = FindCatalogRow(run.targetSide, record.relativePath) != nullptr;
    return facts;
}

CatalogFacts LookupCatalogsTargetOnly(const SyncRunBlock& run, const CFileInfo& record) {
    CatalogFacts facts;
    facts.knownToSource = FindCatalogRow(run.sourceSide, record.relativePath) != nullptr;
    facts.changedOnTarget = NewOrChangedSince(run.targetSide, record);
    return facts;
}

CatalogFacts LookupCatalogsTimesDiffer(const SyncRunBlock& run, const CFileInfo& record) {
    if (record.state.IsFolder()) return {};
    const CatalogRow* source = FindCatalogRow(run.sourceSide, record.relativePath);
    const CatalogRow* target = FindCatalogRow(run.targetSide, TargetSpelling(record));
    CatalogFacts facts;
    facts.changedOnSource = source && TimesDiffer(record.lastWrite, source->time);
    facts.changedOnTarget = target && TimesDiffer(record.counterpartLastWrite, target->time);
    return facts;
}

CatalogFacts LookupCatalogsSizesDiffer(const SyncRunBlock& run, const CFileInfo& record) {
    if (record.state.IsFolder()) return {};
    const CatalogRow* source = FindCatalogRow(run.sourceSide, record.relativePath);
    const CatalogRow* target = FindCatalogRow(run.targetSide, TargetSpelling(record));
    CatalogFacts facts;
    facts.changedOnSource = source && record.size != source->size;
    facts.changedOnTarget = target && record.counterpartSize != target->size;
    return facts;
}
