#include "platform/core/text.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace {

using plat::Utf8ToWide;
using plat::WideToUtf8;

std::string Bytes(std::initializer_list<int> values) {
    std::string s;
    for (int v : values) s += static_cast<char>(v);
    return s;
}

std::vector<std::uint8_t> FieldBytes(std::size_t n) { return std::vector<std::uint8_t>(n, 0xAA); }

TEST(Utf8Wide, EveryShortByteStringRoundTrips) {
    for (int a = 0; a < 256; ++a) {
        const std::string one = Bytes({a});
        ASSERT_EQ(WideToUtf8(Utf8ToWide(one)), one) << a;
        for (int b = 0; b < 256; ++b) {
            const std::string two = Bytes({a, b});
            ASSERT_EQ(WideToUtf8(Utf8ToWide(two)), two) << a << "," << b;
        }
    }
}

TEST(Utf8Wide, FourByteStringsOfBoundaryBytesRoundTrip) {
    // Bytes at the edges of every UTF-8 rule, in every combination of four.
    const int edges[] = {0x00, 0x41, 0x7F, 0x80, 0x8F, 0x90, 0x9F, 0xA0, 0xBF, 0xC0,
                         0xC1, 0xC2, 0xDF, 0xE0, 0xED, 0xEF, 0xF0, 0xF4, 0xF5, 0xFF};
    for (int a : edges)
        for (int b : edges)
            for (int c : edges)
                for (int d : edges) {
                    const std::string s = Bytes({a, b, c, d});
                    ASSERT_EQ(WideToUtf8(Utf8ToWide(s)), s);
                }
}

TEST(Utf8Wide, RandomByteStringsRoundTrip) {
    std::mt19937 rng(12345);
    std::uniform_int_distribution<int> byte(0, 255), len(0, 64);
    for (int i = 0; i < 20000; ++i) {
        std::string s;
        const int n = len(rng);
        for (int k = 0; k < n; ++k) s += static_cast<char>(byte(rng));
        ASSERT_EQ(WideToUtf8(Utf8ToWide(s)), s);
    }
}

TEST(Utf8Wide, ValidTextDecodesToItsCharacters) {
    EXPECT_EQ(Utf8ToWide("abc"), L"abc");
    EXPECT_EQ(Utf8ToWide("\xC3\xA9"), L"\u00E9");
    EXPECT_EQ(Utf8ToWide("\xE2\x82\xAC"), L"\u20AC");
    EXPECT_EQ(Utf8ToWide("\xF0\x9F\x98\x80"), std::wstring(1, wchar_t(0x1F600)));
    EXPECT_EQ(Utf8ToWide("\xF4\x8F\xBF\xBF"), std::wstring(1, wchar_t(0x10FFFF)));
    EXPECT_EQ(Utf8ToWide(std::string("a\0b", 3)), std::wstring(L"a\0b", 3));
}

TEST(Utf8Wide, EveryScalarValueSurvivesBothWays) {
    std::wstring all;
    for (wchar_t c = 1; c <= 0x10FFFF; ++c) {
        if (c >= 0xD800 && c <= 0xDFFF) continue;
        all += c;
    }
    EXPECT_EQ(Utf8ToWide(WideToUtf8(all)), all);
    EXPECT_EQ(plat::Utf16ToWide(plat::WideToUtf16(all)), all);
}

TEST(Utf8Wide, InvalidBytesBecomeEscapes) {
    auto esc = [](std::initializer_list<int> bytes) {
        std::wstring w;
        for (int b : bytes) w += static_cast<wchar_t>(0xDC00 + b);
        return w;
    };
    EXPECT_EQ(Utf8ToWide("\xC0\xAF"), esc({0xC0, 0xAF}));            // overlong '/'
    EXPECT_EQ(Utf8ToWide("\xE0\x80\xAF"), esc({0xE0, 0x80, 0xAF}));  // overlong 3-byte
    EXPECT_EQ(Utf8ToWide("\xF0\x80\x80\xAF"), esc({0xF0, 0x80, 0x80, 0xAF}));
    EXPECT_EQ(Utf8ToWide("\xED\xA0\x80"), esc({0xED, 0xA0, 0x80}));            // encoded surrogate
    EXPECT_EQ(Utf8ToWide("\xF4\x90\x80\x80"), esc({0xF4, 0x90, 0x80, 0x80}));  // above U+10FFFF
    EXPECT_EQ(Utf8ToWide("\xF5\xFE\xFF"), esc({0xF5, 0xFE, 0xFF}));
    EXPECT_EQ(Utf8ToWide("\xE2\x82"
                         "A"),
              esc({0xE2, 0x82}) + L"A");  // truncated
    EXPECT_EQ(Utf8ToWide("a\x80"
                         "b"),
              L"a" + esc({0x80}) + L"b");
    // A good sequence right after a bad byte is still decoded.
    EXPECT_EQ(Utf8ToWide("\xE2\xC3\xA9"), esc({0xE2}) + L"\u00E9");
}

