#pragma once
// A line-oriented text file of 8-bit or UTF-16LE text, with byte-order marks.
//
// 8-bit text is UTF-8 (see code_page.h). Lines are written as given; the caller adds
// "\r\n". ReadString returns one line without its line end, whatever the encoding.
// Every failure is a return value with the last error set (GetLastError): the class
// is used from run threads, so it never asks or shows anything.
//
// Sharing: the file is opened so that others may read it while it is open. Linux has
// no way to keep other processes from writing it too; inside the program the log
// writer's lock per path keeps two writers of one file apart.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "platform/core/file_handle.h"
#include "platform/core/win_types.h"

class CStdioFileEx {
public:
    // Open modes (combine with |).
    static constexpr UINT modeRead = 0x0000;
    static constexpr UINT modeWrite = 0x0001;
    static constexpr UINT modeReadWrite = 0x0002;
    static constexpr UINT shareDenyNone = 0x0040;
    static constexpr UINT modeCreate = 0x1000;
    static constexpr UINT modeNoTruncate = 0x2000;
    static constexpr UINT typeText = 0x4000;
    static constexpr UINT typeBinary = 0x8000;
    // The file holds UTF-16LE text.
    static constexpr UINT modeUnicode = 0x200000;

    enum SeekPosition { begin = 0, current = 1, end = 2 };

    // Lines up to this many bytes (8-bit) or code units (UTF-16) come back whole; a
    // longer line comes back in pieces of this size, so a file without line ends
    // never makes the reader take all memory.
    static constexpr std::size_t kMaxLineLength = 16 * 1024 * 1024;

    CStdioFileEx();
    ~CStdioFileEx();
    CStdioFileEx(const CStdioFileEx&) = delete;
    CStdioFileEx& operator=(const CStdioFileEx&) = delete;

    // Opens by path. The disposition follows the mode: modeCreate | modeNoTruncate
    // creates a missing file and keeps an existing one; modeCreate alone creates or
    // empties it; without modeCreate the file must exist. A file opened with
    // modeCreate | modeNoTruncate, or with modeWrite without modeCreate, is appended
    // to: every write goes to its end. False, with the last error set, on failure. Opened for reading, a file that starts with FF FE is UTF-16LE
    // even without modeUnicode. The text bit is ignored: line ends are always handled
    // here, byte by byte. Files opened with modeWrite, modeReadWrite or modeCreate are
    // for writing only on this platform.
    bool Open(const std::string& path, UINT openFlags);
    bool OpenW(const std::wstring& path, UINT openFlags);
    // Closes now; false when closing reported an error. The destructor closes too.
    bool Close();
    bool IsOpen() const { return handle_.IsOpen(); }

    // The new position, or false. Resets the start-of-file state that ReadString uses
    // to skip a byte-order mark.
    bool Seek(LONGLONG offset, SeekPosition from, ULONGLONG* newPosition = nullptr);
    bool SeekToEnd() { return Seek(0, end); }
    bool GetPosition(ULONGLONG& position);
    bool GetLength(ULONGLONG& length) const;
    // Cuts or extends the file; the position is left where it was.
    bool SetLength(ULONGLONG length);

    // Writes 8-bit text, after the byte-order mark when the file is still empty: as
    // UTF-16LE in Unicode mode, else the bytes as they are. Nothing is added.
    bool WriteString(std::string_view text);
    // Writes wide text: UTF-16LE in Unicode mode, else UTF-8.
    bool WriteStringW(std::wstring_view text);

    // The next line, without its line feed, one carriage return before it and anything
    // from its first NUL on. False, with `line` emptied, at the end of the file.
    bool ReadString(std::string& line);

    bool IsFileUnicodeText() const { return unicode_; }

private:
    bool OpenPath(const std::string& path, UINT openFlags);
    bool OpenAlways(const std::string& path);
    void ProcessFlags(UINT openFlags);

    // One write of the whole text, so a line is never split between writers.
    bool WriteBytes(const void* data, std::size_t count);
    bool WriteUtf16(std::wstring_view text);
    // The byte-order mark goes only where the text lands at the start of the file.
    bool WillWriteAtStart();

    // Reading goes through a buffer of which `bufferPos_` of `bufferLen_` bytes are used.
    // Makes at least `count` unread bytes available when the file still has them.
    bool EnsureBuffered(std::size_t count);
    bool NextByte(char& byte);
    // Gives back unread bytes by moving the file position to where the reader stands.
    bool DropBuffer();
    bool StartsWith(std::string_view mark);
    void SkipIfStartsWith(std::string_view mark);
    // 0 a line was read, -1 end of file before any text.
    int ReadNarrowLine(std::string& line);
    int ReadWideLine(std::u16string& line);

    plat::FileHandle handle_;
    bool unicode_ = false;
    UINT openFlags_ = 0;
    bool appending_ = false;
    bool atStart_ = true;
    std::vector<char> buffer_;
    std::size_t bufferPos_ = 0;
    std::size_t bufferLen_ = 0;
};
