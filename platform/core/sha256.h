#pragma once
// SHA-256, for names that must stay distinct when they are shortened.

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace plat {

std::array<std::uint8_t, 32> Sha256(std::span<const std::uint8_t> data);
// Lower-case hex digest of the bytes of `text`.
std::string Sha256Hex(std::string_view text);

}  // namespace plat
