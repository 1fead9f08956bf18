// Damaged and hostile archives are failure returns: no crash, no read past a recorded
// size, no allocation from a size the archive claims.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "platform/core/zip_command.h"
#include "support/temp_dir.h"
#include "zip_test_commands.h"

using namespace ziptest;

namespace {

std::uint32_t Get32(const std::string& b, std::size_t at) {
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i) v = (v << 8) | static_cast<std::uint8_t>(b[at + i]);
    return v;
}
std::uint16_t Get16(const std::string& b, std::size_t at) {
    return static_cast<std::uint16_t>(static_cast<std::uint8_t>(b[at]) | (static_cast<std::uint8_t>(b[at + 1]) << 8));
}
void Put32(std::string& b, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
}

// Where one member's headers are, found by walking the central directory from the end
// record (the archives here carry no comment).
struct MemberHeaders {
    std::size_t central = 0;
    std::size_t local = 0;
};

std::vector<MemberHeaders> Members(const std::string& b) {
    const std::size_t end = b.size() - 22;
    EXPECT_EQ(Get32(b, end), 0x06054b50u);
    std::size_t at = Get32(b, end + 16);
    std::vector<MemberHeaders> out;
    for (unsigned n = Get16(b, end + 10); n > 0; --n) {
        EXPECT_EQ(Get32(b, at), 0x02014b50u);
        out.push_back({at, Get32(b, at + 42)});
        at += 46 + Get16(b, at + 28) + Get16(b, at + 30) + Get16(b, at + 32);
    }
    return out;
}

// Writes the uncompressed size into both headers of member `index`.
void ClaimSize(std::string& b, std::size_t index, std::uint32_t size) {
    const MemberHeaders m = Members(b).at(index);
    Put32(b, m.central + 24, size);
    Put32(b, m.local + 22, size);
}

struct ZipDamage : ::testing::Test {
    qbtest::TempDir dir;
    std::string archive = dir.sub("a.zip");
    const std::string body = std::string(1000, 'A') + "tail";

    // Three members, the middle one the test's victim.
    std::string Build(const char* password = kPassword, DWORD level = 5) {
        EXPECT_EQ(Store(archive, "before", "b", password, level), 0);
        EXPECT_EQ(Store(archive, "victim", body, password, level), 0);
        EXPECT_EQ(Store(archive, "after", "a", password, level), 0);
        return qbtest::ReadFileBytes(archive);
    }
    void Rewrite(const std::string& bytes) { qbtest::WriteFileBytes(archive, bytes); }
    void ExpectNeighboursIntact() {
        EXPECT_EQ(Extract(archive, "before"), "b");
        EXPECT_EQ(Extract(archive, "after"), "a");
    }
};

}  // namespace

TEST_F(ZipDamage, MissingArchiveFailsEveryFunction) {
    EXPECT_FALSE(Count(archive).has_value());
    EXPECT_EQ(Find(archive, "x"), kZipCannotOpen);
    EXPECT_FALSE(SizeByName(archive, "x").has_value());
    EXPECT_FALSE(SizeByIndex(archive, 0).has_value());
    EXPECT_EQ(ExtractInto(archive, "x", -1, 10).result, kZipCannotOpen);
    EXPECT_EQ(Delete(archive, "x"), kZipCannotOpen);
}

TEST_F(ZipDamage, GarbageFileFailsAndIsNeverReplaced) {
    std::string garbage(4096, '\0');
    for (std::size_t i = 0; i < garbage.size(); ++i) garbage[i] = static_cast<char>((i * 7919) >> 3);
    Rewrite(garbage);
    EXPECT_FALSE(Count(archive).has_value());
    EXPECT_NE(Find(archive, "x"), 0);
    EXPECT_EQ(Store(archive, "x", "y"), kZipNotAnArchive);
    EXPECT_TRUE(qbtest::ReadFileBytes(archive) == garbage);
}

TEST_F(ZipDamage, EmptyFileReadsAsNoArchiveAndTakesAFirstMember) {
    Rewrite("");
    EXPECT_FALSE(Count(archive).has_value());
    EXPECT_EQ(Store(archive, "first", "1"), 0);
    EXPECT_EQ(Count(archive), 1u);
    EXPECT_EQ(Extract(archive, "first"), "1");
}

TEST_F(ZipDamage, TruncatedArchiveFailsCleanly) {
    const std::string whole = Build();
    for (std::size_t keep : {whole.size() - 1, whole.size() / 2, std::size_t{10}, std::size_t{0}}) {
        Rewrite(whole.substr(0, keep));
        EXPECT_FALSE(Count(archive).has_value()) << keep;
        EXPECT_NE(Find(archive, "victim"), 0) << keep;
        EXPECT_NE(ExtractInto(archive, "victim", -1, 2000).result, 0) << keep;
    }
}

TEST_F(ZipDamage, WrongOrMissingPasswordFails) {
    Build();
    EXPECT_EQ(ExtractInto(archive, "victim", -1, 2000, "7306quab53").result, kZipDamagedMember);
    EXPECT_EQ(ExtractInto(archive, "victim", -1, 2000, nullptr).result, kZipDamagedMember);
    EXPECT_EQ(Extract(archive, "victim"), body);
}