TEST(Utf8Wide, WideOutsideTheEscapesIsWrittenSafely) {
    EXPECT_EQ(WideToUtf8(std::wstring(1, wchar_t(0xDC80))), "\x80");
    EXPECT_EQ(WideToUtf8(std::wstring(1, wchar_t(0xDCFF))), "\xFF");
    EXPECT_EQ(WideToUtf8(std::wstring(1, wchar_t(0xDC7F))), "\xEF\xBF\xBD");  // not an escape
    EXPECT_EQ(WideToUtf8(std::wstring(1, wchar_t(0xD800))), "\xEF\xBF\xBD");
    EXPECT_EQ(WideToUtf8(std::wstring(1, wchar_t(0x110000))), "\xEF\xBF\xBD");
    EXPECT_EQ(WideToUtf8(std::wstring(1, wchar_t(-1))), "\xEF\xBF\xBD");
}

TEST(Utf16, PairsAndLoneSurrogates) {
    const std::wstring emoji(1, wchar_t(0x1F600));
    EXPECT_EQ(plat::WideToUtf16(emoji), std::u16string(u"\xD83D\xDE00"));
    EXPECT_EQ(plat::Utf16ToWide(u"\xD83D\xDE00"), emoji);
    // Escaped bytes and stray surrogates keep their value both ways.
    const std::u16string lone = {0xDC80, u'a', 0xD800};
    EXPECT_EQ(plat::Utf16ToWide(lone), (std::wstring{wchar_t(0xDC80), L'a', wchar_t(0xD800)}));
    EXPECT_EQ(plat::WideToUtf16(plat::Utf16ToWide(lone)), lone);
    EXPECT_EQ(plat::WideToUtf16(std::wstring(1, wchar_t(0x110000))), std::u16string(u"\xFFFD"));
    // A file name with invalid bytes survives the trip through a UTF-16 record.
    const std::string name = "caf\xE9 \xFF.txt";
    EXPECT_EQ(WideToUtf8(plat::Utf16ToWide(plat::WideToUtf16(Utf8ToWide(name)))), name);
}

TEST(Utf16Field, ExactLayout) {
    auto field = FieldBytes(10);
    EXPECT_TRUE(plat::WriteUtf16Field(field, L"ab\u20AC"));
    EXPECT_EQ(field, (std::vector<std::uint8_t>{'a', 0, 'b', 0, 0xAC, 0x20, 0, 0, 0, 0}));
    bool terminated = false;
    EXPECT_EQ(plat::ReadUtf16Field(field, &terminated), L"ab\u20AC");
    EXPECT_TRUE(terminated);
}

TEST(Utf16Field, CutAtEveryBoundary) {
    const std::wstring text =
        L"a\u00E9" + std::wstring(1, wchar_t(0x1F600)) + L"b" + std::wstring(1, wchar_t(0x10400)) + L"c";
    const std::u16string units = plat::WideToUtf16(text);
    for (std::size_t size = 0; size <= 2 * units.size() + 5; ++size) {
        auto field = FieldBytes(size);
        const bool whole = plat::WriteUtf16Field(field, text);
        EXPECT_EQ(whole, 2 * units.size() + 2 <= size) << size;
        if (size >= 2) {
            // The last whole unit that fits before the end always stays NUL.
            const std::size_t last = size / 2 - 1;
            EXPECT_EQ(field[2 * last], 0);
            EXPECT_EQ(field[2 * last + 1], 0);
        }
        bool terminated = false;
        const std::wstring back = plat::ReadUtf16Field(field, &terminated);
        EXPECT_TRUE(terminated || size < 2) << size;
        EXPECT_EQ(text.compare(0, back.size(), back), 0) << size;  // a prefix, whole characters
        // Everything after the text is zero.
        const std::size_t used = plat::WideToUtf16(back).size() * 2;
        for (std::size_t i = used; i < size; ++i) EXPECT_EQ(field[i], 0) << size << " at " << i;
        // Only the half of a surrogate pair is dropped beyond what must go.
        if (size >= 2) {
            EXPECT_GE(used / 2 + 1, std::min(units.size(), size / 2 - 1)) << size;
        }
    }
}

TEST(Utf16Field, ReadsUnterminatedAndOddFields) {
    const std::vector<std::uint8_t> full = {'x', 0, 'y', 0, 'z'};
    bool terminated = true;
    EXPECT_EQ(plat::ReadUtf16Field(full, &terminated), L"xy");
    EXPECT_FALSE(terminated);
    EXPECT_EQ(plat::ReadUtf16Field({}, &terminated), L"");
}

