// Members written by dzip come back byte for byte from dunzip and from other ZIP tools;
// count, lookup, index order, replace and delete behave as the stores rely on.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <zip.h>

#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "platform/core/deflated_member.h"
#include "platform/core/text.h"
#include "platform/core/zip_command.h"
#include "platform/core/zip_deflated_archive.h"
#include "platform/core/zip_reader.h"
#include "support/temp_dir.h"
#include "zip_test_commands.h"

using namespace ziptest;

namespace {

std::string RandomBytes(std::size_t size, unsigned seed) {
    std::mt19937 gen(seed);
    std::string bytes(size, '\0');
    for (char& c : bytes) c = static_cast<char>(gen() & 0xFF);
    return bytes;
}

// Runs a command with no input; true when it exits with 0.
bool Succeeds(const std::string& command) {
    return std::system((command + " </dev/null >/dev/null 2>&1").c_str()) == 0;
}

std::string Quote(const std::string& s) { return "'" + s + "'"; }

std::string QuotedNumber(int n) { return plat::Format("\"%d\"", n); }

std::span<const std::uint8_t> AsBytes(const std::string& s) {
    return {reinterpret_cast<const std::uint8_t*>(s.data()), s.size()};
}

// Deflated in uneven pieces, the way a caller hands over rows.
plat::DeflatedMember Deflated(const std::string& bytes) {
    plat::MemberDeflater deflater;
    for (std::size_t at = 0; at < bytes.size(); at += 7777) {
        EXPECT_TRUE(deflater.Add(AsBytes(bytes).subspan(at, std::min<std::size_t>(7777, bytes.size() - at))));
    }
    return deflater.Finish().value();
}

std::string Inflated(const plat::DeflatedMember& member) {
    plat::MemberInflater inflater(member);
    std::string out;
    std::vector<std::uint8_t> piece(5000);
    while (const auto got = inflater.Read(piece)) {
        if (*got == 0) break;
        out.append(reinterpret_cast<const char*>(piece.data()), *got);
    }
    return inflater.AtSoundEnd() ? out : std::string("(damaged)");
}

}  // namespace

TEST(ZipRoundTrip, SmallestAndLargeMembersComeBackWhole) {
    qbtest::TempDir dir;
    const std::string archive = dir.sub("a.zip");
    const std::string one("\x7f", 1);
    const std::string large = RandomBytes(5'000'000, 1);
    const std::string zeros(5'000'000, '\0');
    ASSERT_EQ(Store(archive, "\"one\"", one), 0);
    ASSERT_EQ(Store(archive, "\"large\"", large), 0);
    ASSERT_EQ(Store(archive, "\"zeros\"", zeros), 0);

    EXPECT_EQ(Count(archive), 3u);
    EXPECT_EQ(Extract(archive, "\"one\""), one);
    EXPECT_TRUE(Extract(archive, "\"large\"") == large);
    EXPECT_TRUE(Extract(archive, "\"zeros\"") == zeros);
    EXPECT_EQ(SizeByName(archive, "\"large\""), 5'000'000u);
}

TEST(ZipRoundTrip, NamesWithBlanksAndNonAsciiAreOneMemberEach) {
    qbtest::TempDir dir;
    const std::string archive = dir.sub("tasks.tas");
    const std::string blank = "\"My Task\"";
    const std::string accented =
        "\"T\xc3\xa2"
        "che \xc3\x9c"
        "bersicht \xe2\x9c\x93\"";  // Tâche Übersicht ✓
    const std::string notUtf8 = "\"Latin1 \xe9t\xe9\"";
    ASSERT_EQ(Store(archive, blank, "blank"), 0);
    ASSERT_EQ(Store(archive, accented, "accented"), 0);
    ASSERT_EQ(Store(archive, notUtf8, "bytes"), 0);

    EXPECT_EQ(Count(archive), 3u);
    EXPECT_EQ(Extract(archive, blank), "blank");
    EXPECT_EQ(Extract(archive, accented), "accented");
    EXPECT_EQ(Extract(archive, notUtf8), "bytes");
    // Names match as exact bytes: no quotes, other case or a part is another name.
    EXPECT_NE(Find(archive, "My Task"), 0);
    EXPECT_NE(Find(archive, "\"my task\""), 0);
    EXPECT_NE(Find(archive, "\"My\""), 0);
    EXPECT_EQ(Find(archive, blank), 0);
}

