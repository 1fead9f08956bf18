#include "engine/actions/copy_finish_notes.h"

#include <cstdint>
#include <random>
#include <vector>

#include "platform/core/dir_listing.h"
#include "platform/core/errors.h"
#include "platform/core/file_handle.h"
#include "platform/core/file_ops.h"
#include "platform/core/file_time.h"
#include "platform/core/paths.h"
#include "platform/core/whole_file.h"

namespace {

constexpr std::string_view kNotePrefix = "~qbnote-";
constexpr std::size_t kNoteDigits = 16;
constexpr std::string_view kNoteMagic = "QBNOTE1";
constexpr std::size_t kLongestNote = 64 * 1024;
// How far from the note's own time the rename may have dated the copy: the rename follows
// the note at once, on a slow driver and with FAT's two-second times.
constexpr std::int64_t kRenameSlackSeconds = 60;

std::string NewNoteName() {
    thread_local std::mt19937_64 random{std::random_device{}()};
    static constexpr char kHex[] = "0123456789abcdef";
    std::string name(kNotePrefix);
    std::uint64_t bits = random();
    for (std::size_t i = 0; i < kNoteDigits; ++i, bits >>= 4) name += kHex[bits & 0xF];
    return name;
}

std::uint64_t Ticks(const FILETIME& time) {
    return (static_cast<std::uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

FILETIME FromTicks(std::uint64_t ticks) {
    FILETIME time;
    time.dwLowDateTime = static_cast<DWORD>(ticks);
    time.dwHighDateTime = static_cast<DWORD>(ticks >> 32);
    return time;
}

// Fields separated by NUL, which no path holds.
struct Note {
    std::string tempPath;
    std::string targetPath;
    ULONGLONG size = 0;
    FILETIME lastAccess{};
    FILETIME lastWrite{};
};

std::string NoteText(const Note& note) {
    std::string text(kNoteMagic);
    for (const std::string& field : {note.tempPath, note.targetPath, std::to_string(note.size),
                                     std::to_string(Ticks(note.lastAccess)), std::to_string(Ticks(note.lastWrite))}) {
        text += '\0';
        text += field;
    }
    return text;
}

bool ParseNumber(const std::string& text, std::uint64_t& value) {
    if (text.empty() || text.size() > 20) return false;
    value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') return false;
        value = value * 10 + static_cast<std::uint64_t>(c - '0');
    }
    return true;
}

bool ParseNote(const std::string& text, Note& note) {
    std::vector<std::string> fields;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find('\0', start)) != std::string::npos; start = end + 1)
        fields.push_back(text.substr(start, end - start));
    fields.push_back(text.substr(start));
    std::uint64_t size = 0;
    std::uint64_t access = 0;
    std::uint64_t write = 0;
    if (fields.size() != 6 || fields[0] != kNoteMagic || fields[1].empty() || fields[2].empty() ||
        !ParseNumber(fields[3], size) || !ParseNumber(fields[4], access) || !ParseNumber(fields[5], write))
        return false;
    note.tempPath = fields[1];
    note.targetPath = fields[2];
    note.size = size;
    note.lastAccess = FromTicks(access);
    note.lastWrite = FromTicks(write);
    return true;
}

void FinishCopy(const std::string& notePath) {
    std::string text;
    Note note;
    plat::FileInfo noted;
    plat::FileInfo copy;
    if (!plat::GetFileInfo(notePath, noted) || !plat::ReadWholeFile(notePath, &text, kLongestNote) ||
        !ParseNote(text, note))
        return;
    // Still there, the temporary file was never renamed: the target is what it was.
    if (plat::PathExists(note.tempPath)) return;
    if (!plat::GetFileInfo(note.targetPath, copy) || !copy.IsFile() || copy.size != note.size) return;
    const std::int64_t dated = plat::FileTimeToUnixSeconds(copy.lastWriteTime);
    const std::int64_t noteTime = plat::FileTimeToUnixSeconds(noted.lastWriteTime);
    if (dated < noteTime - kRenameSlackSeconds || dated > noteTime + kRenameSlackSeconds) return;
    plat::SetFileTimes(note.targetPath, nullptr, &note.lastAccess, &note.lastWrite);
}

}  // namespace

bool CopyFinishNote::Write(const std::string& noteFolder, const std::string& tempPath, const std::string& targetPath,
                           const plat::FileInfo& source) {
    Remove();
    if (noteFolder.empty()) return false;
    const std::string text = NoteText({tempPath, targetPath, source.size, source.lastAccessTime, source.lastWriteTime});
    const std::string path = plat::JoinPath(noteFolder, NewNoteName());
    plat::FileHandle file;
    if (!file.Open(path, plat::FileOpenMode::CreateNew)) return false;
    if (!file.Write(text.data(), text.size()) || !file.Close()) {
        plat::DeleteFile(path);
        return false;
    }
    path_ = path;
    return true;
}

void CopyFinishNote::Remove() {
    if (path_.empty()) return;
    const DWORD error = GetLastError();
    plat::DeleteFile(path_);
    path_.clear();
    SetLastError(error);
}

bool IsCopyFinishNoteName(std::string_view name) {
    if (name.size() != kNotePrefix.size() + kNoteDigits || !name.starts_with(kNotePrefix)) return false;
    for (const char c : name.substr(kNotePrefix.size())) {
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'))) return false;
    }
    return true;
}

void FinishCopiesCutShort(const std::string& noteFolder) {
    if (noteFolder.empty()) return;
    std::vector<plat::DirEntry> entries;
    if (!plat::ListFolder(noteFolder, entries)) return;
    for (const plat::DirEntry& entry : entries) {
        if (!entry.IsFile() || !IsCopyFinishNoteName(entry.name)) continue;
        const std::string path = plat::JoinPath(noteFolder, entry.name);
        FinishCopy(path);
        plat::DeleteFile(path);
    }
}
