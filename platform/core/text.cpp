#include "platform/core/text.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <cwctype>
#include <locale.h>
#include <vector>
#include <wctype.h>

namespace plat {

namespace {

constexpr char32_t kReplacement = 0xFFFD;
constexpr char32_t kEscapeBase = 0xDC00;  // invalid byte b becomes U+DC00 + b (b >= 0x80)

bool IsContinuation(unsigned char b) { return (b & 0xC0) == 0x80; }

// Length of the well-formed UTF-8 sequence that starts at p (1 to 4), or 0 when the
// bytes there are not one: overlong forms, encoded surrogates, values above U+10FFFF,
// stray continuation bytes and sequences cut short are all rejected.
std::size_t ValidSequenceLength(const unsigned char* p, std::size_t avail) {
    const unsigned char b0 = p[0];
    if (b0 < 0x80) return 1;
    std::size_t len;
    unsigned char lo = 0x80, hi = 0xBF;  // allowed range of the second byte
    if (b0 >= 0xC2 && b0 <= 0xDF) {
        len = 2;
    } else if (b0 >= 0xE0 && b0 <= 0xEF) {
        len = 3;
        if (b0 == 0xE0) lo = 0xA0;  // overlong
        if (b0 == 0xED) hi = 0x9F;  // surrogates
    } else if (b0 >= 0xF0 && b0 <= 0xF4) {
        len = 4;
        if (b0 == 0xF0) lo = 0x90;  // overlong
        if (b0 == 0xF4) hi = 0x8F;  // above U+10FFFF
    } else {
        return 0;
    }
    if (avail < len) return 0;
    if (p[1] < lo || p[1] > hi) return 0;
    for (std::size_t i = 2; i < len; ++i) {
        if (!IsContinuation(p[i])) return 0;
    }
    return len;
}

char32_t DecodeSequence(const unsigned char* p, std::size_t len) {
    switch (len) {
    case 1: return p[0];
    case 2: return (char32_t(p[0] & 0x1F) << 6) | (p[1] & 0x3F);
    case 3: return (char32_t(p[0] & 0x0F) << 12) | (char32_t(p[1] & 0x3F) << 6) | (p[2] & 0x3F);
    default:
        return (char32_t(p[0] & 0x07) << 18) | (char32_t(p[1] & 0x3F) << 12) | (char32_t(p[2] & 0x3F) << 6) |
               (p[3] & 0x3F);
    }
}

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

bool IsHighSurrogate(char32_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLowSurrogate(char32_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

// Case mapping uses the full Unicode tables of the built-in C.UTF-8 locale, so the result
// does not depend on the user's locale. Without it, ASCII and Latin-1 are mapped by hand.
locale_t UnicodeCtype() {
    static const locale_t loc = newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(nullptr));
    return loc;
}

wchar_t LowerChar(wchar_t c) {
    if (locale_t loc = UnicodeCtype()) return static_cast<wchar_t>(towlower_l(static_cast<wint_t>(c), loc));
    if ((c >= L'A' && c <= L'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7)) return static_cast<wchar_t>(c + 32);
    return c;
}

char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; }

bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t'; }

}  // namespace

std::wstring Utf8ToWide(std::string_view bytes) {
    std::wstring out;
    out.reserve(bytes.size());
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    std::size_t i = 0;
    while (i < bytes.size()) {
        const std::size_t len = ValidSequenceLength(p + i, bytes.size() - i);
        if (len == 0) {
            out += static_cast<wchar_t>(kEscapeBase + p[i]);
            ++i;
        } else {
            out += static_cast<wchar_t>(DecodeSequence(p + i, len));
            i += len;
        }
    }
    return out;
}

std::string WideToUtf8(std::wstring_view wide) {
    std::string out;
    out.reserve(wide.size());
    for (const wchar_t wc : wide) {
        const auto c = static_cast<char32_t>(wc);
        if (c >= kEscapeBase + 0x80 && c <= kEscapeBase + 0xFF) {
            out += static_cast<char>(c - kEscapeBase);
        } else if ((c >= 0xD800 && c <= 0xDFFF) || c > 0x10FFFF) {
            AppendUtf8(out, kReplacement);
        } else {
            AppendUtf8(out, c);
        }
    }
    return out;
}

std::u16string WideToUtf16(std::wstring_view wide) {
    std::u16string out;
    out.reserve(wide.size());
    for (const wchar_t wc : wide) {
        char32_t c = static_cast<char32_t>(wc);
        if (c > 0x10FFFF) c = kReplacement;
        if (c >= 0x10000) {
            c -= 0x10000;
            out += static_cast<char16_t>(0xD800 + (c >> 10));
            out += static_cast<char16_t>(0xDC00 + (c & 0x3FF));
        } else {
            // Lone surrogates (byte escapes among them) pass through unchanged.
            out += static_cast<char16_t>(c);
        }
    }
    return out;
}

std::wstring Utf16ToWide(std::u16string_view utf16) {
    std::wstring out;
    out.reserve(utf16.size());
    for (std::size_t i = 0; i < utf16.size(); ++i) {
        const char32_t c = utf16[i];
        if (IsHighSurrogate(c) && i + 1 < utf16.size() && IsLowSurrogate(utf16[i + 1])) {
            out += static_cast<wchar_t>(0x10000 + ((c - 0xD800) << 10) + (utf16[i + 1] - 0xDC00));
            ++i;
        } else {
            out += static_cast<wchar_t>(c);
        }
    }
    return out;
}

bool WriteUtf16Field(std::span<std::uint8_t> field, std::wstring_view text) {
    std::fill(field.begin(), field.end(), std::uint8_t{0});
    const std::size_t units = field.size() / 2;
    if (units == 0) return text.empty();
    const std::u16string utf16 = WideToUtf16(text);
    std::size_t count = std::min(utf16.size(), units - 1);  // keep one NUL unit
    if (count < utf16.size() && count > 0 && IsHighSurrogate(utf16[count - 1]) && IsLowSurrogate(utf16[count])) {
        --count;  // never leave half of a surrogate pair
    }
    for (std::size_t i = 0; i < count; ++i) {
        field[2 * i] = static_cast<std::uint8_t>(utf16[i] & 0xFF);
        field[2 * i + 1] = static_cast<std::uint8_t>(utf16[i] >> 8);
    }
    return count == utf16.size();
}

std::wstring ReadUtf16Field(std::span<const std::uint8_t> field, bool* terminated) {
    std::u16string utf16;
    bool foundNul = false;
    for (std::size_t i = 0; i + 1 < field.size(); i += 2) {
        const auto unit = static_cast<char16_t>(field[i] | (field[i + 1] << 8));
        if (unit == 0) {
            foundNul = true;
            break;
        }
        utf16 += unit;
    }
    if (terminated) *terminated = foundNul;
    return Utf16ToWide(utf16);
}

std::string_view CutUtf8(std::string_view text, std::size_t maxBytes) {
    if (text.size() <= maxBytes) return text;
    // Only a well-formed sequence can straddle the cut (an invalid byte stands alone), and a
    // sequence is at most four bytes, so looking at the last three bytes before it is enough.
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    const std::size_t from = maxBytes >= 3 ? maxBytes - 3 : 0;
    for (std::size_t j = from; j < maxBytes; ++j) {
        const std::size_t len = ValidSequenceLength(p + j, text.size() - j);
        if (len > 1 && j + len > maxBytes) return text.substr(0, j);
    }
    return text.substr(0, maxBytes);
}

bool WriteNarrowField(std::span<std::uint8_t> field, std::string_view text) {
    std::fill(field.begin(), field.end(), std::uint8_t{0});
    if (field.empty()) return text.empty();
    const std::string_view kept = CutUtf8(text, field.size() - 1);
    std::copy(kept.begin(), kept.end(), field.begin());
    return kept.size() == text.size();
}

std::string ReadNarrowField(std::span<const std::uint8_t> field, bool* terminated) {
    const auto nul = std::find(field.begin(), field.end(), std::uint8_t{0});
    if (terminated) *terminated = nul != field.end();
    return std::string(field.begin(), nul);
}

std::string ToLowerAscii(std::string_view s) {
    std::string out(s);
    std::transform(out.begin(), out.end(), out.begin(), LowerAscii);
    return out;
}

std::wstring ToLowerWide(std::wstring_view s) {
    std::wstring out(s);
    std::transform(out.begin(), out.end(), out.begin(), LowerChar);
    return out;
}

bool EqualsNoCaseAscii(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
    }
    return true;
}

int CompareNoCaseWide(std::wstring_view a, std::wstring_view b) {
    const std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        const wchar_t ca = LowerChar(a[i]);
        const wchar_t cb = LowerChar(b[i]);
        if (ca != cb) return ca < cb ? -1 : 1;
    }
    if (a.size() == b.size()) return 0;
    return a.size() < b.size() ? -1 : 1;
}

namespace {

// The next wide character of `bytes` at `i`, as Utf8ToWide makes it; moves `i` past it.
char32_t NextWideChar(std::string_view bytes, std::size_t& i) {
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data()) + i;
    const std::size_t len = ValidSequenceLength(p, bytes.size() - i);
    if (len == 0) {
        ++i;
        return kEscapeBase + p[0];
    }
    i += len;
    return DecodeSequence(p, len);
}

}  // namespace

