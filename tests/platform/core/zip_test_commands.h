#pragma once
// Commands for the archive tests, built the way the program's stores build them.

#include <optional>
#include <string>
#include <string_view>

#include "platform/core/zip_command.h"

namespace ziptest {

inline constexpr char kPassword[] = "7306quab52";

inline int Store(const std::string& archive, const std::string& member, std::string_view bytes,
                 const char* password = kPassword, DWORD level = 5) {
    ZipCommand cmd;
    cmd.structSize = sizeof cmd;
    cmd.function = kZipAddMemory;
    cmd.archivePath = archive.c_str();
    cmd.memberName = member.c_str();
    cmd.compressionLevel = level;
    cmd.passwordOn = password != nullptr ? 1 : 0;
    cmd.password = password;
    cmd.block = bytes.data();
    cmd.blockSize = static_cast<DWORD>(bytes.size());
    return dzip(&cmd);
}

// Stores `bytes` as a new member without rewriting the archive.
inline int Append(const std::string& archive, const std::string& member, std::string_view bytes,
                  const char* password = kPassword, DWORD level = 5) {
    ZipCommand cmd;
    cmd.structSize = sizeof cmd;
    cmd.function = kZipAppendMemory;
    cmd.archivePath = archive.c_str();
    cmd.memberName = member.c_str();
    cmd.compressionLevel = level;
    cmd.passwordOn = password != nullptr ? 1 : 0;
    cmd.password = password;
    cmd.block = bytes.data();
    cmd.blockSize = static_cast<DWORD>(bytes.size());
    return dzip(&cmd);
}

inline int Delete(const std::string& archive, const std::string& member) {
    ZipCommand cmd;
    cmd.structSize = sizeof cmd;
    cmd.function = kZipDeleteMember;
    cmd.archivePath = archive.c_str();
    cmd.memberName = member.c_str();
    return dzip(&cmd);
}

inline UnzipCommand ReadCommand(const std::string& archive, DWORD function, const char* password = kPassword) {
    UnzipCommand cmd;
    cmd.structSize = sizeof cmd;
    cmd.function = function;
    cmd.archivePath = archive.c_str();
    cmd.memberIndex = -1;
    cmd.passwordOn = password != nullptr ? 1 : 0;
    cmd.password = password;
    return cmd;
}

// Member count, or nothing when the count fails.
inline std::optional<DWORD> Count(const std::string& archive) {
    UnzipCommand cmd = ReadCommand(archive, kUnzipCount);
    if (dunzip(&cmd) != 0) return std::nullopt;
    return cmd.memberCount;
}

inline int Find(const std::string& archive, const std::string& member) {
    UnzipCommand cmd = ReadCommand(archive, kUnzipFind);
    cmd.memberName = member.c_str();
    return dunzip(&cmd);
}

inline std::optional<DWORD> SizeByName(const std::string& archive, const std::string& member) {
    UnzipMemberInfo info;
    UnzipCommand cmd = ReadCommand(archive, kUnzipInfoByName);
    cmd.memberName = member.c_str();
    cmd.nameInfo = &info;
    if (dunzip(&cmd) != 0) return std::nullopt;
    return info.uncompressedSize;
}

inline std::optional<DWORD> SizeByIndex(const std::string& archive, LONG index, DWORD function = kUnzipInfoByIndex) {
    UnzipMemberInfo info;
    UnzipCommand cmd = ReadCommand(archive, function);
    cmd.memberIndex = index;
    cmd.indexInfo = &info;
    if (dunzip(&cmd) != 0) return std::nullopt;
    return info.uncompressedSize;
}

// Extracts a member by name (or by index when `member` is empty) into a buffer of
// `capacity` bytes; returns the first `size` bytes read, or the failure code.
struct Extracted {
    int result = -1;
    std::string bytes;
};

inline Extracted ExtractInto(const std::string& archive, const std::string& member, LONG index, std::size_t capacity,
                             const char* password = kPassword) {
    Extracted out;
    out.bytes.assign(capacity, '\0');
    UnzipCommand cmd = ReadCommand(archive, kUnzipExtract, password);
    cmd.memberName = member.empty() ? nullptr : member.c_str();
    cmd.memberIndex = index;
    cmd.outputBuffer = out.bytes.data();
    cmd.outputSize = static_cast<DWORD>(capacity);
    out.result = dunzip(&cmd);
    return out;
}

// The whole member by name, sized through the information function.
inline std::optional<std::string> Extract(const std::string& archive, const std::string& member,
                                          const char* password = kPassword) {
    const std::optional<DWORD> size = SizeByName(archive, member);
    if (!size) return std::nullopt;
    Extracted got = ExtractInto(archive, member, -1, *size, password);
    if (got.result != 0) return std::nullopt;
    return got.bytes;
}

inline std::optional<std::string> ExtractByIndex(const std::string& archive, LONG index) {
    const std::optional<DWORD> size = SizeByIndex(archive, index);
    if (!size) return std::nullopt;
    Extracted got = ExtractInto(archive, std::string(), index, *size);
    if (got.result != 0) return std::nullopt;
    return got.bytes;
}

}  // namespace ziptest
