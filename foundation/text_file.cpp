#include "foundation/text_file.h"

#include <algorithm>
#include <cstring>

#include "platform/core/errors.h"
#include "platform/core/text.h"

namespace {

constexpr std::string_view kUtf16Bom = "\xFF\xFE";
constexpr std::size_t kReadBufferSize = 64 * 1024;

std::string Utf16LeBytes(std::wstring_view text) {
    const std::u16string units = plat::WideToUtf16(text);
    std::string bytes;
    bytes.reserve(units.size() * 2);
    for (const char16_t unit : units) {
        bytes += static_cast<char>(unit & 0xFF);
        bytes += static_cast<char>(unit >> 8);
    }
    return bytes;
}

}  // namespace

CStdioFileEx::CStdioFileEx() = default;

CStdioFileEx::~CStdioFileEx() = default;

void CStdioFileEx::ProcessFlags(UINT openFlags) {
    unicode_ = (openFlags & modeUnicode) != 0;
    // Always bytes: line ends are this class's business, not the stream's.
    openFlags_ = (openFlags & ~typeText) | typeBinary;
}

bool CStdioFileEx::Open(const std::string& path, UINT openFlags) { return OpenPath(path, openFlags); }

bool CStdioFileEx::OpenW(const std::wstring& path, UINT openFlags) {
    return OpenPath(plat::WideToUtf8(path), openFlags);
}

bool CStdioFileEx::OpenAlways(const std::string& path) {
    // Another thread or program may create or delete the file between the two tries;
    // a few rounds settle it.
    for (int round = 0; round < 4; ++round) {
        if (handle_.Open(path, plat::FileOpenMode::OpenExistingForWrite)) return true;
        if (GetLastError() != ERROR_FILE_NOT_FOUND) return false;
        if (handle_.Open(path, plat::FileOpenMode::CreateNew)) return true;
        if (GetLastError() != ERROR_FILE_EXISTS) return false;
    }
    return false;
}

bool CStdioFileEx::OpenPath(const std::string& path, UINT openFlags) {
    Close();
    ProcessFlags(openFlags);
    const bool create = (openFlags_ & modeCreate) != 0;
    const bool noTruncate = (openFlags_ & modeNoTruncate) != 0;
    const bool write = (openFlags_ & (modeWrite | modeReadWrite)) != 0;
    appending_ = create ? noTruncate : (openFlags_ & modeWrite) != 0;

    bool opened;
    if (create && noTruncate) {
        opened = OpenAlways(path);
    } else if (create) {
        opened = handle_.Open(path, plat::FileOpenMode::CreateOrTruncate);
    } else if (write) {
        opened = handle_.Open(path, plat::FileOpenMode::OpenExistingForWrite);
    } else {
        opened = handle_.Open(path, plat::FileOpenMode::Read);
    }
    if (!opened) return false;

    atStart_ = true;
    if (!create && !write && EnsureBuffered(kUtf16Bom.size()) && StartsWith(kUtf16Bom)) unicode_ = true;
    return true;
}

bool CStdioFileEx::Close() {
    buffer_.clear();
    buffer_.shrink_to_fit();
    bufferPos_ = bufferLen_ = 0;
    return handle_.Close();
}

bool CStdioFileEx::DropBuffer() {
    const std::size_t unread = bufferLen_ - bufferPos_;
    bufferPos_ = bufferLen_ = 0;
    if (unread == 0) return true;
    return handle_.Seek(-static_cast<LONGLONG>(unread), plat::SeekOrigin::Current);
}

bool CStdioFileEx::Seek(LONGLONG offset, SeekPosition from, ULONGLONG* newPosition) {
    atStart_ = true;
    if (!DropBuffer()) return false;
    const plat::SeekOrigin origin = from == begin     ? plat::SeekOrigin::Begin
                                    : from == current ? plat::SeekOrigin::Current
                                                      : plat::SeekOrigin::End;
    return handle_.Seek(offset, origin, newPosition);
}

bool CStdioFileEx::GetPosition(ULONGLONG& position) {
    ULONGLONG filePosition = 0;
    if (!handle_.Seek(0, plat::SeekOrigin::Current, &filePosition)) return false;
    position = filePosition - (bufferLen_ - bufferPos_);
    return true;
}

bool CStdioFileEx::GetLength(ULONGLONG& length) const { return handle_.GetSize(length); }

bool CStdioFileEx::SetLength(ULONGLONG length) { return DropBuffer() && handle_.SetSize(length); }

// --- writing -------------------------------------------------------------------------

bool CStdioFileEx::WillWriteAtStart() {
    ULONGLONG where = 0;
    if (appending_) return GetLength(where) && where == 0;
    return GetPosition(where) && where == 0;
}

