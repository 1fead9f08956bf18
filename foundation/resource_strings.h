#pragma once
// Message texts by string-table id. Each call returns the caller's own copy, so
// threads never share a text buffer. An unknown id gives an empty text.

#include <string>

#include "platform/core/win_types.h"

std::string LoadResString(UINT id);
std::wstring LoadResStringW(UINT id);

// The application title used as the caption of message boxes.
inline constexpr UINT IDS_APP_TITLE = 57344;
