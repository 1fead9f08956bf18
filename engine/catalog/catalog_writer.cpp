#include "engine/catalog/catalog_writer.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <utility>

#include "engine/catalog/catalog_deflater.h"
#include "engine/run/work_queue.h"
#include "foundation/archive_store.h"
#include "platform/core/deflated_member.h"

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
                             std::atomic<DWORD>& rowsWritten, const CatalogRowTable* checkedRows,
                             const StoredCatalogParts* checkedParts)
    : pool_(pool), rowsWritten_(rowsWritten), storedPath_(storedCatalog) {
    // The folder is only informative, so a cut one still makes a sound block.
    FillCatalogHeader(header_, 0, rootFolder);
    if (storedCatalog.empty() || !plat::StampOfFile(storedCatalog)) return;
    // A catalog in another form than the plain one is written anew, once.
    if (plat::ZipImage::Read(storedCatalog, stored_) != plat::ZipImage::Outcome::kRead) {
        stored_.reset();
        return;
    }
    for (unsigned index = 0;; ++index) {
        const std::optional<std::size_t> part = stored_->Find(CatalogMemberName(index));
        if (!part) break;
        storedParts_.push_back(*part);
    }
    storedIsCatalog_ = storedParts_.size() == stored_->count();
    if (checkedRows && checkedParts && checkedParts->stamp == stored_->stamp() &&
        checkedParts->canonical.size() == checkedRows->ChunkCount()) {
        checkedRows_ = checkedRows;
        checkedParts_ = checkedParts;
    }
}

CatalogWriter::~CatalogWriter() {
    Cancel();
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return inFlight_ == 0; });
}

CatalogWriter::AppendResult CatalogWriter::Append(const CFileInfo2& row) {
    return Append(row.name, row.size, row.attributes, row.time);
}

CatalogWriter::AppendResult CatalogWriter::Append(std::string_view name, ULONGLONG size, DWORD attributes,
                                                  LONGLONG time) {
    if (failed_) return AppendResult::kWriteFailed;
    if (gathering_ && gathering_->RowCount() == kCatalogRowsPerBlock && !Flush(false)) {
        return AppendResult::kWriteFailed;
    }
    try {
        if (!gathering_) gathering_ = std::make_unique<CatalogBlock>();
        if (!gathering_->Add(name, size, attributes, time)) return AppendResult::kRowRefused;
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
    if (!stored_ || !storedIsCatalog_ || failed_ || inFlight_ != 0) return false;
    if (members_.size() != storedParts_.size() || reused_ != members_.size()) return false;
    return plat::StampOfFile(storedPath_) == stored_->stamp();
}

bool CatalogWriter::WriteArchive(const std::string& path) const {
    std::lock_guard lock(mutex_);
    return !failed_ && inFlight_ == 0 && !members_.empty() && plat::WriteZipParts(path, members_) == 0;
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
    std::optional<plat::ZipPart> member;
    bool reused = false;
    if (!cancelled_) {
        try {
            if (SameAsPart(index, block)) {
                member.emplace();
                member->name = CatalogMemberName(static_cast<unsigned>(index));
                member->stored = &stored_->member(storedParts_[index]);
                reused = true;
            } else {
                member = Deflate(index, block);
            }
        } catch (const std::bad_alloc&) {
            member.reset();
        }
    }
    MemberDone(index, std::move(member), reused, block.RowCount());
}

void CatalogWriter::MemberDone(std::size_t index, std::optional<plat::ZipPart> member, bool reused,
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

namespace {

bool SameRows(const CatalogRowTable::Chunk& made, const CatalogRowTable::Chunk& stored) {
    if (made.size() != stored.size()) return false;
    for (std::size_t i = 0; i < made.size(); ++i) {
        const CatalogRowTable::Row& a = made.RowAt(i);
        const CatalogRowTable::Row& b = stored.RowAt(i);
        if (a.size != b.size || a.time != b.time || a.attributes != b.attributes) return false;
        if (made.NameOf(a) != stored.NameOf(b)) return false;
    }
    return true;
}

}  // namespace

bool CatalogWriter::SameAsPart(std::size_t index, const CatalogBlock& block) const {
    if (!stored_ || index >= storedParts_.size()) return false;
    const plat::ZipImage::Member& part = stored_->member(storedParts_[index]);
    if (part.entry.size != CatalogBlockSize(block.RowCount())) return false;
    // The Check's rows of a member known byte for byte from them.
    if (checkedRows_ && index < checkedRows_->ChunkCount() && checkedParts_->canonical[index]) {
        return SameRows(block.Rows(), checkedRows_->ChunkAt(index));
    }
    return SameBytes(storedParts_[index], block);
}

// Row by row: each row's beginning as the block makes it, then zeros. The block's own
// checksum then stands for the stored bytes', which the archive records.
bool CatalogWriter::SameBytes(std::size_t imageIndex, const CatalogBlock& block) const {
    plat::DeflatedMember stream;
    if (!stored_->Deflated(imageIndex, kArchivePassword, stream)) return false;
    plat::MemberInflater inflater(stream, plat::MemberInflater::Checksum::kCallers);
    std::array<std::uint8_t, kCatalogHeaderSize> header = header_;
    for (std::size_t i = 0; i < 4; ++i) header[i] = static_cast<std::uint8_t>(block.RowCount() >> (8 * i));
    std::vector<std::uint8_t> piece(kPieceBytes);
    const auto read = [&](std::size_t count) {
        const std::optional<std::size_t> got = inflater.Read(std::span(piece).first(count));
        return got && *got == count;
    };
    if (!read(kCatalogHeaderSize) || std::memcmp(piece.data(), header.data(), kCatalogHeaderSize) != 0) return false;
    std::uint32_t crc = plat::Crc32(0, header);
    constexpr std::size_t kRowsPerPiece = kPieceBytes / kCatalogRecordSize;
    std::array<std::uint8_t, kCatalogRecordSize> made;
    for (std::size_t done = 0; done < block.RowCount();) {
        const std::size_t count = std::min<std::size_t>(kRowsPerPiece, block.RowCount() - done);
        if (!read(count * kCatalogRecordSize)) return false;
        for (std::size_t i = 0; i < count; ++i) {
            const std::uint8_t* const row = piece.data() + i * kCatalogRecordSize;
            const std::size_t length = block.EncodeRowStart(done + i, made);
            if (std::memcmp(row, made.data(), length) != 0 ||
                !AllZeroBytes(row + length, kCatalogRecordSize - length)) {
                return false;
            }
            crc = plat::Crc32Zeros(plat::Crc32(crc, std::span(made).first(length)), kCatalogRecordSize - length);
        }
        done += count;
    }
    // The part must end here.
    std::uint8_t beyond = 0;
    return inflater.Read(std::span(&beyond, 1)) == std::size_t{0} && inflater.AtSoundEnd() && crc == stream.crc;
}

std::optional<plat::ZipPart> CatalogWriter::Deflate(std::size_t index, const CatalogBlock& block) const {
    const std::optional<plat::DeflatedMember> member = DeflateCatalogBlock(block, header_);
    if (!member) return std::nullopt;
    return plat::MakeDeflatedPart(CatalogMemberName(static_cast<unsigned>(index)), *member, kArchivePassword);
}