bool CStdioFileEx::WriteBytes(const void* data, std::size_t count) {
    if (!handle_.IsOpen()) {
        SetLastError(ERROR_INVALID_HANDLE);
        return false;
    }
    if (count == 0) return true;
    if (!DropBuffer()) return false;
    if (appending_ && !handle_.Seek(0, plat::SeekOrigin::End)) return false;
    return handle_.Write(data, count);
}

bool CStdioFileEx::WriteString(std::string_view text) {
    if (unicode_) return WriteUtf16(plat::Utf8ToWide(text));
    return WriteBytes(text.data(), text.size());
}

bool CStdioFileEx::WriteStringW(std::wstring_view text) {
    if (unicode_) return WriteUtf16(text);
    const std::string bytes = plat::WideToUtf8(text);
    return WriteBytes(bytes.data(), bytes.size());
}

bool CStdioFileEx::WriteUtf16(std::wstring_view text) {
    std::string bytes;
    if (WillWriteAtStart()) bytes = kUtf16Bom;
    bytes += Utf16LeBytes(text);
    return WriteBytes(bytes.data(), bytes.size());
}

// --- reading -------------------------------------------------------------------------

bool CStdioFileEx::EnsureBuffered(std::size_t count) {
    if (!handle_.IsOpen()) {
        SetLastError(ERROR_INVALID_HANDLE);
        return false;
    }
    if (bufferLen_ - bufferPos_ >= count) return true;
    if (buffer_.size() < kReadBufferSize) buffer_.resize(kReadBufferSize);
    // Keep what is unread at the front and fill the rest.
    const std::size_t unread = bufferLen_ - bufferPos_;
    std::memmove(buffer_.data(), buffer_.data() + bufferPos_, unread);
    bufferPos_ = 0;
    bufferLen_ = unread;
    std::size_t got = 0;
    if (!handle_.Read(buffer_.data() + bufferLen_, buffer_.size() - bufferLen_, got)) return false;
    bufferLen_ += got;
    return bufferLen_ - bufferPos_ >= count;
}

bool CStdioFileEx::NextByte(char& byte) {
    if (bufferPos_ == bufferLen_ && !EnsureBuffered(1)) return false;
    byte = buffer_[bufferPos_++];
    return true;
}

bool CStdioFileEx::StartsWith(std::string_view mark) {
    return bufferLen_ - bufferPos_ >= mark.size() &&
           std::memcmp(buffer_.data() + bufferPos_, mark.data(), mark.size()) == 0;
}

void CStdioFileEx::SkipIfStartsWith(std::string_view mark) {
    // Only a real mark is skipped: a file without one keeps its first characters.
    if (EnsureBuffered(mark.size()) && StartsWith(mark)) bufferPos_ += mark.size();
}

int CStdioFileEx::ReadNarrowLine(std::string& line) {
    line.clear();
    bool gotAny = false;
    while (line.size() < kMaxLineLength) {
        if (bufferPos_ == bufferLen_ && !EnsureBuffered(1)) break;
        gotAny = true;
        const char* from = buffer_.data() + bufferPos_;
        const std::size_t available = std::min(bufferLen_ - bufferPos_, kMaxLineLength - line.size());
        const auto* lineFeed = static_cast<const char*>(std::memchr(from, '\n', available));
        if (lineFeed) {
            line.append(from, lineFeed);
            bufferPos_ += static_cast<std::size_t>(lineFeed - from) + 1;
            return 0;
        }
        line.append(from, available);
        bufferPos_ += available;
    }
    return gotAny ? 0 : -1;
}

int CStdioFileEx::ReadWideLine(std::u16string& line) {
    line.clear();
    bool gotAny = false;
    char low = 0;
    char high = 0;
    // An odd byte at the very end is no character and is dropped.
    while (line.size() < kMaxLineLength && NextByte(low) && NextByte(high)) {
        gotAny = true;
        const auto unit =
            static_cast<char16_t>(static_cast<unsigned char>(low) | (static_cast<unsigned char>(high) << 8));
        if (unit == u'\n') return 0;
        line += unit;
    }
    return gotAny ? 0 : -1;
}

bool CStdioFileEx::ReadString(std::string& line) {
    line.clear();
    if (!handle_.IsOpen()) {
        SetLastError(ERROR_INVALID_HANDLE);
        return false;
    }
    ULONGLONG position = 0;
    if (atStart_ && GetPosition(position) && position == 0 && unicode_) SkipIfStartsWith(kUtf16Bom);

    if (unicode_) {
        std::u16string units;
        if (ReadWideLine(units) < 0) return false;
        line = plat::WideToUtf8(plat::Utf16ToWide(units));
    } else if (ReadNarrowLine(line) < 0) {
        return false;
    }

    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (const std::size_t nul = line.find('\0'); nul != std::string::npos) line.resize(nul);
    atStart_ = false;
    return true;
}
