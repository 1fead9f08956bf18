// The archive store: command initialisers, member names, and member reads and writes
// that fail cleanly on anything missing, empty, damaged or hostile.

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>
#include <string>
#include <thread>
#include <vector>

#include "foundation/archive_store.h"
#include "support/archive_members.h"
#include "support/temp_dir.h"

namespace {

// The largest single allocation made through operator new, to show that a size claimed
// by an archive never becomes an allocation.
std::atomic<std::size_t> largestAllocation{0};

}  // namespace

// Replaced for the whole program; malloc and free pair up, which the compiler cannot see.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void* operator new(std::size_t size) {
    std::size_t seen = largestAllocation.load();
    while (size > seen && !largestAllocation.compare_exchange_weak(seen, size)) {
    }
    if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

namespace {

using qbtest::HasMember;

ArchiveBlock Bytes(std::string_view text) { return ArchiveBlock(text.begin(), text.end()); }

ArchiveBlock Pattern(std::size_t size) {
    ArchiveBlock block(size);
    for (std::size_t i = 0; i < size; ++i) block[i] = static_cast<std::uint8_t>(i * 31 + (i >> 8));
    return block;
}

DWORD MemberCount(const std::string& archive) {
    UnzipCommand cmd;
    InitUnzipCommand(cmd);
    UseArchivePassword(cmd);
    cmd.function = kUnzipCount;
    cmd.archivePath = archive.c_str();
    return dunzip(&cmd) == 0 ? cmd.memberCount : 0;
}

void PutLittleEndian32(std::string& bytes, std::size_t at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
}

}  // namespace

TEST(ArchiveStore, InitialisersSetTheirFixedValuesAndNothingElse) {
    ZipCommand zipCmd;
    zipCmd.memberName = "left over";
    InitZipCommand(zipCmd);
    EXPECT_EQ(zipCmd.structSize, sizeof(ZipCommand));
    EXPECT_EQ(zipCmd.function, 6u);
    EXPECT_EQ(zipCmd.compressionLevel, 5u);
    EXPECT_EQ(zipCmd.optionFlags, 1u);
    EXPECT_EQ(zipCmd.memberName, nullptr);
    EXPECT_EQ(zipCmd.passwordOn, 0u);
    EXPECT_EQ(zipCmd.password, nullptr);
    EXPECT_EQ(zipCmd.block, nullptr);
    EXPECT_EQ(zipCmd.blockSize, 0u);

    UnzipCommand unzipCmd;
    unzipCmd.memberCount = 77;
    InitUnzipCommand(unzipCmd);
    EXPECT_EQ(unzipCmd.structSize, sizeof(UnzipCommand));
    EXPECT_EQ(unzipCmd.function, 9u);
    EXPECT_EQ(unzipCmd.memberIndex, -1);
    EXPECT_EQ(unzipCmd.optionFlags1, 1u);
    EXPECT_EQ(unzipCmd.indexOptions, 0u);
    EXPECT_EQ(unzipCmd.optionFlags2, 1u);
    EXPECT_EQ(unzipCmd.optionFlags3, 1u);
    EXPECT_EQ(unzipCmd.optionByte1, 0);
    EXPECT_EQ(unzipCmd.optionByte2, 2);
    EXPECT_EQ(unzipCmd.memberCount, 0u);
    EXPECT_EQ(unzipCmd.passwordOn, 0u);

    UseArchivePassword(unzipCmd);
    EXPECT_EQ(unzipCmd.passwordOn, 1u);
    EXPECT_STREQ(unzipCmd.password, "7306quab52");
}

TEST(ArchiveStore, MemberNames) {
    EXPECT_EQ(QuotedMemberName("My Task"), "\"My Task\"");
    EXPECT_EQ(QuotedMemberName(""), "\"\"");
    EXPECT_EQ(HistoryMemberName(0), "\"0\"");
    EXPECT_EQ(HistoryMemberName(4294967295u), "\"4294967295\"");
    EXPECT_EQ(CatalogMemberName(0), "Qbinf");
    EXPECT_EQ(CatalogMemberName(1), "Qbinf1");
    EXPECT_EQ(CatalogMemberName(12), "Qbinf12");
}

