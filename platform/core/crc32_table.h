#pragma once
// The archive checksum's tables (CRC-32, reflected polynomial 0xEDB88320), made when the
// program is built: the byte table the traditional cipher steps its keys by, and tables
// for eight bytes at a time for the short pieces (a catalog row's beginning) where a call
// into the compression library costs more than the checksum itself.

#include <array>
#include <cstddef>
#include <cstdint>

namespace plat::crc32_detail {

using Tables = std::array<std::array<std::uint32_t, 256>, 8>;

constexpr Tables MakeTables() {
    Tables tables{};
    for (std::uint32_t n = 0; n < 256; ++n) {
        std::uint32_t c = n;
        for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        tables[0][n] = c;
    }
    for (std::size_t t = 1; t < 8; ++t) {
        for (std::size_t n = 0; n < 256; ++n)
            tables[t][n] = (tables[t - 1][n] >> 8) ^ tables[0][tables[t - 1][n] & 0xFF];
    }
    return tables;
}

inline constexpr Tables kTables = MakeTables();

// The checksum register (not inverted) moved over one byte.
inline std::uint32_t Step(std::uint32_t reg, std::uint8_t byte) { return kTables[0][(reg ^ byte) & 0xFF] ^ (reg >> 8); }

}  // namespace plat::crc32_detail
