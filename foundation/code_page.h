#pragma once
// Code pages of 8-bit text. On this platform the system and every user locale use
// UTF-8, so the system code page, the locale's code page and code page 65001 are one
// and the same encoding. No other code page is converted here: the helpers refuse it
// rather than guess.

#include <string>
#include <string_view>

#include "platform/core/win_types.h"

inline constexpr UINT CP_ACP = 0;  // the system's code page
inline constexpr UINT CP_UTF8 = 65001;
inline constexpr UINT kSystemCodePage = 0xFFFFFFFF;  // "use the system's code page"

// The user locale's default 8-bit code page: always UTF-8 here.
UINT GetCurrentLocaleCodePage();

// True for the code pages that mean UTF-8 on this platform: the system code page
// (CP_ACP or kSystemCodePage) and CP_UTF8.
bool IsUtf8CodePage(UINT codePage);

// 8-bit text in `codePage` -> wide text. False (and `wide` emptied) for a code page
// that is not converted here. Bytes that are not valid UTF-8 survive the round trip.
bool MultiByteToWideString(std::string_view text, std::wstring& wide, UINT codePage);
// Wide text -> 8-bit text in `codePage`; false (and `text` emptied) as above.
bool WideToMultiByteString(std::wstring_view wide, std::string& text, UINT codePage);
