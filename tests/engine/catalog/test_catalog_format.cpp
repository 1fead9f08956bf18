// The catalog's stored bytes: rows and headers byte by byte, both row layouts read,
// members refused without reading past them, times across a daylight-saving change,
// members known byte for byte from their rows, the writer's split into members of 4,096
// rows, its reuse of stored parts, and what it writes read back by another ZIP tool.

#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <climits>
#include <cstdlib>
#include <ctime>
#include <optional>
#include <string>
#include <vector>

#include "engine/catalog/catalog_format.h"
#include "engine/catalog/catalog_member_decoding.h"
#include "engine/catalog/catalog_writer.h"
#include "engine/run/work_queue.h"
#include "foundation/archive_store.h"
#include "platform/core/file_info.h"
#include "platform/core/file_time.h"
#include "support/temp_dir.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

void PutU32(Bytes& bytes, std::size_t offset, std::uint32_t value) {
    for (std::size_t i = 0; i < 4; ++i) bytes[offset + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

std::uint32_t U32At(const std::uint8_t* bytes, std::size_t offset) {
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < 4; ++i) value |= std::uint32_t{bytes[offset + i]} << (8 * i);
    return value;
}

void PutUtf16(Bytes& bytes, std::size_t offset, std::u16string_view text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        bytes[offset + 2 * i] = static_cast<std::uint8_t>(text[i] & 0xFF);
        bytes[offset + 2 * i + 1] = static_cast<std::uint8_t>(text[i] >> 8);
    }
}

CFileInfo2 Row(const std::wstring& name, ULONGLONG size = 0, LONGLONG time = 1'700'000'000,
               DWORD attributes = FILE_ATTRIBUTE_ARCHIVE) {
    CFileInfo2 row;
    row.Set(name, size, attributes, time, 0);
    return row;
}

