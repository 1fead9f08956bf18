#pragma once
// Registry values the program reads and writes (8-bit names; the root is given).

#include <string>

#include "platform/core/registry.h"

int RegReadDword(plat::RegRoot root, const std::string& key, const std::string& value, int defaultValue);
bool RegWriteDwordFlush(plat::RegRoot root, const std::string& key, const std::string& value, int data);
bool RegWriteStringValue(plat::RegRoot root, const std::string& key, const std::string& value, const std::string& text);
// False when either name is empty.
bool RegDeleteNamedValue(plat::RegRoot root, const std::string& key, const std::string& value);
std::string RegReadString(plat::RegRoot root, const std::string& key, const std::string& value,
                          const std::string& defaultValue);
std::wstring RegReadStringW(plat::RegRoot root, const std::string& key, const std::string& value,
                            const std::wstring& defaultValue);
bool RegWriteStringW(plat::RegRoot root, const std::string& key, const std::string& value, const std::wstring& text);
