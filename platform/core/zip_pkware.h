#pragma once
// The traditional PKWARE cipher of ZIP members: three keys stirred by each plain byte,
// a 12-byte header in front of the stored data whose last byte tells a wrong password.
// Done here byte by byte from a table, which is many times faster than the library's own
// (a checksum call per key and byte); a catalog of a million rows stores about 15 MB.

#include <cstddef>
#include <cstdint>
#include <span>

#include "platform/core/crc32_table.h"

namespace plat {

inline constexpr std::size_t kPkwareHeaderSize = 12;

class PkwareCipher {
public:
    // Keys set from the password.
    explicit PkwareCipher(const char* password);

    std::uint8_t Decrypt(std::uint8_t cipher) {
        const auto plain = static_cast<std::uint8_t>(cipher ^ KeyByte());
        Update(plain);
        return plain;
    }
    std::uint8_t Encrypt(std::uint8_t plain) {
        const auto cipher = static_cast<std::uint8_t>(plain ^ KeyByte());
        Update(plain);
        return cipher;
    }
    // `out` (as long as `in`, or `in` itself) receives the bytes of `in` decrypted or
    // encrypted in turn.
    void Decrypt(std::span<const std::uint8_t> in, std::span<std::uint8_t> out);
    void Encrypt(std::span<const std::uint8_t> in, std::span<std::uint8_t> out);

private:
    std::uint8_t KeyByte() const {
        const std::uint32_t t = (keys_[2] | 2) & 0xFFFF;
        return static_cast<std::uint8_t>((t * (t ^ 1)) >> 8);
    }
    void Update(std::uint8_t plain) {
        keys_[0] = CrcStep(keys_[0], plain);
        keys_[1] = (keys_[1] + (keys_[0] & 0xFF)) * 134775813u + 1;
        keys_[2] = CrcStep(keys_[2], static_cast<std::uint8_t>(keys_[1] >> 24));
    }
    static std::uint32_t CrcStep(std::uint32_t crc, std::uint8_t byte) { return crc32_detail::Step(crc, byte); }

    std::uint32_t keys_[3] = {0x12345678u, 0x23456789u, 0x34567890u};
};

}  // namespace plat