// A block of `rows` in the older layout (4,120-byte rows, name at 2068); the unread bytes
// in between hold noise.
Bytes OldLayoutBlock(std::uint32_t layout, const std::vector<std::u16string>& names) {
    Bytes block(kCatalogHeaderSize + names.size() * kCatalogOldRecordSize, 0);
    PutU32(block, 0, static_cast<std::uint32_t>(names.size()));
    PutU32(block, 2048, layout);
    for (std::size_t i = 0; i < names.size(); ++i) {
        const std::size_t row = kCatalogHeaderSize + i * kCatalogOldRecordSize;
        PutU32(block, row + 0, static_cast<std::uint32_t>(100 + i));
        PutU32(block, row + 8, FILE_ATTRIBUTE_ARCHIVE);
        const FILETIME ft = plat::FileTimeFromUnixSeconds(1'600'000'000);
        PutU32(block, row + 12, ft.dwLowDateTime);
        PutU32(block, row + 16, ft.dwHighDateTime);
        for (std::size_t b = row + 20; b < row + 2068; ++b) block[b] = 0xA5;
        PutUtf16(block, row + 2068, names[i]);
    }
    return block;
}

plat::DeflatedMember Deflated(const Bytes& bytes) {
    plat::MemberDeflater deflater;
    EXPECT_TRUE(deflater.Add(bytes));
    return deflater.Finish().value();
}

Bytes CurrentBlock(const std::vector<CFileInfo2>& rows) {
    Bytes block(CatalogBlockSize(static_cast<std::uint32_t>(rows.size())), 0);
    FillCatalogHeader(std::span<std::uint8_t, kCatalogHeaderSize>(block.data(), kCatalogHeaderSize),
                      static_cast<std::uint32_t>(rows.size()), L"/home/u/Docs");
    for (std::size_t i = 0; i < rows.size(); ++i) {
        EXPECT_TRUE(FillCatalogRecord(
            rows[i], std::span<std::uint8_t, kCatalogRecordSize>(
                         block.data() + kCatalogHeaderSize + i * kCatalogRecordSize, kCatalogRecordSize)));
    }
    return block;
}

TEST(CatalogFormat, RowBytesOfTheCurrentLayout) {
    std::array<std::uint8_t, kCatalogRecordSize> row;
    row.fill(0xEE);
    // A name with a character outside the BMP (a surrogate pair) and a byte that is not UTF-8.
    ASSERT_TRUE(FillCatalogRecord(Row(L"d/\U0001F600\xDC80", 0x1'2345'6789ULL, 1'700'000'000, 0x21), row));

    EXPECT_EQ(U32At(row.data(), 0), 0x2345'6789u);
    EXPECT_EQ(U32At(row.data(), 4), 0x1u);
    EXPECT_EQ(U32At(row.data(), 8), 0x21u);
    const std::uint64_t ticks = (std::uint64_t{U32At(row.data(), 16)} << 32) | U32At(row.data(), 12);
    EXPECT_EQ(ticks, plat::kUnixEpochTicks + 1'700'000'000ULL * plat::kTicksPerSecond);
    const std::array<std::uint8_t, 12> name = {'d', 0, '/', 0, 0x3D, 0xD8, 0x00, 0xDE, 0x80, 0xDC, 0, 0};
    EXPECT_TRUE(std::equal(name.begin(), name.end(), row.begin() + 20));
    EXPECT_TRUE(std::all_of(row.begin() + 32, row.end(), [](std::uint8_t b) { return b == 0; }));
}

TEST(CatalogFormat, HeaderBytes) {
    std::array<std::uint8_t, kCatalogHeaderSize> header;
    header.fill(0xEE);
    EXPECT_TRUE(FillCatalogHeader(header, 4096, L"/m"));
    EXPECT_EQ(U32At(header.data(), 0), 4096u);
    EXPECT_EQ(header[4], '/');
    EXPECT_EQ(header[6], 'm');
    EXPECT_TRUE(std::all_of(header.begin() + 7, header.begin() + 2048, [](std::uint8_t b) { return b == 0; }));
    EXPECT_EQ(U32At(header.data(), 2048), 3u);

    // A root folder longer than its field is cut, keeping the NUL inside the field.
    EXPECT_FALSE(FillCatalogHeader(header, 1, std::wstring(kCatalogFolderMaxUnits + 1, L'x')));
    EXPECT_EQ(header[4 + 2 * kCatalogFolderMaxUnits - 2], 'x');
    EXPECT_EQ(header[4 + 2 * kCatalogFolderMaxUnits], 0);
    EXPECT_EQ(U32At(header.data(), 2048), 3u);
}

TEST(CatalogFormat, NamesThatDoNotFitARowAreRefusedWhole) {
    std::array<std::uint8_t, kCatalogRecordSize> row;
    EXPECT_TRUE(FillCatalogRecord(Row(std::wstring(kCatalogNameMaxUnits, L'n')), row));
    EXPECT_FALSE(FillCatalogRecord(Row(std::wstring(kCatalogNameMaxUnits + 1, L'n')), row));
    EXPECT_TRUE(std::all_of(row.begin(), row.end(), [](std::uint8_t b) { return b == 0; }));
    EXPECT_FALSE(FillCatalogRecord(Row(std::wstring(L"a\0b", 3)), row));
}

TEST(CatalogFormat, CurrentLayoutRoundTrip) {
    const std::vector<CFileInfo2> rows = {Row(L"b.txt", 5, 1'600'000'123),
                                          Row(L"sub", 0, 1'500'000'000, FILE_ATTRIBUTE_DIRECTORY),
                                          Row(L"sub/\x00E9t\x00E9\xDCFF", 0xFFFF'FFFF'FFFFULL, 0)};
    const Bytes block = CurrentBlock(rows);
    const auto parsed = ParseCatalogBlock(block);
    ASSERT_TRUE(parsed);
    EXPECT_EQ(parsed->layout, 3u);
    ASSERT_EQ(parsed->rows.size(), rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        EXPECT_EQ(parsed->rows[i].name, rows[i].name);
        EXPECT_EQ(parsed->rows[i].size, rows[i].size);
        EXPECT_EQ(parsed->rows[i].attributes, rows[i].attributes);
        EXPECT_EQ(parsed->rows[i].time, rows[i].time);
        EXPECT_EQ(parsed->rows[i].flag, 0u);
    }
}

TEST(CatalogFormat, OlderLayoutsReadLongRowsWithTheNameAt2068) {
    for (const std::uint32_t layout : {0u, 1u}) {
        const auto parsed = ParseCatalogBlock(OldLayoutBlock(layout, {u"one", u"dir/two"}));
        ASSERT_TRUE(parsed) << layout;
        ASSERT_EQ(parsed->rows.size(), 2u);
        EXPECT_EQ(parsed->rows[0].name, "one");
        EXPECT_EQ(parsed->rows[1].name, "dir/two");
        EXPECT_EQ(parsed->rows[1].size, 101u);
        EXPECT_EQ(parsed->rows[1].time, 1'600'000'000);
    }
    // The same long rows under layout 2 do not add up to the member's size.
    EXPECT_FALSE(ParseCatalogBlock(OldLayoutBlock(2, {u"one"})));
}

TEST(CatalogFormat, RowsDatedBefore1900ReadAsTimeZero) {
    Bytes block = CurrentBlock({Row(L"old"), Row(L"zero")});
    const FILETIME before1900 = plat::FileTimeFromUnixSeconds(-2'208'988'801);  // 1899-12-31 23:59:59
    PutU32(block, kCatalogHeaderSize + 12, before1900.dwLowDateTime);
    PutU32(block, kCatalogHeaderSize + 16, before1900.dwHighDateTime);
    PutU32(block, kCatalogHeaderSize + kCatalogRecordSize + 12, 0);
    PutU32(block, kCatalogHeaderSize + kCatalogRecordSize + 16, 0);
    const auto parsed = ParseCatalogBlock(block);
    ASSERT_TRUE(parsed);
    EXPECT_EQ(parsed->rows[0].time, 0);
    EXPECT_EQ(parsed->rows[1].time, 0);
}

// Every member is built to its exact size, so the sanitizers catch any read past it.
TEST(CatalogFormat, UntrustworthyMembersAreRefused) {
    struct Case {
        const char* what;
        Bytes member;
    };
    std::vector<Case> cases;
    cases.push_back({"empty", Bytes()});
    cases.push_back({"shorter than the header", Bytes(kCatalogHeaderSize - 1, 0)});
    {
        Bytes b = CurrentBlock({Row(L"a")});
        PutU32(b, 0, 1'000'000);
        cases.push_back({"a million rows", b});
    }
    {
        Bytes b = CurrentBlock({Row(L"a")});
        PutU32(b, 0, 4097);
        cases.push_back({"more rows than a block holds", b});
    }
    {
        Bytes b = CurrentBlock({Row(L"a"), Row(L"b")});
        b.pop_back();
        cases.push_back({"truncated", b});
    }
    {
        Bytes b = CurrentBlock({Row(L"a")});
        PutU32(b, 0, 2);
        cases.push_back({"a count beyond the member", b});
    }
    {
        Bytes b = CurrentBlock({Row(L"a")});
        b.push_back(0);
        cases.push_back({"bytes beyond the rows", b});
    }
    {
        Bytes b = CurrentBlock({Row(L"a"), Row(L"b")});
        const std::size_t name = kCatalogHeaderSize + kCatalogRecordSize + 20;
        std::fill(b.begin() + static_cast<std::ptrdiff_t>(name), b.end(), std::uint8_t{'A'});
        cases.push_back({"a name without NUL in the last row", b});
    }
    {
        Bytes b = OldLayoutBlock(1, {u"x"});
        std::fill(b.begin() + kCatalogHeaderSize + 2068, b.end(), std::uint8_t{'A'});
        cases.push_back({"an older-layout name without NUL", b});
    }
    {
        Bytes b = CurrentBlock({Row(L"a")});
        PutU32(b, kCatalogHeaderSize + 16, 0x8000'0000);
        cases.push_back({"a time that names no date", b});
    }
    for (const Case& c : cases) {
        EXPECT_FALSE(ParseCatalogBlock(c.member)) << c.what;
        EXPECT_FALSE(InflateCatalogBlock(Deflated(c.member))) << c.what << ", inflated in pieces";
    }
}

// Read in pieces, a member gives the rows a whole read gives, in both layouts and over
// pieces that end inside and at the end of the rows; a stream that is cut, altered or
// stated with another length or checksum is refused.
TEST(CatalogFormat, MembersInflatedInPiecesAreReadAsWholeOnesAndCheckedToTheirEnd) {
    std::vector<CFileInfo2> rows;
    for (int i = 0; i < 100; ++i)
        rows.push_back(Row(L"folder/file " + std::to_wstring(i), 1000 + i, 1'600'000'000 + i));
    const std::vector<Bytes> sound = {CurrentBlock(rows), CurrentBlock({}),
                                      CurrentBlock(std::vector<CFileInfo2>(rows.begin(), rows.begin() + 64)),
                                      OldLayoutBlock(1, {u"x", u"y/z"})};
    for (const Bytes& member : sound) {
        const auto whole = ParseCatalogBlock(member);
        const auto inPieces = InflateCatalogBlock(Deflated(member));
        ASSERT_TRUE(whole && inPieces);
        EXPECT_EQ(inPieces->layout, whole->layout);
        ASSERT_EQ(inPieces->rows.size(), whole->rows.size());
        for (std::size_t i = 0; i < whole->rows.size(); ++i) {
            EXPECT_EQ(inPieces->rows[i].name, whole->rows[i].name);
            EXPECT_EQ(inPieces->rows[i].size, whole->rows[i].size);
            EXPECT_EQ(inPieces->rows[i].time, whole->rows[i].time);
            EXPECT_EQ(inPieces->rows[i].attributes, whole->rows[i].attributes);
        }
    }

    const plat::DeflatedMember good = Deflated(CurrentBlock(rows));
    std::vector<std::pair<const char*, plat::DeflatedMember>> damaged;
    damaged.emplace_back("another checksum", good);
    damaged.back().second.crc ^= 1;
    damaged.emplace_back("stated one row shorter", good);
    damaged.back().second.size -= kCatalogRecordSize;
    damaged.emplace_back("stream cut", good);
    damaged.back().second.data.resize(good.data.size() / 2);
    damaged.emplace_back("bytes after the stream", good);
    damaged.back().second.data.push_back(0);
    damaged.emplace_back("a byte altered", good);
    damaged.back().second.data[good.data.size() / 2] ^= 0x5A;
    for (const auto& [what, member] : damaged) EXPECT_FALSE(InflateCatalogBlock(member)) << what;
}

class ZoneGuard {
public:
    explicit ZoneGuard(const char* zone) {
        if (const char* old = std::getenv("TZ")) old_ = old;
        setenv("TZ", zone, 1);
        tzset();
    }
    ~ZoneGuard() {
        if (old_) {
            setenv("TZ", old_->c_str(), 1);
        } else {
            unsetenv("TZ");
        }
        tzset();
    }

private:
    std::optional<std::string> old_;
};

TEST(CatalogFormat, TimesRoundTripExactlyAcrossDaylightSavingChanges) {
    const ZoneGuard zone("CET-1CEST,M3.5.0,M10.5.0/3");
    // Around the spring change (2023-03-26 01:00 UTC) and in the repeated autumn hour
    // (2023-10-29 00:00-01:00 UTC is 02:00-03:00 twice in local time).
    const std::vector<LONGLONG> times = {1'679'792'399, 1'679'792'400, 1'679'796'000,
                                         1'698'537'600, 1'698'539'400, 1'698'541'200};
    std::vector<CFileInfo2> rows;
    for (const LONGLONG t : times) rows.push_back(Row(L"f" + std::to_wstring(t), 1, t));
    const auto parsed = ParseCatalogBlock(CurrentBlock(rows));
    ASSERT_TRUE(parsed);
    for (std::size_t i = 0; i < times.size(); ++i) EXPECT_EQ(parsed->rows[i].time, times[i]) << i;
}

// A member is canonical only when its bytes are exactly what the writer makes of the rows
// it holds under the side's root; any other is read the same, but not taken for that.
TEST(CatalogFormat, MembersTheWriterMadeAreKnownFromTheirRows) {
    const std::vector<CFileInfo2> rows = {Row(L"a.txt", 5, 1'600'000'123), Row(L"sub/\x00E9t\x00E9", 7, 1'500'000'000)};
    const Bytes made = CurrentBlock(rows);  // under "/home/u/Docs"
    const auto expectRows = [&](const std::optional<DecodedCatalogMember>& decoded) {
        ASSERT_TRUE(decoded);
        ASSERT_EQ(decoded->rows.size(), rows.size());
        for (std::size_t i = 0; i < rows.size(); ++i) {
            EXPECT_EQ(decoded->rows.NameAt(i), rows[i].name);
            EXPECT_EQ(decoded->rows.RowAt(i).size, rows[i].size);
            EXPECT_EQ(decoded->rows.RowAt(i).time, rows[i].time);
        }
    };
    const auto decoded = DecodeCatalogMember(Deflated(made), L"/home/u/Docs");
    expectRows(decoded);
    EXPECT_TRUE(decoded->canonical);
    EXPECT_EQ(DecodeCatalogMember(Deflated(made), L"/elsewhere")->canonical, false);

    Bytes noise = made;
    noise[kCatalogHeaderSize + kCatalogRecordSize - 1] = 0x5A;  // after the first row's name
    Bytes fraction = made;
    fraction[kCatalogHeaderSize + 12] += 1;  // 100 ns more than a whole second
    Bytes folderNoise = made;
    folderNoise[2000] = 1;  // after the root folder's NUL
    for (const Bytes* other : {&noise, &fraction, &folderNoise}) {
        const auto read = DecodeCatalogMember(Deflated(*other), L"/home/u/Docs");
        expectRows(read);
        EXPECT_FALSE(read->canonical);
    }
    const auto older = DecodeCatalogMember(Deflated(OldLayoutBlock(1, {u"one"})), L"/home/u/Docs");
    ASSERT_TRUE(older);
    EXPECT_FALSE(older->canonical);

    plat::DeflatedMember wrongSum = Deflated(noise);
    wrongSum.crc = Deflated(made).crc;  // the zeros the checksum is moved over must be there
    EXPECT_FALSE(DecodeCatalogMember(wrongSum, L"/home/u/Docs"));
}

std::optional<ArchiveBlock> Member(const std::string& archive, unsigned index) {
    return ReadCatalogEntry(archive, index);
}

// A writer of one side as a Sync makes it: members made on a pool of threads.
struct Writing {
    explicit Writing(const std::string& stored = std::string()) : writer(stored, L"/root", &pool, rowsWritten) {}
    ~Writing() { pool.Destroy(); }

    CWorkQueue pool{
        [](plat::WorkerThread& thread, std::function<void()> body) { return thread.Start(std::move(body)); }};
    bool poolStarted = pool.Create(3);
    std::atomic<DWORD> rowsWritten{0};
    CatalogWriter writer;
};

std::vector<CFileInfo2> Rows(std::uint32_t count, std::uint32_t changed = UINT32_MAX) {
    std::vector<CFileInfo2> rows;
    for (std::uint32_t i = 0; i < count; ++i) rows.push_back(Row(L"f" + std::to_wstring(i), i == changed ? 99 : i));
    return rows;
}

// Writes `rows` as the writer of a Sync would, comparing with what `stored` holds; true
// when the writer found it holds exactly that.
bool WriteCatalog(const std::string& stored, const std::vector<CFileInfo2>& rows) {
    Writing w(stored);
    for (const CFileInfo2& row : rows) EXPECT_EQ(w.writer.Append(row), CatalogWriter::AppendResult::kAdded);
    EXPECT_TRUE(w.writer.Finish());
    EXPECT_EQ(w.rowsWritten, rows.size());
    if (w.writer.SameAsStored()) return true;
    EXPECT_TRUE(w.writer.WriteArchive(stored));
    return false;
}

std::vector<std::uint32_t> MemberRowCounts(const std::string& archive) {
    std::vector<std::uint32_t> counts;
    for (unsigned index = 0;; ++index) {
        const auto member = Member(archive, index);
        if (!member) return counts;
        EXPECT_EQ(member->size(), CatalogBlockSize(U32At(member->data(), 0)));
        counts.push_back(U32At(member->data(), 0));
    }
}

TEST(CatalogWriter, FullBlocksOf4096RowsAndTheRestInTheLastMember) {
    const qbtest::TempDir dir;
    for (const std::uint32_t count : {4096u, 4097u, 3 * 4096u + 5}) {
        const std::string archive = dir.sub("cat" + std::to_string(count) + "._if");
        Writing w;
        for (const CFileInfo2& row : Rows(count)) ASSERT_EQ(w.writer.Append(row), CatalogWriter::AppendResult::kAdded);
        EXPECT_EQ(w.writer.MemberCount(), (count - 1) / 4096);  // a full block waits for the next row
        ASSERT_TRUE(w.writer.Finish());
        EXPECT_EQ(w.rowsWritten, count);
        ASSERT_TRUE(w.writer.WriteArchive(archive));

        std::vector<std::uint32_t> expected(count / 4096, 4096);
        if (count % 4096 != 0) expected.push_back(count % 4096);
        EXPECT_EQ(MemberRowCounts(archive), expected);
        const auto last = ParseCatalogBlock(*Member(archive, static_cast<unsigned>(expected.size() - 1)));
        ASSERT_TRUE(last);
        EXPECT_EQ(last->rows.back().name, "f" + std::to_string(count - 1));
        // Byte for byte the block the format makes of the same rows.
        const std::vector<CFileInfo2> all = Rows(count);
        Bytes block = CurrentBlock({all.begin(), all.begin() + 4096});
        FillCatalogHeader(std::span<std::uint8_t, kCatalogHeaderSize>(block.data(), kCatalogHeaderSize), 4096,
                          L"/root");
        EXPECT_TRUE(*Member(archive, 0) == block);
    }
}

TEST(CatalogWriter, NoRowsMakeNoMemberAndARefusedRowLeavesTheBlockAsItWas) {
    Writing empty;
    EXPECT_TRUE(empty.writer.Finish());
    EXPECT_EQ(empty.writer.MemberCount(), 0u);

    const qbtest::TempDir dir;
    const std::string archive = dir.sub("c._if");
    Writing w;
    EXPECT_EQ(w.writer.Append(Row(L"a")), CatalogWriter::AppendResult::kAdded);
    EXPECT_EQ(w.writer.Append(Row(std::wstring(2000, L'x'))), CatalogWriter::AppendResult::kRowRefused);
    EXPECT_EQ(w.writer.Append(Row(L"b")), CatalogWriter::AppendResult::kAdded);
    ASSERT_TRUE(w.writer.Finish());
    ASSERT_TRUE(w.writer.WriteArchive(archive));
    const auto rows = ParseCatalogBlock(*Member(archive, 0));
    ASSERT_TRUE(rows);
    ASSERT_EQ(rows->rows.size(), 2u);
    EXPECT_EQ(rows->rows[1].name, "b");

    // An archive that cannot be written leaves nothing behind.
    EXPECT_FALSE(w.writer.WriteArchive(dir.sub("missing/folder/c._if")));
    EXPECT_FALSE(plat::PathExists(dir.sub("missing")));
}

// A catalog is the same only when every member comes out byte for byte as stored: the
// same rows in the same blocks under the same root, and nothing more in the archive.
TEST(CatalogWriter, ACatalogIsTheSameOnlyWhenEveryStoredPartComesOutAgain) {
    const qbtest::TempDir dir;
    const std::string catalog = dir.sub("c._if");
    const std::uint32_t count = 2 * 4096 + 10;
    EXPECT_FALSE(WriteCatalog(catalog, Rows(count)));  // nothing stored yet
    EXPECT_TRUE(WriteCatalog(catalog, Rows(count)));

    // One row changed in the second block: written again whole, and it reads back so.
    EXPECT_FALSE(WriteCatalog(catalog, Rows(count, 5000)));
    const auto second = ParseCatalogBlock(*Member(catalog, 1));
    ASSERT_TRUE(second);
    EXPECT_EQ(second->rows[5000 - 4096].size, 99u);
    EXPECT_EQ(MemberRowCounts(catalog), (std::vector<std::uint32_t>{4096, 4096, 10}));
    EXPECT_TRUE(WriteCatalog(catalog, Rows(count, 5000)));

    EXPECT_FALSE(WriteCatalog(catalog, Rows(count - 1, 5000)));  // one row fewer
    EXPECT_TRUE(WriteCatalog(catalog, Rows(count - 1, 5000)));
    {
        Writing w(catalog);  // another root folder
        std::atomic<DWORD> rows{0};
        CatalogWriter elsewhere(catalog, L"/other", &w.pool, rows);
        for (const CFileInfo2& row : Rows(count - 1, 5000)) elsewhere.Append(row);
        ASSERT_TRUE(elsewhere.Finish());
        EXPECT_FALSE(elsewhere.SameAsStored());
    }
    ASSERT_EQ(WriteCatalogEntry(catalog, Bytes(10, 1), 7), TRUE);  // a part that does not belong
    EXPECT_FALSE(WriteCatalog(catalog, Rows(count - 1, 5000)));
    EXPECT_EQ(MemberRowCounts(catalog), (std::vector<std::uint32_t>{4096, 4096, 9}));
    EXPECT_FALSE(Member(catalog, 7));
}

// What a Check read of the catalog stands for its bytes only while the file is the one it
// read: a block whose rows match the Check's is then the stored part, without the part
// being read again.
TEST(CatalogWriter, TheChecksRowsStandForTheCatalogOnlyWhileItIsTheFileTheyCameFrom) {
    const qbtest::TempDir dir;
    const std::string catalog = dir.sub("c._if");
    const std::uint32_t count = 4096 + 10;
    EXPECT_FALSE(WriteCatalog(catalog, Rows(count)));
    // The Check's rows, one of them other than stored, so that only they can make the
    // block with that row the same.
    CatalogRowTable checked;
    for (const CFileInfo2& row : Rows(count, 5)) checked.Add(row.name, row.size, row.attributes, row.time);
    const auto facts = [&](std::vector<bool> canonical, long long timeOff) {
        StoredCatalogParts parts;
        parts.stamp = *plat::StampOfFile(catalog);
        parts.stamp.modifiedNs += timeOff;
        parts.canonical = std::move(canonical);
        return parts;
    };
    const auto same = [&](const StoredCatalogParts& parts) {
        Writing w;
        std::atomic<DWORD> written{0};
        CatalogWriter writer(catalog, L"/root", &w.pool, written, &checked, &parts);
        for (const CFileInfo2& row : Rows(count, 5)) writer.Append(row);
        EXPECT_TRUE(writer.Finish());
        return writer.SameAsStored();
    };
    EXPECT_TRUE(same(facts({true, true}, 0)));
    EXPECT_FALSE(same(facts({false, true}, 0)));  // the first part is compared byte by byte
    EXPECT_FALSE(same(facts({true, true}, -1)));  // another file than the Check's: every part is
    EXPECT_TRUE(WriteCatalog(catalog, Rows(count)));
}

// The catalog the writer makes, read with another ZIP tool and the archive password and
// taken apart here field by field: the rows as given, the parts kept and the new ones.
TEST(CatalogWriter, WhatItWritesReadsBackWithAnotherZipTool) {
    const qbtest::TempDir dir;
    const std::string catalog = dir.sub("c._if");
    const std::uint32_t count = 2 * 4096 + 3;
    EXPECT_FALSE(WriteCatalog(catalog, Rows(count)));
    EXPECT_FALSE(WriteCatalog(catalog, Rows(count, 4096 + 7)));  // the second part anew, the others kept
    for (unsigned index = 0; index < 3; ++index) {
        const std::string name = index == 0 ? "Qbinf" : "Qbinf" + std::to_string(index);
        const std::string out = dir.sub(name);
        ASSERT_EQ(std::system(("unzip -p -P " + std::string(kArchivePassword) + " '" + catalog + "' " + name + " > '" +
                               out + "' 2>/dev/null")
                                  .c_str()),
                  0);
        const std::string bytes = qbtest::ReadFileBytes(out);
        const auto* b = reinterpret_cast<const std::uint8_t*>(bytes.data());
        const std::uint32_t rows = index < 2 ? 4096 : 3;
        ASSERT_EQ(bytes.size(), 2052 + 2072u * rows);
        EXPECT_EQ(U32At(b, 0), rows);
        EXPECT_EQ(U32At(b, 2048), 3u);
        EXPECT_EQ(std::string(bytes.data() + 4, 10), std::string("/\0r\0o\0o\0t\0", 10));
        for (std::uint32_t r = 0; r < rows; ++r) {
            const std::uint8_t* row = b + 2052 + 2072 * r;
            const std::uint32_t n = index * 4096 + r;
            std::string rowName;
            for (std::size_t at = 20; row[at] != 0 || row[at + 1] != 0; at += 2) rowName += static_cast<char>(row[at]);
            ASSERT_EQ(rowName, "f" + std::to_string(n));
            EXPECT_EQ(U32At(row, 0), n == 4096 + 7 ? 99u : n);
            EXPECT_EQ(U32At(row, 8), static_cast<std::uint32_t>(FILE_ATTRIBUTE_ARCHIVE));
            const std::uint64_t ticks = (std::uint64_t{U32At(row, 16)} << 32) | U32At(row, 12);
            EXPECT_EQ(ticks, plat::kUnixEpochTicks + 1'700'000'000ULL * plat::kTicksPerSecond);
        }
    }
}

}  // namespace
