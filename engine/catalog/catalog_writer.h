#pragma once
// One side's new catalog while a Sync builds it. Rows are gathered in blocks of 4,096;
// each full block, and the rest at the end, becomes the next member on the threads of a
// member pool, so the members of a large catalog are deflated on several cores while the
// rows go on arriving. A member whose bytes are exactly those of the same part of the
// side's catalog of the last run takes that part as it is stored, so a block that did not
// change is never deflated again, and when every part came out the same the catalog need
// not be written at all (SameAsStored).
//
// Memory stays small and bounded: a gathered block keeps its rows as compactly as they
// are stored, only a few blocks wait for the pool at a time (Flush waits for room), and a
// finished member is its deflated bytes alone.
//
// One thread appends; members are made on the pool's threads; RowsWritten may be read
// from any thread.

#include <array>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/catalog/catalog_format.h"
#include "platform/core/deflated_member.h"
#include "platform/core/win_types.h"
#include "platform/core/zip_reader.h"

class CWorkQueue;

class CatalogWriter {
public:
    enum class AppendResult {
        kAdded,
        kRowRefused,   // the name does not fit a row; nothing was added
        kOutOfMemory,  // the rows could not be kept; the writer has failed
        kWriteFailed,  // a member could not be made; the writer has failed
    };

    // `storedCatalog`: the side's catalog of the last run, whose parts are reused where they
    // come out the same (empty or missing: none). `pool`: the threads that make the members,
    // shared by both sides; null makes them on the appending thread. `rowsWritten` counts
    // the rows of the members made so far.
    CatalogWriter(const std::string& storedCatalog, std::wstring_view rootFolder, CWorkQueue* pool,
                  std::atomic<DWORD>& rowsWritten);
    // Cancels, and waits for the members being made.
    ~CatalogWriter();
    CatalogWriter(const CatalogWriter&) = delete;
    CatalogWriter& operator=(const CatalogWriter&) = delete;

    // Hands a full block over as a member before the row is taken.
    AppendResult Append(const CFileInfo2& row);
    // Hands the gathered rows over as the next member when they are due: a full block, or
    // with `final` any rows. False when the writer has failed.
    bool Flush(bool final);
    // Flush(true), then waits until every member is made; true when all of them were.
    bool Finish();
    // Members not yet begun are dropped (the writer then has failed); waits for the ones
    // being made.
    void Cancel();

    bool Failed() const { return failed_.load(); }
    // Members handed over so far.
    std::uint32_t MemberCount() const;
    // After Finish: the members are byte for byte the stored catalog's parts, all of them,
    // and that file is still the one they were compared with. Writing it again would
    // change nothing.
    bool SameAsStored() const;
    // After Finish: every member, as one new archive at `path` (replaced whole or not at all).
    bool WriteArchive(const std::string& path) const;

private:
    class MemberJob;

    void HandOver(std::unique_ptr<CatalogBlock> block);
    void MakeMember(std::size_t index, const CatalogBlock& block);
    void MemberDone(std::size_t index, std::optional<plat::DeflatedMember> member, bool reused, std::uint32_t rows);
    std::optional<plat::DeflatedMember> StoredPart(std::size_t index);
    bool SameAsPart(const CatalogBlock& block, const plat::DeflatedMember& part, std::vector<std::uint8_t>& chunk) const;
    std::optional<plat::DeflatedMember> Deflate(const CatalogBlock& block, std::vector<std::uint8_t>& chunk) const;

    CWorkQueue* pool_;
    std::atomic<DWORD>& rowsWritten_;
    std::array<std::uint8_t, kCatalogHeaderSize> header_{};
    std::unique_ptr<CatalogBlock> gathering_;

    // The stored catalog: its parts are read by the pool's threads, one at a time.
    std::string storedPath_;
    std::mutex storedMutex_;
    std::unique_ptr<plat::ZipReader> stored_;
    std::size_t storedParts_ = 0;  // "Qbinf", "Qbinf1", ... and nothing else
    bool storedIsCatalog_ = false;
    plat::FileStamp storedStamp_;

    mutable std::mutex mutex_;  // guards what follows
    std::condition_variable changed_;
    std::vector<plat::DeflatedMember> members_;
    std::size_t inFlight_ = 0;
    std::size_t reused_ = 0;
    std::atomic<bool> failed_{false};
    std::atomic<bool> cancelled_{false};
};
