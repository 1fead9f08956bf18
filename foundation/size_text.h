#pragma once
// Byte counts as the program shows them: "0 bytes", "999 bytes", "1.50KB", "4.66GB".

#include <cstdint>
#include <string>

std::string FormatSizeText(std::uint64_t bytes);