TEST(ZipRoundTrip, ReplacingKeepsOneMemberInItsPlace) {
    qbtest::TempDir dir;
    const std::string archive = dir.sub("a.zip");
    ASSERT_EQ(Store(archive, "first", "1"), 0);
    ASSERT_EQ(Store(archive, "second", "2"), 0);
    ASSERT_EQ(Store(archive, "third", "3"), 0);
    ASSERT_EQ(Store(archive, "second", "two, longer"), 0);

    EXPECT_EQ(Count(archive), 3u);
    EXPECT_EQ(ExtractByIndex(archive, 0), "1");
    EXPECT_EQ(ExtractByIndex(archive, 1), "two, longer");
    EXPECT_EQ(ExtractByIndex(archive, 2), "3");
}

TEST(ZipRoundTrip, DeleteRemovesOneMemberAndMovesLaterOnesUp) {
    qbtest::TempDir dir;
    const std::string archive = dir.sub("a.zip");
    for (const char* name : {"a", "b", "c"}) ASSERT_EQ(Store(archive, name, name), 0);

    EXPECT_EQ(Delete(archive, "b"), 0);
    EXPECT_EQ(Count(archive), 2u);
    EXPECT_NE(Find(archive, "b"), 0);
    EXPECT_EQ(ExtractByIndex(archive, 0), "a");
    EXPECT_EQ(ExtractByIndex(archive, 1), "c");
    EXPECT_EQ(Delete(archive, "b"), kZipNoSuchMember);

    // The last member gone, the archive is gone: a missing archive is an empty store.
    EXPECT_EQ(Delete(archive, "a"), 0);
    EXPECT_EQ(Delete(archive, "c"), 0);
    EXPECT_FALSE(Count(archive).has_value());
    EXPECT_EQ(Store(archive, "again", "x"), 0);
    EXPECT_EQ(Count(archive), 1u);
}

TEST(ZipRoundTrip, IndexFunctionsAgreeAndFollowWritingOrder) {
    qbtest::TempDir dir;
    const std::string archive = dir.sub("h.fhs");
    constexpr int kMembers = 200;
    for (int i = 0; i < kMembers; ++i) {
        ASSERT_EQ(Store(archive, QuotedNumber(i), std::string(i + 1, 'a' + i % 26)), 0);
    }
    ASSERT_EQ(Count(archive), static_cast<DWORD>(kMembers));
    for (int i = 0; i < kMembers; ++i) {
        EXPECT_EQ(SizeByIndex(archive, i, kUnzipInfoByIndex), static_cast<DWORD>(i + 1));
        EXPECT_EQ(SizeByIndex(archive, i, kUnzipInfoByIndex2), static_cast<DWORD>(i + 1));
        EXPECT_EQ(ExtractByIndex(archive, i), std::string(i + 1, 'a' + i % 26));
    }
    EXPECT_FALSE(SizeByIndex(archive, kMembers).has_value());
    EXPECT_FALSE(SizeByIndex(archive, -1).has_value());
}

TEST(ZipRoundTrip, ExtractionFitsTheCallersBuffer) {
    qbtest::TempDir dir;
    const std::string archive = dir.sub("a.zip");
    ASSERT_EQ(Store(archive, "m", "0123456789"), 0);

    const Extracted tooSmall = ExtractInto(archive, "m", -1, 9);
    EXPECT_EQ(tooSmall.result, kZipBufferTooSmall);
    EXPECT_EQ(tooSmall.bytes, std::string(9, '\0'));

    const Extracted roomy = ExtractInto(archive, "m", -1, 16);
    EXPECT_EQ(roomy.result, 0);
    EXPECT_EQ(roomy.bytes, std::string("0123456789") + std::string(6, '\0'));
    // A name wins over an index; with neither there is no member.
    EXPECT_EQ(ExtractInto(archive, "m", 5, 16).result, 0);
    EXPECT_EQ(ExtractInto(archive, "", -1, 16).result, kZipNoSuchMember);
}

