#include "platform/core/zip_pkware.h"

namespace plat {

PkwareCipher::PkwareCipher(const char* password) {
    for (const char* c = password; *c != '\0'; ++c) Update(static_cast<std::uint8_t>(*c));
}

void PkwareCipher::Decrypt(std::span<const std::uint8_t> in, std::span<std::uint8_t> out) {
    for (std::size_t i = 0; i < in.size(); ++i) out[i] = Decrypt(in[i]);
}

void PkwareCipher::Encrypt(std::span<const std::uint8_t> in, std::span<std::uint8_t> out) {
    for (std::size_t i = 0; i < in.size(); ++i) out[i] = Encrypt(in[i]);
}

}  // namespace plat
