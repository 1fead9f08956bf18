// Archives read whole and written from parts: members taken as another archive stores
// them and new members encrypted here read back with the archive library and with other
// ZIP tools; archives that are not in the plain form and wrong passwords are told; the
// checksum moved over zeros is the one over the zeros.

#include <gtest/gtest.h>

#include <zlib.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/core/deflated_member.h"
#include "platform/core/zip_image.h"
#include "platform/core/zip_parts.h"
#include "support/temp_dir.h"
#include "zip_test_commands.h"

using namespace ziptest;

namespace {

bool Succeeds(const std::string& command) {
    return std::system((command + " </dev/null >/dev/null 2>&1").c_str()) == 0;
}

std::string Quote(const std::string& s) { return "'" + s + "'"; }

std::string Output(const std::string& command) {
    std::string out;
    FILE* pipe = ::popen((command + " 2>/dev/null").c_str(), "r");
    if (!pipe) return out;
    char buffer[4096];
    std::size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) out.append(buffer, got);
    ::pclose(pipe);
    return out;
}

std::span<const std::uint8_t> Bytes(const std::string& text) {
    return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

plat::DeflatedMember Deflated(const std::string& text) {
    plat::MemberDeflater deflater;
    EXPECT_TRUE(deflater.Add(Bytes(text)));
    return deflater.Finish().value();
}

std::string Inflated(const plat::DeflatedMember& member) {
    plat::MemberInflater inflater(member);
    std::string out(member.size + 1, '\0');
    const auto got = inflater.Read(std::span(reinterpret_cast<std::uint8_t*>(out.data()), out.size()));
    if (!got || !inflater.AtSoundEnd()) return "(damaged)";
    out.resize(*got);
    return out;
}

std::string Text(std::size_t length, unsigned seed) {
    std::string text;
    for (std::size_t i = 0; i < length; ++i) text += static_cast<char>('a' + (i * 7 + seed + i / 13) % 26);
    return text;
}

TEST(ZipParts, MembersTakenAsStoredAndNewOnesReadBackEverywhere) {
    const qbtest::TempDir dir;
    const std::string first = dir.sub("first.zip");
    const std::string kept = Text(100'000, 1);
    ASSERT_EQ(Store(first, "kept", kept), 0);
    ASSERT_EQ(Store(first, "dropped", "x"), 0);

    std::unique_ptr<plat::ZipImage> image;
    ASSERT_EQ(plat::ZipImage::Read(first, image), plat::ZipImage::Outcome::kRead);
    ASSERT_EQ(image->count(), 2u);
    const std::optional<std::size_t> index = image->Find("kept");
    ASSERT_TRUE(index);
    EXPECT_FALSE(image->Find("missing"));
    plat::DeflatedMember stream;
    ASSERT_TRUE(image->Deflated(*index, kPassword, stream));
    EXPECT_EQ(Inflated(stream), kept);
    EXPECT_FALSE(image->Deflated(*index, "wrongpassw", stream));

    const std::string fresh = Text(50'000, 2);
    std::vector<plat::ZipPart> parts;
    parts.push_back(plat::MakeDeflatedPart("new", Deflated(fresh), kPassword));
    parts.emplace_back().name = "kept";
    parts.back().stored = &image->member(*index);
    parts.push_back(plat::MakeDeflatedPart("plain", Deflated("no password"), nullptr));
    const std::string second = dir.sub("second.zip");
    ASSERT_EQ(plat::WriteZipParts(second, parts), 0);

    EXPECT_EQ(Count(second), 3u);
    EXPECT_EQ(Extract(second, "new"), fresh);
    EXPECT_EQ(Extract(second, "kept"), kept);
    EXPECT_EQ(Extract(second, "plain", nullptr), "no password");
    EXPECT_TRUE(Succeeds("unzip -tqq -P " + std::string(kPassword) + " " + Quote(second)));
    EXPECT_EQ(Output("unzip -p -P " + std::string(kPassword) + " " + Quote(second) + " new"), fresh);
    EXPECT_FALSE(Succeeds("unzip -tqq -P wrongpassw " + Quote(second) + " new"));
    // Nothing is left beside it.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 2);

    // Read whole again, the archive written here has the plain form too.
    std::unique_ptr<plat::ZipImage> again;
    ASSERT_EQ(plat::ZipImage::Read(second, again), plat::ZipImage::Outcome::kRead);
    ASSERT_TRUE(again->Find("new"));
    ASSERT_TRUE(again->Deflated(*again->Find("new"), kPassword, stream));
    EXPECT_EQ(Inflated(stream), fresh);
}

TEST(ZipParts, OtherFormsAndPathsAreTold) {
    const qbtest::TempDir dir;
    std::unique_ptr<plat::ZipImage> image;
    EXPECT_EQ(plat::ZipImage::Read(dir.sub("missing.zip"), image), plat::ZipImage::Outcome::kCannotRead);
    EXPECT_EQ(plat::ZipImage::Read(dir.path(), image), plat::ZipImage::Outcome::kCannotRead);
    qbtest::WriteFileBytes(dir.sub("text.zip"), "not an archive at all, just some words");
    EXPECT_EQ(plat::ZipImage::Read(dir.sub("text.zip"), image), plat::ZipImage::Outcome::kNotPlain);

    // A comment after the end record: readable by the library, not in the plain form.
    const std::string commented = dir.sub("commented.zip");
    ASSERT_EQ(Store(commented, "m", "bytes"), 0);
    std::string bytes = qbtest::ReadFileBytes(commented);
    bytes[bytes.size() - 2] = 3;
    qbtest::WriteFileBytes(commented, bytes + "abc");
    EXPECT_EQ(plat::ZipImage::Read(commented, image), plat::ZipImage::Outcome::kNotPlain);

    // A folder where the archive should be is never replaced; nothing is left beside it.
    std::filesystem::create_directory(dir.sub("folder.zip"));
    std::vector<plat::ZipPart> parts;
    parts.push_back(plat::MakeDeflatedPart("m", Deflated("x"), kPassword));
    EXPECT_NE(plat::WriteZipParts(dir.sub("folder.zip"), parts), 0);
    EXPECT_NE(plat::WriteZipParts(dir.sub("no/such/folder.zip"), parts), 0);
    EXPECT_TRUE(std::filesystem::is_directory(dir.sub("folder.zip")));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 3);
}

TEST(Crc32, ShortAndLongPiecesAndRunsOfZeros) {
    const std::string start = "a row's beginning";
    const std::uint32_t crc = plat::Crc32(0, Bytes(start));
    for (const std::size_t zeros : {std::size_t{0}, std::size_t{1}, std::size_t{2052}, plat::kMaxCrc32Zeros}) {
        const std::string whole = start + std::string(zeros, '\0');
        EXPECT_EQ(plat::Crc32Zeros(crc, zeros),
                  static_cast<std::uint32_t>(
                      crc32(0, reinterpret_cast<const Bytef*>(whole.data()), static_cast<uInt>(whole.size()))))
            << zeros;
    }
    EXPECT_EQ(plat::Crc32Zeros(0, 10), plat::Crc32(0, Bytes(std::string(10, '\0'))));
    // Short pieces are summed here, longer ones by the compression library: the same sums.
    const std::string text = Text(600, 3);
    for (std::size_t length = 0; length <= text.size(); length += 7) {
        const auto piece = Bytes(text).first(length);
        EXPECT_EQ(plat::Crc32(0x1234, piece),
                  static_cast<std::uint32_t>(crc32(0x1234, piece.data(), static_cast<uInt>(length))))
            << length;
    }
}

}  // namespace