TEST(ZipRoundTrip, OtherZipToolsOpenWhatDzipWrote) {
    qbtest::TempDir dir;
    const std::string archive = dir.sub("store.tas");
    const std::string task = RandomBytes(18'820, 7);
    const std::string text(100'000, 'q');
    ASSERT_EQ(Store(archive, "\"My Task\"", task), 0);
    ASSERT_EQ(Store(archive, "Qbinf", text), 0);
    ASSERT_EQ(Store(archive,
                    "\"T\xc3\xa2"
                    "che\"",
                    "x"),
              0);

    // Every member is encrypted: the right password tests clean, a wrong one does not.
    EXPECT_TRUE(Succeeds("unzip -tqq -P 7306quab52 " + Quote(archive)));
    EXPECT_FALSE(Succeeds("unzip -tqq -P wrongpassw " + Quote(archive)));

    const std::string out = dir.sub("out");
    ASSERT_TRUE(Succeeds("unzip -qq -P 7306quab52 -d " + Quote(out) + " " + Quote(archive) + " '\"My Task\"' Qbinf"));
    EXPECT_TRUE(qbtest::ReadFileBytes(out + "/\"My Task\"") == task);
    EXPECT_TRUE(qbtest::ReadFileBytes(out + "/Qbinf") == text);
}

TEST(ZipRoundTrip, MemberNamesNeverBecomePaths) {
    qbtest::TempDir dir;
    std::filesystem::create_directory(dir.sub("inner"));
    const std::string archive = dir.sub("inner/a.zip");
    ASSERT_EQ(Store(archive, "../escaped", "x"), 0);
    ASSERT_EQ(Store(archive, "/absolute", "y"), 0);
    EXPECT_EQ(Extract(archive, "../escaped"), "x");
    EXPECT_EQ(Extract(archive, "/absolute"), "y");
    EXPECT_FALSE(std::filesystem::exists(dir.sub("escaped")));
    EXPECT_FALSE(std::filesystem::exists("/absolute"));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.sub("inner")), {}), 1);
}

TEST(ZipRoundTrip, UnencryptedAndStoredMembersReadToo) {
    qbtest::TempDir dir;
    const std::string archive = dir.sub("a.zip");
    ASSERT_EQ(Store(archive, "plain", "no password", nullptr, 0), 0);
    EXPECT_EQ(Extract(archive, "plain"), "no password");
    EXPECT_EQ(Extract(archive, "plain", nullptr), "no password");
    EXPECT_TRUE(Succeeds("unzip -tqq " + Quote(archive)));
}

TEST(ZipRoundTrip, ArchivesKeptOpenAreClosedOnExec) {
    qbtest::TempDir dir;
    const std::string archive = dir.sub("kept.zip");
    ASSERT_EQ(Store(archive, "m", "x"), 0);
    ASSERT_EQ(Find(archive, "m"), 0);  // leaves the archive open for the next read
    int open = 0;
    for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) {
        std::error_code ec;
        if (std::filesystem::read_symlink(entry.path(), ec) != std::filesystem::path(archive)) continue;
        ++open;
        const int flags = ::fcntl(std::stoi(entry.path().filename()), F_GETFD);
        EXPECT_TRUE(flags >= 0 && (flags & FD_CLOEXEC) != 0);
    }
    EXPECT_GE(open, 1);
}

// dzip stores one member per call and every call rewrites the archive, so 10,000 calls
// would take minutes; the archive is written here in one pass with libzip, the way
// dzip writes members, and the entry points read and change it.
TEST(ZipRoundTrip, TenThousandMembers) {
    qbtest::TempDir dir;
    const std::string archive = dir.sub("big.fhs");
    constexpr int kMembers = 10'000;
    std::vector<std::string> bodies(kMembers);
    {
        int error = 0;
        zip_t* za = zip_open(archive.c_str(), ZIP_CREATE | ZIP_EXCL, &error);
        ASSERT_NE(za, nullptr);
        for (int i = 0; i < kMembers; ++i) {
            bodies[i] = "record " + std::to_string(i) + std::string(i % 97, '.');
            zip_source_t* src = zip_source_buffer(za, bodies[i].data(), bodies[i].size(), 0);
            const std::string name = QuotedNumber(i);
            const zip_int64_t idx = zip_file_add(za, name.c_str(), src, 0);
            ASSERT_GE(idx, 0);
            ASSERT_EQ(zip_file_set_encryption(za, idx, ZIP_EM_TRAD_PKWARE, kPassword), 0);
        }
        ASSERT_EQ(zip_close(za), 0);
    }

    ASSERT_EQ(Count(archive), static_cast<DWORD>(kMembers));
    for (int i = 0; i < kMembers; ++i) {
        ASSERT_EQ(Extract(archive, QuotedNumber(i)), bodies[i]) << i;
    }
    for (int i = 0; i < kMembers; i += 7) ASSERT_EQ(ExtractByIndex(archive, i), bodies[i]) << i;

    ASSERT_EQ(Store(archive, "\"5000\"", "replaced"), 0);
    ASSERT_EQ(Store(archive, "\"10000\"", "appended"), 0);
    EXPECT_EQ(Count(archive), static_cast<DWORD>(kMembers + 1));
    EXPECT_EQ(ExtractByIndex(archive, 5000), "replaced");
    EXPECT_EQ(ExtractByIndex(archive, kMembers), "appended");
    EXPECT_EQ(ExtractByIndex(archive, 9999), bodies[9999]);
}

