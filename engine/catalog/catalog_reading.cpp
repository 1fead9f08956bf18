#include "engine/catalog/catalog_reading.h"

#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <condition_variable>
#include <list>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "engine/catalog/catalog_format.h"
#include "engine/catalog/catalog_member_decoding.h"
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
#include "platform/core/thread.h"
#include "platform/core/window.h"
#include "platform/core/zip_image.h"
#include "platform/core/zip_reader.h"
#include "resources/sync_messages.h"

namespace {

struct SideTexts {
    const char* status;    // the status line while the side is read
    const char* readLine;  // the log line of a catalog read to its end
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

// True when nothing is at `path`: not a file, not anything else. A path that cannot be
// looked at (no permission on a folder above it) may well hold a catalog.
bool NothingAt(const std::string& path) {
    plat::FileInfo info;
    if (plat::GetFileInfo(path, info)) return false;
    const DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

// One side's catalog on its way to the Check: read whole into memory in one read when the
// archive has the plain form (the copy the Check reads, the file itself not held open),
// its members listed up to the first one missing; otherwise copied to a temporary file
// that the archive library reads member by member.
struct SideToRead {
    RunCatalogSide* side = nullptr;
    const SideTexts* texts = nullptr;
    std::wstring catalogPath;
    std::wstring rootFolder;
    bool present = false;                   // a catalog file is there
    bool copied = false;                    // and it was read, or copied for the general way
    std::unique_ptr<plat::ZipImage> image;  // null: the general way, from `copy`
    TemporaryCatalogCopy copy;
    bool unchangedWhileRead = false;
    std::vector<std::size_t> members;  // the image's "Qbinf", "Qbinf1", ... in order
    bool onlyCatalogMembers = false;   // the archive holds nothing else
};

void PrepareSide(SideToRead& read) {
    if (read.catalogPath.empty()) return;
    const std::string path = plat::WideToUtf8(read.catalogPath);
    if (NothingAt(path)) return;
    read.present = true;
    switch (plat::ZipImage::Read(path, read.image)) {
    case plat::ZipImage::Outcome::kRead: break;
    case plat::ZipImage::Outcome::kCannotRead: return;
    case plat::ZipImage::Outcome::kNotPlain:
        read.image.reset();
        read.copied = read.copy.CopyFrom(path);
        return;
    }
    read.copied = true;
    read.unchangedWhileRead = plat::StampOfFile(path) == read.image->stamp();
    for (unsigned index = 0;; ++index) {
        const std::optional<std::size_t> member = read.image->Find(CatalogMemberName(index));
        if (!member) break;
        const std::uint16_t method = read.image->member(*member).entry.method;
        // Methods other than these are read the general way.
        if (method != 0 && method != 8) {
            read.image.reset();
            read.members.clear();
            read.copied = read.copy.CopyFrom(path);
            return;
        }
        read.members.push_back(*member);
    }
    read.onlyCatalogMembers = read.members.size() == read.image->count();
}

std::optional<DecodedCatalogMember> DecodeImageMember(const SideToRead& read, std::size_t ordinal) {
    const plat::ZipImage& image = *read.image;
    const std::size_t index = read.members[ordinal];
    if (image.member(index).entry.method == 0) {
        std::vector<std::uint8_t> bytes;
        if (!image.Stored(index, kArchivePassword, bytes)) return std::nullopt;
        if (plat::Crc32(0, bytes) != image.member(index).entry.crc) return std::nullopt;
        return DecodeCatalogBytes(bytes, read.rootFolder);
    }
    plat::DeflatedMember stream;
    if (!image.Deflated(index, kArchivePassword, stream)) return std::nullopt;
    return DecodeCatalogMember(stream, read.rootFolder);
}

// Decodes the members of both sides' catalogs on helper threads, each as soon as a
// thread is free, while the run's worker takes them in order.
class MemberDecoding {
public:
    explicit MemberDecoding(std::vector<SideToRead*> sides) : sides_(std::move(sides)) {
        for (std::size_t s = 0; s < sides_.size(); ++s) {
            if (!sides_[s]->image) continue;
            for (std::size_t m = 0; m < sides_[s]->members.size(); ++m) jobs_.push_back({s, m});
        }
        results_.resize(jobs_.size());
        const unsigned cores = std::max(1u, std::min(std::thread::hardware_concurrency(), 8u));
        const std::size_t helpers = std::min<std::size_t>(cores, jobs_.size());
        for (std::size_t i = 0; i < helpers; ++i) {
            plat::WorkerThread& helper = helpers_.emplace_back();
            if (!helper.Start([this] { Work(); })) {
                helpers_.pop_back();
                break;
            }
        }
    }
    ~MemberDecoding() {
        cancelled_ = true;
        for (plat::WorkerThread& helper : helpers_) helper.Join();
    }
    MemberDecoding(const MemberDecoding&) = delete;
    MemberDecoding& operator=(const MemberDecoding&) = delete;

    // The side's member `ordinal`, decoded (here, when no helper could be started);
    // nothing when it cannot be trusted.
    std::optional<DecodedCatalogMember> Take(const SideToRead& side, std::size_t ordinal) {
        std::size_t job = 0;
        while (job < jobs_.size() && (sides_[jobs_[job].side] != &side || jobs_[job].member != ordinal)) ++job;
        if (job == jobs_.size()) return std::nullopt;
        if (helpers_.empty()) return Decode(job);
        std::unique_lock guard(lock_);
        done_.wait(guard, [&] { return results_[job].done; });
        return std::move(results_[job].member);
    }

private:
    struct Job {
        std::size_t side;
        std::size_t member;
    };
    struct Result {
        bool done = false;
        std::optional<DecodedCatalogMember> member;
    };

    std::optional<DecodedCatalogMember> Decode(std::size_t job) {
        try {
            return DecodeImageMember(*sides_[jobs_[job].side], jobs_[job].member);
        } catch (const std::bad_alloc&) {
            return std::nullopt;
        }
    }

    void Work() {
        for (;;) {
            const std::size_t job = next_.fetch_add(1);
            if (job >= jobs_.size() || cancelled_) return;
            std::optional<DecodedCatalogMember> member = Decode(job);
            {
                std::lock_guard guard(lock_);
                results_[job].member = std::move(member);
                results_[job].done = true;
            }
            done_.notify_all();
        }
    }

    std::vector<SideToRead*> sides_;
    std::vector<Job> jobs_;
    std::vector<Result> results_;
    std::atomic<std::size_t> next_{0};
    std::atomic<bool> cancelled_{false};
    std::mutex lock_;
    std::condition_variable done_;
    std::list<plat::WorkerThread> helpers_;
};

// Takes the side's members in order into its rows. Stops at the first member that is
// missing (the catalog's end) or cannot be trusted (the catalog is incomplete).
SideResult ReadSide(SyncRunBlock& run, SideToRead& read, MemberDecoding& decoding) {
    RunCatalogSide& side = *read.side;
    if (!read.present) return {};
    if (!read.copied) {
        LogLoadFailure(run, read.catalogPath);
        return {CatalogStatus::kIncomplete, false};
    }
    const HWND window = TaskWindow(run);
    SendWindowLine(window, read.texts->status, kStatusLine);
    if (!read.image) side.tempCatalog = plat::Utf8ToWide(read.copy.path());

    auto rows = std::make_unique<CatalogRowTable>();
    SideResult result;
    std::vector<bool> canonical;
    // Row by row the messages are paced; the question after each member is not.
    MessagePace stopPace;
    MessagePace progressPace;
    ZipResult openError = kZipOk;
    // The general way opens the copy with the archive library and reads member by member.
    const std::unique_ptr<plat::ZipReader> catalog =
        read.image ? nullptr : plat::ZipReader::Open(plat::WideToUtf8(side.tempCatalog), &openError);
    const bool readable = read.image || catalog;
    for (unsigned index = 0; readable; ++index) {
        bool present = false;
        std::optional<DecodedCatalogMember> block;
        if (read.image) {
            present = index < read.members.size();
            if (present) block = decoding.Take(read, index);
        } else {
            present = catalog->Find(CatalogMemberName(index)).has_value();
            if (present) {
                if (auto parsed = ReadCatalogMember(*catalog, plat::WideToUtf8(side.tempCatalog), index)) {
                    block.emplace();
                    block->layout = parsed->layout;
                    for (const CFileInfo2& row : parsed->rows)
                        block->rows.Add(row.name, row.size, row.attributes, row.time);
                }
            }
        }
        if (!block) {
            // An archive without its first member was never written as a catalog.
            const bool ended = index > 0 && !present;
            result.status = ended ? CatalogStatus::kComplete : CatalogStatus::kIncomplete;
            break;
        }
        side.loaded = true;
        side.arrayLookup = true;
        const bool olderRows = block->layout < kCatalogFirstShortRowLayout;
        for (std::size_t row = 0; row < block->rows.size() && window; ++row) {
            if (progressPace.Due()) SendMessage(window, WM_SYNC_PROGRESS_TEXT, 0, 0);
            if (olderRows && stopPace.Due() && StopPressedIn(window)) {
                result.stopped = true;
                break;
            }
        }
        if (!result.stopped && !olderRows && StopPressedIn(window)) result.stopped = true;
        if (result.stopped) {
            side.rows.reset();
            side.loaded = false;
            side.arrayLookup = false;
            side.tempCatalog.clear();
            return result;
        }
        canonical.push_back(block->canonical);
        rows->AddChunk(std::move(block->rows));
    }
    side.tempCatalog.clear();

    if (!readable) result.status = CatalogStatus::kIncomplete;
    if (side.loaded) {
        rows->Index();
        side.rows = std::move(rows);
        // What a Sync of this run needs to tell a block that comes out as stored.
        if (result.status == CatalogStatus::kComplete && read.image && read.unchangedWhileRead &&
            read.onlyCatalogMembers) {
            side.stored = std::make_unique<StoredCatalogParts>();
            side.stored->stamp = read.image->stamp();
            side.stored->canonical = std::move(canonical);
        }
    }
    if (result.status == CatalogStatus::kComplete) {
        if (TaskLogs(run)) AddRunLogLine(run, read.texts->readLine, kLogBlack);
    } else {
        LogLoadFailure(run, read.catalogPath);
    }
    return result;
}

// How the target side spells a record's path: a matched record carries the target's
// own spelling as its counterpart.
std::string_view TargetSpelling(const CFileInfo& record) { return record.counterpartRelativePath(); }

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
    SideToRead source;
    source.side = &run.sourceSide;
    source.texts = &kSourceTexts;
    source.catalogPath = run.task->sourceCatalog;
    source.rootFolder = run.task->sourceFolder;
    SideToRead target;
    target.side = &run.targetSide;
    target.texts = &kTargetTexts;
    target.catalogPath = run.task->targetCatalog;
    target.rootFolder = run.task->targetFolder;
    PrepareSide(source);
    PrepareSide(target);
    {
        MemberDecoding decoding({&source, &target});
        const SideResult sourceRead = ReadSide(run, source, decoding);
        read.source = run.sourceSide.status = sourceRead.status;
        read.stopped = sourceRead.stopped;
        if (!read.stopped) {
            const SideResult targetRead = ReadSide(run, target, decoding);
            read.target = run.targetSide.status = targetRead.status;
            read.stopped = targetRead.stopped;
        }
    }
    if (read.stopped) FreeCatalogs(run);
    return read;
}

void FreeCatalogs(SyncRunBlock& run, bool keepForSync) {
    for (RunCatalogSide* side : {&run.sourceSide, &run.targetSide}) {
        if (keepForSync && side->stored && side->rows) {
            side->rows->DropIndex();
            side->stored->rows = std::move(side->rows);
        } else {
            side->stored.reset();
        }
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