namespace {

bool IsContinuationByte(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

// Where the two texts begin to differ, moved back to the start of the character in which
// they do. Up to there they are the same bytes, so the same characters: a position whose
// byte in neither text is a continuation byte starts a character in both, since a valid
// sequence of several bytes continues only with continuation bytes.
std::size_t SamePrefix(std::string_view a, std::string_view b) {
    const std::size_t length = std::min(a.size(), b.size());
    std::size_t at = 0;
    for (; at + 8 <= length; at += 8) {
        std::uint64_t x;
        std::uint64_t y;
        std::memcpy(&x, a.data() + at, 8);
        std::memcpy(&y, b.data() + at, 8);
        if (x != y) break;
    }
    while (at < length && a[at] == b[at]) ++at;
    while (at > 0 && ((at < a.size() && IsContinuationByte(a[at])) || (at < b.size() && IsContinuationByte(b[at])))) {
        --at;
    }
    return at;
}

}  // namespace

int CompareUtf8AsWide(std::string_view a, std::string_view b, bool foldCase) {
    // The same bytes are the same characters, folded or not.
    std::size_t i = SamePrefix(a, b);
    std::size_t j = i;
    while (i < a.size() && j < b.size()) {
        const auto ba = static_cast<unsigned char>(a[i]);
        const auto bb = static_cast<unsigned char>(b[j]);
        char32_t ca;
        char32_t cb;
        if (ba < 0x80 && bb < 0x80) {
            // ASCII, the common case: one byte is one character.
            ca = foldCase ? static_cast<unsigned char>(LowerAscii(static_cast<char>(ba))) : ba;
            cb = foldCase ? static_cast<unsigned char>(LowerAscii(static_cast<char>(bb))) : bb;
            ++i;
            ++j;
        } else {
            ca = NextWideChar(a, i);
            cb = NextWideChar(b, j);
            if (foldCase) {
                ca = static_cast<char32_t>(LowerChar(static_cast<wchar_t>(ca)));
                cb = static_cast<char32_t>(LowerChar(static_cast<wchar_t>(cb)));
            }
        }
        if (ca != cb) return ca < cb ? -1 : 1;
    }
    const bool aEnded = i == a.size();
    const bool bEnded = j == b.size();
    if (aEnded && bEnded) return 0;
    return aEnded ? -1 : 1;
}

std::string TrimBlanks(std::string_view s) {
    std::size_t begin = 0, end = s.size();
    while (begin < end && IsBlank(static_cast<unsigned char>(s[begin]))) ++begin;
    while (end > begin && IsBlank(static_cast<unsigned char>(s[end - 1]))) --end;
    return std::string(s.substr(begin, end - begin));
}

std::wstring TrimBlanksW(std::wstring_view s) {
    std::size_t begin = 0, end = s.size();
    while (begin < end && IsBlank(s[begin])) ++begin;
    while (end > begin && IsBlank(s[end - 1])) --end;
    return std::wstring(s.substr(begin, end - begin));
}

std::string Format(const char* fmt, ...) {
    va_list args;
    va_start(args, fmt);
    va_list again;
    va_copy(again, args);
    const int needed = std::vsnprintf(nullptr, 0, fmt, args);
    va_end(args);
    std::string out;
    if (needed > 0) {
        std::vector<char> buf(static_cast<std::size_t>(needed) + 1);
        std::vsnprintf(buf.data(), buf.size(), fmt, again);
        out.assign(buf.data(), static_cast<std::size_t>(needed));
    }
    va_end(again);
    return out;
}

}  // namespace plat