TEST_F(ZipDamage, MemberClaimingOneGigabyteIsRefusedBeforeAnyRead) {
    std::string bytes = Build();
    ClaimSize(bytes, 1, 1u << 30);
    Rewrite(bytes);
    EXPECT_EQ(Count(archive), 3u);
    EXPECT_EQ(Find(archive, "victim"), 0);
    EXPECT_FALSE(SizeByName(archive, "victim").has_value());
    EXPECT_FALSE(SizeByIndex(archive, 1).has_value());
    EXPECT_EQ(ExtractInto(archive, "victim", -1, 4096).result, kZipDamagedMember);
    ExpectNeighboursIntact();
}

TEST_F(ZipDamage, MemberWhoseRecordedSizeLiesFails) {
    for (DWORD level : {DWORD{0}, DWORD{5}}) {
        const std::string whole = Build(kPassword, level);
        for (std::uint32_t claimed :
             {std::uint32_t{10}, std::uint32_t{1003}, std::uint32_t{1005}, std::uint32_t{5000}}) {
            std::string bytes = whole;
            ClaimSize(bytes, 1, claimed);
            Rewrite(bytes);
            EXPECT_EQ(SizeByName(archive, "victim"), claimed);
            const Extracted got = ExtractInto(archive, "victim", -1, 8192);
            EXPECT_EQ(got.result, kZipDamagedMember) << "level " << level << " claimed " << claimed;
            EXPECT_EQ(got.bytes.substr(claimed), std::string(8192 - claimed, '\0')) << "wrote past the claim";
            ExpectNeighboursIntact();
        }
        std::remove(archive.c_str());
    }
}

TEST_F(ZipDamage, CorruptedDataFailsOnlyThatMember) {
    std::string bytes = Build();
    const MemberHeaders m = Members(bytes).at(1);
    const std::size_t data = m.local + 30 + Get16(bytes, m.local + 26) + Get16(bytes, m.local + 28);
    for (std::size_t i = data + 20; i < data + 40; ++i) bytes[i] = static_cast<char>(bytes[i] ^ 0x5A);
    Rewrite(bytes);
    EXPECT_EQ(ExtractInto(archive, "victim", -1, 2000).result, kZipDamagedMember);
    ExpectNeighboursIntact();
}

TEST_F(ZipDamage, SomethingOtherThanAFileIsNoArchive) {
    ASSERT_EQ(::mkfifo(archive.c_str(), 0600), 0);  // opening it for reading must not block
    EXPECT_EQ(Count(archive), std::nullopt);
    EXPECT_EQ(Store(archive, "x", "y"), kZipCannotOpen);
    std::remove(archive.c_str());
    ASSERT_EQ(::mkdir(archive.c_str(), 0700), 0);
    EXPECT_EQ(Count(archive), std::nullopt);
    EXPECT_EQ(Store(archive, "x", "y"), kZipCannotOpen);
}

TEST_F(ZipDamage, MalformedCommandsAreRefused) {
    EXPECT_EQ(dzip(nullptr), kZipBadCommand);
    EXPECT_EQ(dunzip(nullptr), kZipBadCommand);
    EXPECT_EQ(Store(archive, "", "x"), kZipBadCommand);
    EXPECT_EQ(Store(archive, std::string(0x10000, 'n'), "x"), kZipBadCommand);

    ZipCommand zipCmd;
    zipCmd.structSize = sizeof zipCmd;
    zipCmd.function = kZipNoFunction;
    zipCmd.archivePath = archive.c_str();
    zipCmd.memberName = "m";
    EXPECT_EQ(dzip(&zipCmd), kZipBadCommand);
    zipCmd.function = kZipAddMemory;
    zipCmd.blockSize = 10;  // and no block
    EXPECT_EQ(dzip(&zipCmd), kZipBadCommand);
    static const char big = 0;
    zipCmd.block = &big;
    zipCmd.blockSize = static_cast<DWORD>(kMaxArchiveMemberSize + 1);
    EXPECT_EQ(dzip(&zipCmd), kZipBadCommand);
    zipCmd.structSize = 220;
    zipCmd.blockSize = 1;
    EXPECT_EQ(dzip(&zipCmd), kZipBadCommand);

    Build();
    UnzipCommand cmd = ReadCommand(archive, kUnzipInfoByName);
    cmd.memberName = "victim";  // and no information block
    EXPECT_EQ(dunzip(&cmd), kZipBadCommand);
    cmd = ReadCommand(archive, kUnzipInfoByIndex);
    cmd.memberIndex = 0;
    EXPECT_EQ(dunzip(&cmd), kZipBadCommand);
    cmd = ReadCommand(archive, 8);
    EXPECT_EQ(dunzip(&cmd), kZipBadCommand);
    cmd = ReadCommand(archive, kUnzipExtract);
    cmd.memberName = "victim";
    cmd.outputSize = 100;  // and no buffer
    EXPECT_EQ(dunzip(&cmd), kZipBadCommand);
}
