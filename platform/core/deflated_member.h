#pragma once
// Archive members in the form an archive stores them: a raw deflate stream with the
// checksum and length of the bytes it inflates to. Members made so can be deflated on any
// thread before the archive is written, and a stored member can be inflated piece by
// piece, so neither side needs the whole inflated member in memory.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <vector>

struct z_stream_s;

namespace plat {

struct DeflatedMember {
    std::vector<std::uint8_t> data;  // raw deflate stream (no zlib or gzip wrapper)
    std::uint32_t crc = 0;           // CRC-32 of the inflated bytes
    std::uint64_t size = 0;          // length of the inflated bytes
};

// Deflates bytes handed over in pieces, at the fastest level.
class MemberDeflater {
public:
    MemberDeflater();
    ~MemberDeflater();
    MemberDeflater(const MemberDeflater&) = delete;
    MemberDeflater& operator=(const MemberDeflater&) = delete;

    // False when the compressor could not be made or memory ran out; the deflater has then
    // failed and Finish gives nothing.
    bool Add(std::span<const std::uint8_t> bytes);
    std::optional<DeflatedMember> Finish();

private:
    bool Run(int flush);

    std::unique_ptr<z_stream_s> stream_;
    DeflatedMember member_;
    bool failed_ = false;
};

// Inflates a member piece by piece. The member is trusted only once Read has reported its
// end: its stream then ended exactly at the end of its data, and the inflated bytes had
// its length and checksum.
class MemberInflater {
public:
    // The checksum is the caller's to check when it knows it without going over every
    // byte (the bytes are then only checked to end at the stated length).
    enum class Checksum { kChecked, kCallers };

    explicit MemberInflater(const DeflatedMember& member, Checksum checksum = Checksum::kChecked);
    ~MemberInflater();
    MemberInflater(const MemberInflater&) = delete;
    MemberInflater& operator=(const MemberInflater&) = delete;

    // Fills `out` as far as the member reaches and returns how many bytes it wrote: fewer
    // than out.size() only at the member's end, 0 once it has ended. Nothing when the
    // member is damaged or does not match its length or checksum.
    std::optional<std::size_t> Read(std::span<std::uint8_t> out);
    // The whole member was read and found sound.
    bool AtSoundEnd() const { return ended_; }

private:
    const DeflatedMember& member_;
    std::unique_ptr<z_stream_s> stream_;
    std::uint32_t crc_;
    bool checksCrc_;
    std::uint64_t produced_ = 0;
    bool ended_ = false;
    bool failed_ = false;
};

// CRC-32 (the archive checksum) of `bytes`, continued from `crc`.
std::uint32_t Crc32(std::uint32_t crc, std::span<const std::uint8_t> bytes);
// The same continued over `count` zero bytes (at most kMaxCrc32Zeros), without going over
// them: a catalog row is mostly zeros after its name.
inline constexpr std::size_t kMaxCrc32Zeros = 4120;
std::uint32_t Crc32Zeros(std::uint32_t crc, std::size_t count);

}  // namespace plat
