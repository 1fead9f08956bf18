// The history record's stored layout, byte by byte, and reading it back: round trip,
// records of older versions, cut texts, and fields that lack their NUL.

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "foundation/history_record.h"

namespace {

DWORD U32At(const HistoryRecordBytes& bytes, std::size_t offset) {
    DWORD value = 0;
    for (std::size_t i = 0; i < 4; ++i) value |= static_cast<DWORD>(bytes[offset + i]) << (8 * i);
    return value;
}

std::u16string Utf16At(const HistoryRecordBytes& bytes, std::size_t offset, std::size_t units) {
    std::u16string text;
    for (std::size_t i = 0; i < units; ++i) {
        text += static_cast<char16_t>(bytes[offset + 2 * i] | (bytes[offset + 2 * i + 1] << 8));
    }
    return text;
}

bool AllZero(const HistoryRecordBytes& bytes, std::size_t from, std::size_t to) {
    for (std::size_t i = from; i < to; ++i) {
        if (bytes[i] != 0) return false;
    }
    return true;
}

HistoryRecord FullRecord() {
    HistoryRecord r;
    r.taskName = "Photos";
    r.leftFolder = L"/home/a/Pictures";
    r.rightFolder = L"/media/b/\u00e9t\u00e9";  // non-ASCII: two bytes in UTF-8, one unit in UTF-16
    r.text = "old name";
    r.ignoreCase = 1;
    r.code = 0x0A0B0C0D;
    r.syncType = 4;
    r.allowDelete = 0x11;
    r.saveDelete = 0x12;
    r.lock = 0x13;
    r.readOnly = 0x14;
    r.readOnlyTarget = 0x15;
    r.startSource = 5;
    r.type = 2;
    r.start = FILETIME{0x01020304, 0x05060708};
    r.end = FILETIME{0x11121314, 0x15161718};
    r.status = 9;
    return r;
}

void ExpectSame(const HistoryRecord& a, const HistoryRecord& b) {
    EXPECT_EQ(a.taskName, b.taskName);
    EXPECT_EQ(a.leftFolder, b.leftFolder);
    EXPECT_EQ(a.rightFolder, b.rightFolder);
    EXPECT_EQ(a.text, b.text);
    EXPECT_EQ(a.ignoreCase, b.ignoreCase);
    EXPECT_EQ(a.code, b.code);
    EXPECT_EQ(a.syncType, b.syncType);
    EXPECT_EQ(a.allowDelete, b.allowDelete);
    EXPECT_EQ(a.saveDelete, b.saveDelete);
    EXPECT_EQ(a.lock, b.lock);
    EXPECT_EQ(a.readOnly, b.readOnly);
    EXPECT_EQ(a.readOnlyTarget, b.readOnlyTarget);
    EXPECT_EQ(a.startSource, b.startSource);
    EXPECT_EQ(a.type, b.type);
    EXPECT_EQ(FileTimeToU64(a.start), FileTimeToU64(b.start));
    EXPECT_EQ(FileTimeToU64(a.end), FileTimeToU64(b.end));
    EXPECT_EQ(a.status, b.status);
}

}  // namespace

TEST(HistoryRecord, EveryFieldAtItsOffset) {
    const HistoryRecordBytes b = SerializeHistoryRecord(FullRecord());
    ASSERT_EQ(b.size(), 4672u);

    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&b[0])), "Photos");
    EXPECT_TRUE(AllZero(b, 6, 260));

    const std::u16string left = u"/home/a/Pictures";
    EXPECT_EQ(Utf16At(b, 260, left.size() + 1), left + u'\0');
    EXPECT_TRUE(AllZero(b, 260 + 2 * left.size(), 2308));

    const std::u16string right = u"/media/b/\u00e9t\u00e9";
    EXPECT_EQ(Utf16At(b, 2308, right.size() + 1), right + u'\0');
    EXPECT_EQ(b[2308 + 2 * 9], 0xE9);  // UTF-16LE, low byte first
    EXPECT_EQ(b[2308 + 2 * 9 + 1], 0x00);
    EXPECT_TRUE(AllZero(b, 2308 + 2 * right.size(), 4356));

    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&b[4356])), "old name");
    EXPECT_TRUE(AllZero(b, 4356 + 8, 4612));

    EXPECT_EQ(U32At(b, 4612), 1u);
    EXPECT_EQ(b[4616], 0x0D);  // little-endian
    EXPECT_EQ(b[4619], 0x0A);
    EXPECT_EQ(U32At(b, 4616), 0x0A0B0C0Du);
    EXPECT_EQ(U32At(b, 4620), 4u);
    EXPECT_EQ(U32At(b, 4624), 0x11u);
    EXPECT_EQ(U32At(b, 4628), 0x12u);
    EXPECT_EQ(U32At(b, 4632), 0x13u);
    EXPECT_EQ(U32At(b, 4636), 0x14u);
    EXPECT_EQ(U32At(b, 4640), 0x15u);
    EXPECT_EQ(U32At(b, 4644), 5u);
    EXPECT_EQ(U32At(b, 4648), 2u);
    EXPECT_EQ(U32At(b, 4652), 0x01020304u);
    EXPECT_EQ(U32At(b, 4656), 0x05060708u);
    EXPECT_EQ(U32At(b, 4660), 0x11121314u);
    EXPECT_EQ(U32At(b, 4664), 0x15161718u);
    EXPECT_EQ(U32At(b, 4668), 0x80000009u);
}

