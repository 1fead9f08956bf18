#pragma once
// One side's new catalog while a Sync builds it. Rows are gathered in blocks of 4,096;
// each full block, and the rest at the end, becomes the next member on the threads of a
// member pool, so the members of a large catalog are made on several cores while the
// rows go on arriving. A block that comes out exactly as the same part of the side's
// catalog of the last run takes that part as it is stored, never deflated or encrypted
// again, and when every part came out the same the catalog need not be written at all
// (SameAsStored). When the Check of the same run read that catalog whole, a block is told
// the same by its rows alone; otherwise the stored part is inflated and compared.
//
// Memory stays small and bounded: a gathered block keeps its rows as compactly as the
// Check's, only a few blocks wait for the pool at a time (Flush waits for room), and a
// finished member is its stored bytes alone.
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
#include "engine/catalog/catalog_row_table.h"
#include "engine/catalog/stored_catalog_parts.h"
#include "platform/core/win_types.h"
#include "platform/core/zip_image.h"
#include "platform/core/zip_parts.h"

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
    // the rows of the members made so far. `checkedRows` and `checkedParts`: what the Check
    // of this run read of that catalog (null: it read none); used only while the catalog
    // is still the file the Check read.
    CatalogWriter(const std::string& storedCatalog, std::wstring_view rootFolder, CWorkQueue* pool,
                  std::atomic<DWORD>& rowsWritten, const CatalogRowTable* checkedRows = nullptr,
                  const StoredCatalogParts* checkedParts = nullptr);
    // Cancels, and waits for the members being made.
    ~CatalogWriter();
    CatalogWriter(const CatalogWriter&) = delete;
    CatalogWriter& operator=(const CatalogWriter&) = delete;

    // Hands a full block over as a member before the row is taken.
    AppendResult Append(const CFileInfo2& row);
    AppendResult Append(std::string_view name, ULONGLONG size, DWORD attributes, LONGLONG time);
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
    void MemberDone(std::size_t index, std::optional<plat::ZipPart> member, bool reused, std::uint32_t rows);
    // The stored part `index` holds exactly the bytes the block makes.
    bool SameAsPart(std::size_t index, const CatalogBlock& block) const;
    bool SameBytes(std::size_t imageIndex, const CatalogBlock& block) const;
    std::optional<plat::ZipPart> Deflate(std::size_t index, const CatalogBlock& block) const;

    CWorkQueue* pool_;
    std::atomic<DWORD>& rowsWritten_;
    std::array<std::uint8_t, kCatalogHeaderSize> header_{};
    std::unique_ptr<CatalogBlock> gathering_;

    // The stored catalog, read whole; its parts are read by the pool's threads at once.
    std::string storedPath_;
    std::unique_ptr<plat::ZipImage> stored_;
    std::vector<std::size_t> storedParts_;          // "Qbinf", "Qbinf1", ... as the image's members
    bool storedIsCatalog_ = false;                  // and nothing else
    const CatalogRowTable* checkedRows_ = nullptr;  // set only while they describe stored_
    const StoredCatalogParts* checkedParts_ = nullptr;

    mutable std::mutex mutex_;  // guards what follows
    std::condition_variable changed_;
    std::vector<plat::ZipPart> members_;
    std::size_t inFlight_ = 0;
    std::size_t reused_ = 0;
    std::atomic<bool> failed_{false};
    std::atomic<bool> cancelled_{false};
};
