#include "platform/core/deflated_member.h"

#include "platform/core/crc32_table.h"

#include <zlib.h>

#include <limits>
#include <new>
#include <vector>

namespace plat {

namespace {

// Raw deflate, as archive members hold it.
constexpr int kRawWindowBits = -15;
constexpr int kMemoryLevel = 8;
constexpr std::size_t kOutputStep = 64 * 1024;

}  // namespace

std::uint32_t Crc32(std::uint32_t crc, std::span<const std::uint8_t> bytes) {
    constexpr std::size_t kShort = 256;
    if (bytes.size() < kShort) {
        using crc32_detail::kTables;
        std::uint32_t reg = ~crc;
        const std::uint8_t* p = bytes.data();
        std::size_t n = bytes.size();
        for (; n >= 8; n -= 8, p += 8) {
            const std::uint32_t low = reg ^ (std::uint32_t{p[0]} | (std::uint32_t{p[1]} << 8) |
                                             (std::uint32_t{p[2]} << 16) | (std::uint32_t{p[3]} << 24));
            reg = kTables[7][low & 0xFF] ^ kTables[6][(low >> 8) & 0xFF] ^ kTables[5][(low >> 16) & 0xFF] ^
                  kTables[4][low >> 24] ^ kTables[3][p[4]] ^ kTables[2][p[5]] ^ kTables[1][p[6]] ^ kTables[0][p[7]];
        }
        for (; n > 0; --n) reg = crc32_detail::Step(reg, *p++);
        return ~reg;
    }
    uLong value = crc;
    while (!bytes.empty()) {
        const std::size_t piece = std::min<std::size_t>(bytes.size(), std::numeric_limits<uInt>::max());
        value = ::crc32(value, bytes.data(), static_cast<uInt>(piece));
        bytes = bytes.subspan(piece);
    }
    return static_cast<std::uint32_t>(value);
}

namespace {

// For each count of zeros: the operator that moves a checksum over them, and the checksum
// of that many zeros alone.
struct ZeroRuns {
    std::vector<uLong> shift;
    std::vector<uLong> alone;
    ZeroRuns() : shift(kMaxCrc32Zeros + 1), alone(kMaxCrc32Zeros + 1) {
        for (std::size_t n = 0; n <= kMaxCrc32Zeros; ++n) {
            shift[n] = crc32_combine_gen(static_cast<z_off_t>(n));
            // Over n zeros the register is only shifted; the checksum's start and end
            // inversions make the checksum of n zeros that of all ones moved over them.
            alone[n] = crc32_combine_op(0xFFFFFFFFul, 0xFFFFFFFFul, shift[n]);
        }
    }
};

}  // namespace

std::uint32_t Crc32Zeros(std::uint32_t crc, std::size_t count) {
    static const ZeroRuns runs;
    if (count == 0) return crc;
    return static_cast<std::uint32_t>(crc32_combine_op(crc, runs.alone[count], runs.shift[count]));
}

MemberDeflater::MemberDeflater() : stream_(new (std::nothrow) z_stream{}) {
    failed_ = !stream_ || deflateInit2(stream_.get(), Z_BEST_SPEED, Z_DEFLATED, kRawWindowBits, kMemoryLevel,
                                       Z_DEFAULT_STRATEGY) != Z_OK;
    if (failed_) stream_.reset();
}

MemberDeflater::~MemberDeflater() {
    if (stream_) deflateEnd(stream_.get());
}

bool MemberDeflater::Run(int flush) {
    for (;;) {
        if (member_.data.size() - stream_->total_out < kOutputStep) {
            try {
                member_.data.resize(stream_->total_out + 2 * kOutputStep);
            } catch (const std::bad_alloc&) {
                return false;
            }
        }
        const std::size_t room = member_.data.size() - stream_->total_out;
        stream_->next_out = member_.data.data() + stream_->total_out;
        stream_->avail_out = static_cast<uInt>(room);
        const int result = deflate(stream_.get(), flush);
        if (result == Z_STREAM_END) return true;
        if (result != Z_OK && result != Z_BUF_ERROR) return false;
        // Without a flush the compressor wants more input once it has taken all it had;
        // with one it is done only at the stream's end.
        if (flush == Z_NO_FLUSH && stream_->avail_in == 0 && stream_->avail_out != 0) return true;
    }
}

bool MemberDeflater::Add(std::span<const std::uint8_t> bytes) {
    if (failed_) return false;
    member_.crc = Crc32(member_.crc, bytes);
    member_.size += bytes.size();
    while (!bytes.empty() && !failed_) {
        const std::size_t piece = std::min<std::size_t>(bytes.size(), std::numeric_limits<uInt>::max());
        stream_->next_in = const_cast<Bytef*>(bytes.data());
        stream_->avail_in = static_cast<uInt>(piece);
        failed_ = !Run(Z_NO_FLUSH);
        bytes = bytes.subspan(piece);
    }
    return !failed_;
}

std::optional<DeflatedMember> MemberDeflater::Finish() {
    if (failed_) return std::nullopt;
    stream_->next_in = nullptr;
    stream_->avail_in = 0;
    if (!Run(Z_FINISH)) {
        failed_ = true;
        return std::nullopt;
    }
    member_.data.resize(stream_->total_out);
    member_.data.shrink_to_fit();
    failed_ = true;  // the stream is spent
    return std::move(member_);
}

MemberInflater::MemberInflater(const DeflatedMember& member, Checksum checksum)
    : member_(member), stream_(new (std::nothrow) z_stream{}), crc_(0), checksCrc_(checksum == Checksum::kChecked) {
    if (!stream_ || member.data.size() > std::numeric_limits<uInt>::max() ||
        inflateInit2(stream_.get(), kRawWindowBits) != Z_OK) {
        stream_.reset();
        failed_ = true;
        return;
    }
    stream_->next_in = const_cast<Bytef*>(member.data.data());
    stream_->avail_in = static_cast<uInt>(member.data.size());
}

MemberInflater::~MemberInflater() {
    if (stream_) inflateEnd(stream_.get());
}

std::optional<std::size_t> MemberInflater::Read(std::span<std::uint8_t> out) {
    if (failed_) return std::nullopt;
    if (ended_) return 0;
    std::size_t written = 0;
    while (written < out.size()) {
        const std::size_t room = std::min<std::size_t>(out.size() - written, std::numeric_limits<uInt>::max());
        stream_->next_out = out.data() + written;
        stream_->avail_out = static_cast<uInt>(room);
        const int result = inflate(stream_.get(), Z_NO_FLUSH);
        const std::size_t got = room - stream_->avail_out;
        if (checksCrc_) crc_ = Crc32(crc_, out.subspan(written, got));
        written += got;
        produced_ += got;
        const bool longerThanStated = produced_ > member_.size;
        if (result == Z_STREAM_END && !longerThanStated) {
            ended_ = stream_->avail_in == 0 && produced_ == member_.size && (!checksCrc_ || crc_ == member_.crc);
            if (ended_) return written;
        }
        // Longer than stated, a wrong length or checksum at the end, input spent before
        // the stream's end, or data the inflater refuses.
        if (longerThanStated || result != Z_OK) {
            failed_ = true;
            return std::nullopt;
        }
    }
    return written;
}

}  // namespace plat
