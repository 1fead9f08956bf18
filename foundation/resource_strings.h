#pragma once
// Message texts by string-table id. Each call returns the caller's own copy, so
// threads never share a text buffer. An unknown id gives an empty text. The ids come
// with it, by name (resources/string_ids.h).

#include <string>

#include "platform/core/win_types.h"
#include "resources/string_ids.h"

std::string LoadResString(UINT id);
std::wstring LoadResStringW(UINT id);
