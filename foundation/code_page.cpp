#include "foundation/code_page.h"

#include "platform/core/text.h"

UINT GetCurrentLocaleCodePage() { return CP_UTF8; }

bool IsUtf8CodePage(UINT codePage) { return codePage == CP_ACP || codePage == kSystemCodePage || codePage == CP_UTF8; }

bool MultiByteToWideString(std::string_view text, std::wstring& wide, UINT codePage) {
    wide.clear();
    if (!IsUtf8CodePage(codePage)) return false;
    wide = plat::Utf8ToWide(text);
    return true;
}

bool WideToMultiByteString(std::wstring_view wide, std::string& text, UINT codePage) {
    text.clear();
    if (!IsUtf8CodePage(codePage)) return false;
    text = plat::WideToUtf8(wide);
    return true;
}
