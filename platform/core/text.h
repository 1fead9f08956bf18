#pragma once
// Text conversions. 8-bit text is UTF-8 in std::string; wide text is std::wstring
// (UTF-32 on Linux). File names may hold any bytes, so the conversion between bytes
// and wide text round-trips every byte string: a byte that is not part of valid UTF-8
// becomes U+DC80..U+DCFF and turns back into the same byte.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace plat {

// Bytes (UTF-8, possibly invalid) -> wide. Never fails.
std::wstring Utf8ToWide(std::string_view bytes);
// Wide -> bytes. The escapes U+DC80..U+DCFF become their original bytes again;
// any other lone surrogate is written as U+FFFD.
std::string WideToUtf8(std::wstring_view wide);

// Wide text <-> UTF-16 code units (surrogate pairs for characters above U+FFFF).
std::u16string WideToUtf16(std::wstring_view wide);
std::wstring Utf16ToWide(std::u16string_view utf16);

// Writes `text` as UTF-16LE into a fixed record field of `field.size()` bytes: the
// field is zero-filled first, the text is cut on a character boundary (never inside a
// surrogate pair) so that at least one NUL code unit remains. Returns false when the
// text had to be cut.
bool WriteUtf16Field(std::span<std::uint8_t> field, std::wstring_view text);
// Reads a UTF-16LE field up to its first NUL code unit or its end. `terminated` (when
// given) tells whether a NUL was found inside the field.
std::wstring ReadUtf16Field(std::span<const std::uint8_t> field, bool* terminated = nullptr);

// Writes 8-bit text into a fixed field: zero-filled, cut on a UTF-8 character boundary
// so that a NUL remains. Returns false when the text had to be cut.
bool WriteNarrowField(std::span<std::uint8_t> field, std::string_view text);
std::string ReadNarrowField(std::span<const std::uint8_t> field, bool* terminated = nullptr);

// The longest prefix of `text` of at most `maxBytes` bytes that does not end inside a
// UTF-8 sequence.
std::string_view CutUtf8(std::string_view text, std::size_t maxBytes);

// 8-bit helpers.
std::string ToLowerAscii(std::string_view s);
std::wstring ToLowerWide(std::wstring_view s);  // simple case mapping, locale-independent
bool EqualsNoCaseAscii(std::string_view a, std::string_view b);
int CompareNoCaseWide(std::wstring_view a, std::wstring_view b);  // <0, 0, >0
// Compares two byte strings as the wide strings Utf8ToWide makes of them, character by
// character as unsigned values (with `foldCase`, each lowered as CompareNoCaseWide does),
// without making them: the order of the wide strings, kept for text held as bytes.
int CompareUtf8AsWide(std::string_view a, std::string_view b, bool foldCase);
std::string TrimBlanks(std::string_view s);  // spaces and tabs at both ends
std::wstring TrimBlanksW(std::wstring_view s);
// printf-style formatting into a std::string (never truncates).
std::string Format(const char* fmt, ...) __attribute__((format(printf, 1, 2)));

}  // namespace plat