TEST(ArchiveStore, TaskEntriesRoundTripUnderTheirQuotedNames) {
    qbtest::TempDir dir;
    const std::string store = dir.sub("_qb_sync.tas");
    const ArchiveBlock record = Pattern(18'820);
    const ArchiveBlock other = Pattern(4'672);
    const std::string accented =
        "T\xc3\xa2"
        "che \xe2\x9c\x93";
    ASSERT_EQ(WriteArchiveEntry(store, "My Task", record), TRUE);
    ASSERT_EQ(WriteArchiveEntry(store, accented, other), TRUE);
    ASSERT_EQ(WriteArchiveEntry(store, "x", Bytes("1")), TRUE);

    EXPECT_EQ(MemberCount(store), 3u);
    EXPECT_TRUE(HasMember(store, "\"My Task\""));
    EXPECT_TRUE(HasMember(store, "\"" + accented + "\""));
    EXPECT_FALSE(HasMember(store, "My Task"));
    EXPECT_TRUE(ReadArchiveEntry(store, "My Task") == record);
    EXPECT_TRUE(ReadArchiveEntry(store, accented) == other);
    EXPECT_EQ(ReadArchiveEntry(store, "x"), Bytes("1"));

    // A write replaces the member of that name.
    ASSERT_EQ(WriteArchiveEntry(store, "My Task", other), TRUE);
    EXPECT_EQ(MemberCount(store), 3u);
    EXPECT_TRUE(ReadArchiveEntry(store, "My Task") == other);
}

TEST(ArchiveStore, CatalogPartsUseTheirOwnNames) {
    qbtest::TempDir dir;
    const std::string catalog = dir.sub("_qb_sync._if");
    ASSERT_EQ(WriteCatalogEntry(catalog, Bytes("part zero"), 0), TRUE);
    ASSERT_EQ(WriteCatalogEntry(catalog, Bytes("part one"), 1), TRUE);

    EXPECT_TRUE(HasMember(catalog, "Qbinf"));
    EXPECT_TRUE(HasMember(catalog, "Qbinf1"));
    EXPECT_FALSE(HasMember(catalog, "Qbinf0"));
    EXPECT_EQ(ReadCatalogEntry(catalog, 0), Bytes("part zero"));
    EXPECT_EQ(ReadCatalogEntry(catalog, 1), Bytes("part one"));
    EXPECT_EQ(ReadCatalogEntry(catalog, 2), std::nullopt);
    // A catalog part is not a task entry of the same text.
    EXPECT_EQ(ReadArchiveEntry(catalog, "Qbinf"), std::nullopt);
}

TEST(ArchiveStore, MissingEmptyOrUnreadableEntriesAreNothing) {
    qbtest::TempDir dir;
    const std::string store = dir.sub("store.tas");
    EXPECT_EQ(ReadArchiveEntry(store, "any"), std::nullopt);
    EXPECT_EQ(ReadCatalogEntry(store, 0), std::nullopt);

    ASSERT_EQ(WriteArchiveEntry(store, "empty", ArchiveBlock{}), TRUE);
    EXPECT_EQ(ReadArchiveEntry(store, "empty"), std::nullopt);
    EXPECT_EQ(ReadArchiveEntry(store, "absent"), std::nullopt);

    // A member under another password cannot be read with the archive password.
    ZipCommand cmd;
    InitZipCommand(cmd);
    const std::string member = QuotedMemberName("foreign");
    cmd.function = kZipAddMemory;
    cmd.archivePath = store.c_str();
    cmd.memberName = member.c_str();
    cmd.passwordOn = 1;
    cmd.password = "another";
    cmd.block = "data";
    cmd.blockSize = 4;
    ASSERT_EQ(dzip(&cmd), 0);
    EXPECT_EQ(ReadArchiveEntry(store, "foreign"), std::nullopt);

    qbtest::WriteFileBytes(store, "not an archive at all");
    EXPECT_EQ(ReadArchiveEntry(store, "empty"), std::nullopt);
    EXPECT_EQ(WriteArchiveEntry(store, "new", Bytes("x")), FALSE);
    EXPECT_EQ(qbtest::ReadFileBytes(store), "not an archive at all");
}

TEST(ArchiveStore, AClaimedGigabyteIsNeverAllocated) {
    qbtest::TempDir dir;
    const std::string store = dir.sub("h.fhs");
    ASSERT_EQ(WriteArchiveEntry(store, "0", Pattern(4'672)), TRUE);
    // Set the member's recorded size to 1 GiB in its local and central headers (the one
    // member's local header is at 0, the central directory starts where the end record says).
    std::string bytes = qbtest::ReadFileBytes(store);
    const std::size_t end = bytes.size() - 22;
    std::size_t central = 0;
    for (int i = 3; i >= 0; --i) central = (central << 8) | static_cast<std::uint8_t>(bytes[end + 16 + i]);
    PutLittleEndian32(bytes, 22, 1u << 30);
    PutLittleEndian32(bytes, central + 24, 1u << 30);
    qbtest::WriteFileBytes(store, bytes);

    largestAllocation = 0;
    EXPECT_EQ(ReadArchiveEntry(store, "0"), std::nullopt);
    EXPECT_LT(largestAllocation.load(), kMaxArchiveMemberSize);
}

TEST(ArchiveStore, DeletingAMemberNeedsNoPassword) {
    qbtest::TempDir dir;
    const std::string store = dir.sub("store.tas");
    ASSERT_EQ(WriteArchiveEntry(store, "a", Bytes("a")), TRUE);
    ASSERT_EQ(WriteArchiveEntry(store, "b", Bytes("b")), TRUE);
    ZipCommand cmd;
    InitZipCommand(cmd);
    const std::string member = QuotedMemberName("a");
    cmd.function = kZipDeleteMember;
    cmd.archivePath = store.c_str();
    cmd.memberName = member.c_str();
    EXPECT_EQ(dzip(&cmd), 0);
    EXPECT_EQ(ReadArchiveEntry(store, "a"), std::nullopt);
    EXPECT_EQ(ReadArchiveEntry(store, "b"), Bytes("b"));
}

// The pattern the task store and the history use for a change of one member.
TEST(ArchiveStore, ReadModifyWriteUnderTheLockLosesNoUpdate) {
    qbtest::TempDir dir;
    const std::string store = dir.sub("store.tas");
    ASSERT_EQ(WriteArchiveEntry(store, "task", Bytes("0")), TRUE);
    constexpr int kEach = 50;
    auto bump = [&] {
        for (int i = 0; i < kEach; ++i) {
            const plat::ArchiveLock lock(store);
            const std::optional<ArchiveBlock> block = ReadArchiveEntry(store, "task");
            ASSERT_TRUE(block.has_value());
            const int value = std::stoi(std::string(block->begin(), block->end()));
            ASSERT_EQ(WriteArchiveEntry(store, "task", Bytes(std::to_string(value + 1))), TRUE);
        }
    };
    std::thread a(bump);
    std::thread b(bump);
    a.join();
    b.join();
    EXPECT_EQ(ReadArchiveEntry(store, "task"), Bytes(std::to_string(2 * kEach)));
}
