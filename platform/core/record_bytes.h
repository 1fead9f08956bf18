#pragma once
// Little-endian fields of stored records, read and written byte by byte at an offset.
// Callers check the record's size once; every offset here is within it.

#include <cstddef>
#include <cstdint>
#include <span>

#include "platform/core/win_types.h"

namespace plat {

inline void PutU16(std::span<std::uint8_t> bytes, std::size_t offset, WORD value) {
    bytes[offset] = static_cast<std::uint8_t>(value);
    bytes[offset + 1] = static_cast<std::uint8_t>(value >> 8);
}

inline WORD GetU16(std::span<const std::uint8_t> bytes, std::size_t offset) {
    return static_cast<WORD>(bytes[offset] | (bytes[offset + 1] << 8));
}

inline void PutU32(std::span<std::uint8_t> bytes, std::size_t offset, DWORD value) {
    for (std::size_t i = 0; i < 4; ++i) bytes[offset + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

inline DWORD GetU32(std::span<const std::uint8_t> bytes, std::size_t offset) {
    DWORD value = 0;
    for (std::size_t i = 0; i < 4; ++i) value |= static_cast<DWORD>(bytes[offset + i]) << (8 * i);
    return value;
}

inline void PutFileTime(std::span<std::uint8_t> bytes, std::size_t offset, const FILETIME& time) {
    PutU32(bytes, offset, time.dwLowDateTime);
    PutU32(bytes, offset + 4, time.dwHighDateTime);
}

inline FILETIME GetFileTime(std::span<const std::uint8_t> bytes, std::size_t offset) {
    return FILETIME{GetU32(bytes, offset), GetU32(bytes, offset + 4)};
}

}  // namespace plat