TEST(HistoryRecord, EmptyRecordIsZerosWithTheMarkOnly) {
    const HistoryRecordBytes b = SerializeHistoryRecord(HistoryRecord{});
    EXPECT_TRUE(AllZero(b, 0, 4668));
    EXPECT_EQ(U32At(b, 4668), 0x80000000u);
}

TEST(HistoryRecord, StatusNeverCarriesItsOwnTopBit) {
    HistoryRecord r;
    r.status = 0x80000003;
    const HistoryRecordBytes b = SerializeHistoryRecord(r);
    EXPECT_EQ(U32At(b, 4668), 0x80000003u);
    EXPECT_EQ(ParseHistoryRecord(b)->status, 3u);
}

TEST(HistoryRecord, RoundTrip) {
    const HistoryRecord r = FullRecord();
    const HistoryRecordBytes b = SerializeHistoryRecord(r);
    const auto back = ParseHistoryRecord(b);
    ASSERT_TRUE(back.has_value());
    ExpectSame(*back, r);
    EXPECT_EQ(SerializeHistoryRecord(*back), b);
}

TEST(HistoryRecord, NamesThatAreNotUtf8SurviveTheRoundTrip) {
    HistoryRecord r;
    r.leftFolder = L"/data/caf\xDCE9";    // the byte 0xE9 of a Latin-1 file name
    r.rightFolder = L"/data/\U0001F600";  // a surrogate pair in UTF-16
    const auto back = ParseHistoryRecord(SerializeHistoryRecord(r));
    ASSERT_TRUE(back.has_value());
    EXPECT_EQ(back->leftFolder, r.leftFolder);
    EXPECT_EQ(back->rightFolder, r.rightFolder);
}

TEST(HistoryRecord, LongTextsAreCutInsideTheirFields) {
    HistoryRecord r;
    r.taskName = std::string(300, 'n');
    r.leftFolder = std::wstring(1500, L'l');
    r.rightFolder = std::wstring(1022, L'r') + L"\U0001F600";  // the pair would not fit whole
    r.text = std::string(254, 't') + "\u00e9";                 // two bytes where one is left
    r.status = 1;
    const HistoryRecordBytes b = SerializeHistoryRecord(r);
    EXPECT_EQ(b[259], 0);
    EXPECT_EQ(b[2306], 0);
    EXPECT_EQ(b[2307], 0);
    EXPECT_EQ(U32At(b, 4668), 0x80000001u);  // nothing spilled into the numbers

    const auto back = ParseHistoryRecord(b);
    ASSERT_TRUE(back.has_value());
    EXPECT_EQ(back->taskName, std::string(259, 'n'));
    EXPECT_EQ(back->leftFolder, std::wstring(1023, L'l'));
    EXPECT_EQ(back->rightFolder, std::wstring(1022, L'r'));
    EXPECT_EQ(back->text, std::string(254, 't'));
}

TEST(HistoryRecord, OlderRecordsHoldEightBitFolders) {
    HistoryRecordBytes b{};
    const char left[] = "C:\\Docs";
    const char right[] = "D:\\caf\xc3\xa9";
    std::memcpy(&b[260], left, sizeof left);
    std::memcpy(&b[2308], right, sizeof right);
    std::memcpy(&b[0], "Old", 4);
    b[4668] = 7;  // status 7, top bit clear
    const auto r = ParseHistoryRecord(b);
    ASSERT_TRUE(r.has_value());
    EXPECT_EQ(r->taskName, "Old");
    EXPECT_EQ(r->leftFolder, L"C:\\Docs");
    EXPECT_EQ(r->rightFolder, L"D:\\caf\u00e9");
    EXPECT_EQ(r->status, 7u);
}

TEST(HistoryRecord, ATextFieldWithoutItsNulIsRefused) {
    const HistoryRecordBytes good = SerializeHistoryRecord(FullRecord());
    struct Field {
        std::size_t offset;
        std::size_t size;
    };
    for (const Field f : {Field{0, 260}, Field{260, 2048}, Field{2308, 2048}, Field{4356, 256}}) {
        HistoryRecordBytes bad = good;
        std::memset(&bad[f.offset], 'x', f.size);
        EXPECT_FALSE(ParseHistoryRecord(bad).has_value()) << "field at " << f.offset;
    }
    // An 8-bit folder field of an older record is held to the same rule.
    HistoryRecordBytes old{};
    std::memset(&old[260], 'x', 2048);
    EXPECT_FALSE(ParseHistoryRecord(old).has_value());
    // A NUL in the last place of a field is enough.
    HistoryRecordBytes full = good;
    std::memset(&full[0], 'y', 259);
    full[259] = 0;
    EXPECT_EQ(ParseHistoryRecord(full)->taskName, std::string(259, 'y'));
}

TEST(HistoryRecord, OnlyExactlyOneRecordIsRead) {
    const HistoryRecordBytes b = SerializeHistoryRecord(FullRecord());
    std::vector<std::uint8_t> longer(b.begin(), b.end());
    longer.push_back(0);
    EXPECT_FALSE(ParseHistoryRecord(longer).has_value());
    EXPECT_FALSE(ParseHistoryRecord(std::span<const std::uint8_t>(b).first(4671)).has_value());
    EXPECT_FALSE(ParseHistoryRecord({}).has_value());
}
