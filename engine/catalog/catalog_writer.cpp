#include "engine/catalog/catalog_writer.h"

#include <cstring>
#include <new>
#include <utility>

#include "engine/run/work_queue.h"
#include "foundation/archive_store.h"

namespace {

// The pieces in which a member is made and compared: a few dozen rows, so they stay in
// the processor's cache.
constexpr std::size_t kPieceBytes = 64 * 1024;
static_assert(kPieceBytes >= kCatalogHeaderSize + kCatalogRecordSize);
// Blocks of one side that are waiting for the pool or being made; the appending thread
// waits for room beyond that.
constexpr std::size_t kMaxMembersInFlight = 6;

}  // namespace

class CatalogWriter::MemberJob final : public WorkItemBase {
public:
    MemberJob(CatalogWriter& writer, std::size_t index, std::unique_ptr<CatalogBlock> block)
        : writer_(writer), index_(index), block_(std::move(block)) {}
    void DoWork(void* /*context*/) override { writer_.MakeMember(index_, *block_); }
    void Abort() override { writer_.MemberDone(index_, std::nullopt, false, 0); }

private:
    CatalogWriter& writer_;
    std::size_t index_;
    std::unique_ptr<CatalogBlock> block_;
};

CatalogWriter::CatalogWriter(const std::string& storedCatalog, std::wstring_view rootFolder, CWorkQueue* pool,
                             std::atomic<DWORD>& rowsWritten)
    : pool_(pool), rowsWritten_(rowsWritten), storedPath_(storedCatalog) {
    // The folder is only informative, so a cut one still makes a sound block.
    FillCatalogHeader(header_, 0, rootFolder);
    if (storedCatalog.empty() || !plat::StampOfFile(storedCatalog)) return;
    ZipResult error = kZipOk;
    stored_ = plat::ZipReader::Open(storedCatalog, &error);
    if (!stored_) return;
    storedStamp_ = stored_->stamp();
    while (stored_->Find(CatalogMemberName(static_cast<unsigned>(storedParts_)))) ++storedParts_;
    storedIsCatalog_ = storedParts_ == stored_->count();
}

CatalogWriter::~CatalogWriter() {
    Cancel();
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return inFlight_ == 0; });
}

CatalogWriter::AppendResult CatalogWriter::Append(const CFileInfo2& row) {
    if (failed_) return AppendResult::kWriteFailed;
    if (gathering_ && gathering_->RowCount() == kCatalogRowsPerBlock && !Flush(false)) {
        return AppendResult::kWriteFailed;
    }
    try {
        if (!gathering_) gathering_ = std::make_unique<CatalogBlock>();
        if (!gathering_->Add(row)) return AppendResult::kRowRefused;
    } catch (const std::bad_alloc&) {
        failed_ = true;
        gathering_.reset();
        return AppendResult::kOutOfMemory;
    }
    return AppendResult::kAdded;
}

bool CatalogWriter::Flush(bool final) {
    if (failed_) return false;
    if (!gathering_ || gathering_->RowCount() == 0) return true;
    if (gathering_->RowCount() < kCatalogRowsPerBlock && !final) return true;
    try {
        HandOver(std::move(gathering_));
    } catch (const std::bad_alloc&) {
        failed_ = true;
    }
    return !failed_;
}

bool CatalogWriter::Finish() {
    const bool handedOver = Flush(true);
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return inFlight_ == 0; });
    return handedOver && !failed_;
}

void CatalogWriter::Cancel() {
    std::lock_guard lock(mutex_);
    cancelled_ = true;
    failed_ = true;
    changed_.notify_all();
}

std::uint32_t CatalogWriter::MemberCount() const {
    std::lock_guard lock(mutex_);
    return static_cast<std::uint32_t>(members_.size());
}

bool CatalogWriter::SameAsStored() const {
    std::lock_guard lock(mutex_);
    if (!storedIsCatalog_ || failed_ || inFlight_ != 0) return false;
    if (members_.size() != storedParts_ || reused_ != members_.size()) return false;
    return plat::StampOfFile(storedPath_) == storedStamp_;
}

bool CatalogWriter::WriteArchive(const std::string& path) const {
    std::lock_guard lock(mutex_);
    return !failed_ && inFlight_ == 0 && WriteCatalogArchive(path, members_) == TRUE;
}

void CatalogWriter::HandOver(std::unique_ptr<CatalogBlock> block) {
    std::size_t index = 0;
    {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [this] { return inFlight_ < kMaxMembersInFlight || cancelled_; });
        if (cancelled_) return;
        index = members_.size();
        members_.emplace_back();
        ++inFlight_;
    }
    auto job = std::make_unique<MemberJob>(*this, index, std::move(block));
    if (!pool_) {
        job->DoWork(nullptr);
        return;
    }
    pool_->InsertWorkItem(std::move(job));  // a job the pool refuses is aborted: the writer fails
}

void CatalogWriter::MakeMember(std::size_t index, const CatalogBlock& block) {
    std::optional<plat::DeflatedMember> member;
    bool reused = false;
    if (!cancelled_) {
        try {
            std::vector<std::uint8_t> piece(kPieceBytes);
            std::optional<plat::DeflatedMember> part = StoredPart(index);
            if (part && SameAsPart(block, *part, piece)) {
                member = std::move(part);
                reused = true;
            } else {
                member = Deflate(block, piece);
            }
        } catch (const std::bad_alloc&) {
            member.reset();
        }
    }
    MemberDone(index, std::move(member), reused, block.RowCount());
}

void CatalogWriter::MemberDone(std::size_t index, std::optional<plat::DeflatedMember> member, bool reused,
                               std::uint32_t rows) {
    // Notified under the lock: once the count reaches 0 the writer may be destroyed.
    std::lock_guard lock(mutex_);
    if (member) {
        members_[index] = std::move(*member);
        reused_ += reused ? 1 : 0;
        rowsWritten_ += rows;
    } else {
        failed_ = true;
    }
    --inFlight_;
    changed_.notify_all();
}

std::optional<plat::DeflatedMember> CatalogWriter::StoredPart(std::size_t index) {
    std::lock_guard lock(storedMutex_);
    if (!stored_ || index >= storedParts_) return std::nullopt;
    return ReadDeflatedCatalogEntry(*stored_, static_cast<unsigned>(index));
}

bool CatalogWriter::SameAsPart(const CatalogBlock& block, const plat::DeflatedMember& part,
                               std::vector<std::uint8_t>& piece) const {
    if (part.size != CatalogBlockSize(block.RowCount())) return false;
    plat::MemberInflater inflater(part);
    std::vector<std::uint8_t> inflated(piece.size());
    const bool same = block.Render(header_, piece, [&](std::span<const std::uint8_t> made) {
        const std::optional<std::size_t> got = inflater.Read(std::span(inflated).first(made.size()));
        return got && *got == made.size() && std::memcmp(inflated.data(), made.data(), made.size()) == 0;
    });
    // The part must end here, and only now has its checksum been checked.
    std::uint8_t beyond = 0;
    return same && inflater.Read(std::span(&beyond, 1)) == std::size_t{0} && inflater.AtSoundEnd();
}

std::optional<plat::DeflatedMember> CatalogWriter::Deflate(const CatalogBlock& block,
                                                           std::vector<std::uint8_t>& piece) const {
    plat::MemberDeflater deflater;
    if (!block.Render(header_, piece, [&](std::span<const std::uint8_t> made) { return deflater.Add(made); })) {
        return std::nullopt;
    }
    return deflater.Finish();
}