TEST(NarrowField, CutAtEveryBoundaryNeverSplitsACharacter) {
    const std::string text =
        "a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80\xFF"
        "b\xE2\x82";
    const std::wstring wide = Utf8ToWide(text);
    for (std::size_t size = 0; size <= text.size() + 3; ++size) {
        auto field = FieldBytes(size);
        const bool whole = plat::WriteNarrowField(field, text);
        EXPECT_EQ(whole, text.size() + 1 <= size) << size;
        if (size > 0) {
            EXPECT_EQ(field[size - 1], 0) << size;
        }
        bool terminated = false;
        const std::string back = plat::ReadNarrowField(field, &terminated);
        EXPECT_TRUE(terminated || size == 0);
        EXPECT_EQ(text.compare(0, back.size(), back), 0) << size;
        const std::wstring backWide = Utf8ToWide(back);
        EXPECT_EQ(wide.compare(0, backWide.size(), backWide), 0) << "split at " << size;
        for (std::size_t i = back.size(); i < size; ++i) EXPECT_EQ(field[i], 0);
    }
}

TEST(NarrowField, CutUtf8) {
    const std::string euro = "x\xE2\x82\xAC";
    EXPECT_EQ(plat::CutUtf8(euro, 10), euro);
    EXPECT_EQ(plat::CutUtf8(euro, 4), euro);
    EXPECT_EQ(plat::CutUtf8(euro, 3), "x");
    EXPECT_EQ(plat::CutUtf8(euro, 2), "x");
    EXPECT_EQ(plat::CutUtf8(euro, 1), "x");
    EXPECT_EQ(plat::CutUtf8(euro, 0), "");
    // Invalid bytes stand alone, so a cut may fall right after any of them.
    EXPECT_EQ(plat::CutUtf8("\xE2\x82\xE2\x82", 3), "\xE2\x82\xE2");
}

TEST(CaseAndBlanks, Helpers) {
    EXPECT_EQ(plat::ToLowerAscii("AbC\xC3\x89"), "abc\xC3\x89");
    EXPECT_EQ(plat::ToLowerWide(L"\u00C4\u00D6\u00DC \u03A3 \u0416 AZ"), L"\u00E4\u00F6\u00FC \u03C3 \u0436 az");
    EXPECT_EQ(plat::ToLowerWide(std::wstring(1, wchar_t(0xDCC4))), std::wstring(1, wchar_t(0xDCC4)));
    EXPECT_TRUE(plat::EqualsNoCaseAscii("Program Options", "PROGRAM options"));
    EXPECT_FALSE(plat::EqualsNoCaseAscii("Task", "Tasks"));
    EXPECT_FALSE(plat::EqualsNoCaseAscii("@", "`"));
    EXPECT_EQ(plat::CompareNoCaseWide(L"\u00C9t\u00E9", L"\u00E9T\u00C9"), 0);
    EXPECT_LT(plat::CompareNoCaseWide(L"a", L"B"), 0);
    EXPECT_GT(plat::CompareNoCaseWide(L"ab", L"A"), 0);
    EXPECT_EQ(plat::TrimBlanks(" \t a b \t"), "a b");
    EXPECT_EQ(plat::TrimBlanks(" \t "), "");
    EXPECT_EQ(plat::TrimBlanksW(L"\tx "), L"x");
}

TEST(CaseAndBlanks, FormatNeverTruncates) {
    const std::string longText(5000, 'q');
    EXPECT_EQ(plat::Format("%s:%d", longText.c_str(), -7), longText + ":-7");
    EXPECT_EQ(plat::Format("%s", ""), "");
}

// Paths are ordered as their wide text, folded or not, whatever bytes they hold: texts
// that share a long beginning, differ inside a character of several bytes, or hold bytes
// that are not UTF-8.
TEST(CaseAndBlanks, Utf8TextsCompareAsTheirWideText) {
    const std::vector<std::string> pieces = {"a",
                                             "B",
                                             "b",
                                             "folder 12/",
                                             "\xC3\xA9",
                                             "\xC3\x89",
                                             "\xC3",
                                             "\xA9",
                                             "\xE2\x82\xAC",
                                             "\xE2\x82",
                                             "\xF0\x9F\x98\x80",
                                             "\xFF",
                                             "Z"};
    std::mt19937 random(7);
    std::vector<std::string> texts;
    for (int n = 0; n < 400; ++n) {
        std::string text = n % 2 ? "a shared beginning/" : "";
        for (int k = static_cast<int>(random() % 5); k >= 0; --k) text += pieces[random() % pieces.size()];
        texts.push_back(text);
    }
    const auto sign = [](int v) { return (v > 0) - (v < 0); };
    for (std::size_t i = 0; i < texts.size(); ++i) {
        for (std::size_t j = 0; j < texts.size(); j += 7) {
            const std::wstring a = plat::Utf8ToWide(texts[i]);
            const std::wstring b = plat::Utf8ToWide(texts[j]);
            ASSERT_EQ(sign(plat::CompareUtf8AsWide(texts[i], texts[j], false)), sign(a.compare(b))) << i << " " << j;
            ASSERT_EQ(sign(plat::CompareUtf8AsWide(texts[i], texts[j], true)),
                      sign(plat::ToLowerWide(a).compare(plat::ToLowerWide(b))))
                << i << " " << j;
        }
    }
}

}  // namespace