TEST(ZipRoundTrip, AWholeArchiveOfMembersDeflatedBeforehandReadsBackEverywhere) {
    qbtest::TempDir dir;
    const std::string archive = dir.sub("c._if");
    ASSERT_EQ(Store(archive, "old member", "gone after the rewrite"), 0);
    const std::string zeros = std::string(200'000, '\0') + "tail";
    const std::string noise = RandomBytes(70'000, 3);
    const plat::DeflatedMember first = Deflated(zeros);
    const plat::DeflatedMember second = Deflated(noise);
    const plat::DeflatedMember empty = Deflated("");
    const std::vector<plat::NamedDeflatedMember> members{{"Qbinf", &first}, {"Qbinf1", &second}, {"e", &empty}};
    ASSERT_EQ(plat::WriteDeflatedArchive(archive, members, kPassword), 0);

    // Exactly the new members, in order, byte for byte through dunzip and other tools.
    EXPECT_EQ(Count(archive), 3u);
    EXPECT_EQ(ExtractByIndex(archive, 0), zeros);
    EXPECT_EQ(Extract(archive, "Qbinf1"), noise);
    EXPECT_EQ(Find(archive, "old member"), kZipNoSuchMember);
    EXPECT_TRUE(Succeeds("unzip -tqq -P 7306quab52 " + Quote(archive)));
    EXPECT_FALSE(Succeeds("unzip -tqq -P wrongpassw " + Quote(archive)));

    // Read back still deflated, a member inflates to the same bytes, checked.
    ZipResult opened = kZipOk;
    const auto reader = plat::ZipReader::Open(archive, &opened);
    ASSERT_TRUE(reader);
    plat::DeflatedMember stored;
    ASSERT_EQ(reader->ReadDeflated(0, kPassword, stored), kZipOk);
    EXPECT_EQ(stored.crc, first.crc);
    EXPECT_EQ(Inflated(stored), zeros);
    EXPECT_EQ(reader->ReadDeflated(1, "wrongpassw", stored), kZipDamagedMember);

    // Nothing is written where a folder stands, and nothing is left beside it.
    std::filesystem::create_directory(dir.sub("folder"));
    EXPECT_NE(plat::WriteDeflatedArchive(dir.sub("folder"), members, kPassword), 0);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 2);
}

TEST(ZipRoundTrip, AnInflatedMemberIsTrustedOnlyWhenItsLengthAndChecksumHold) {
    const std::string bytes = RandomBytes(30'000, 9) + std::string(30'000, 'z');
    const plat::DeflatedMember sound = Deflated(bytes);
    EXPECT_EQ(Inflated(sound), bytes);

    plat::DeflatedMember wrongChecksum = sound;
    wrongChecksum.crc ^= 1;
    plat::DeflatedMember shorterThanStated = sound;
    shorterThanStated.size += 1;
    plat::DeflatedMember longerThanStated = sound;
    longerThanStated.size -= 1;
    plat::DeflatedMember truncated = sound;
    truncated.data.resize(truncated.data.size() / 2);
    plat::DeflatedMember trailingBytes = sound;
    trailingBytes.data.push_back(0);
    for (const auto* damaged : {&wrongChecksum, &shorterThanStated, &longerThanStated, &truncated, &trailingBytes}) {
        EXPECT_EQ(Inflated(*damaged), "(damaged)");
    }
}
