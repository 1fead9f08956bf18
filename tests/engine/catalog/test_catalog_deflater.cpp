// Deflating catalog blocks from their rows: what any inflater makes of the stream is the
// block byte for byte with its checksum, for blocks of one row and of 4,096, names of every
// length and script, and rows alike and unlike; and it stays about as small as zlib's.

#include "engine/catalog/catalog_deflater.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "engine/catalog/catalog_member_decoding.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Rendered(const CatalogBlock& block, std::span<const std::uint8_t, kCatalogHeaderSize> header) {
    Bytes bytes;
    std::vector<std::uint8_t> piece(64 * 1024);
    EXPECT_TRUE(block.Render(header, piece, [&](std::span<const std::uint8_t> made) {
        bytes.insert(bytes.end(), made.begin(), made.end());
        return true;
    }));
    return bytes;
}

Bytes Inflated(const plat::DeflatedMember& member) {
    plat::MemberInflater inflater(member);
    Bytes out(member.size + 1);
    const auto got = inflater.Read(out);
    if (!got || !inflater.AtSoundEnd()) return {};
    out.resize(*got);
    return out;
}

// Checks the block deflates to a stream that inflates to it, and returns its size.
std::size_t ExpectDeflatesSoundly(const CatalogBlock& block, std::wstring_view root) {
    const auto header = CanonicalCatalogHeader(0, root);
    const std::optional<plat::DeflatedMember> member = DeflateCatalogBlock(block, header);
    EXPECT_TRUE(member);
    if (!member) return 0;
    const Bytes expected = Rendered(block, header);
    EXPECT_EQ(member->size, expected.size());
    const Bytes inflated = Inflated(*member);
    EXPECT_EQ(inflated.size(), expected.size());
    EXPECT_TRUE(inflated == expected);
    return member->data.size();
}

TEST(CatalogDeflater, AnyInflaterMakesTheBlockOfItsStream) {
    {
        CatalogBlock one;
        ASSERT_TRUE(one.Add("a", 0, FILE_ATTRIBUTE_DIRECTORY, 0));
        ExpectDeflatesSoundly(one, L"/");
    }
    {
        // A full block of a scan's usual rows, alike but for a digit or two.
        CatalogBlock full;
        for (std::uint32_t i = 0; i < kCatalogRowsPerBlock; ++i) {
            ASSERT_TRUE(full.Add("folder " + std::to_string(i / 100) + "/document " + std::to_string(i % 100) + ".txt",
                                 10 + i % 7, FILE_ATTRIBUTE_ARCHIVE, 1'600'000'000 + (i % 3)));
        }
        const std::size_t size = ExpectDeflatesSoundly(full, L"/home/someone/Documents");
        // About as small as zlib's fastest level makes it.
        plat::MemberDeflater zlib;
        ASSERT_TRUE(zlib.Add(Rendered(full, CanonicalCatalogHeader(0, L"/home/someone/Documents"))));
        EXPECT_LT(size, zlib.Finish()->data.size() * 11 / 10);
    }
    {
        // Names of every length, other scripts, values unlike from row to row.
        std::mt19937 random(11);
        CatalogBlock mixed;
        const std::vector<std::string> pieces = {
            "\xC3\xA9t\xC3\xA9", "\xF0\x9F\x98\x80", "x", "dir/", "\xE6\x97\xA5", "  "};
        for (int i = 0; i < 600; ++i) {
            std::string name;
            const int parts = static_cast<int>(random() % 40);
            for (int p = 0; p <= parts; ++p) name += pieces[random() % pieces.size()];
            ASSERT_TRUE(mixed.Add(name, random(), static_cast<DWORD>(random()),
                                  static_cast<LONGLONG>(random() % 2'000'000'000)));
        }
        ASSERT_TRUE(mixed.Add(std::string(kCatalogNameMaxUnits, 'n'), 1, 0, 0));
        ASSERT_TRUE(mixed.Add(std::string(kCatalogNameMaxUnits, 'n'), ~0ULL, ~0u, -1'000'000'000));
        ExpectDeflatesSoundly(mixed, std::wstring(kCatalogFolderMaxUnits, L'r'));
    }
}

}  // namespace
