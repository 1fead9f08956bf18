#pragma once
// Some file systems give a file the time of its rename (the driver in user space for FAT,
// fusefat, does), so a copy renamed into place has its complete data under its name a
// moment before the copier can give it its source's times again. A program killed in that moment
// left a copy that looked changed on both sides to every later Check. A note in the
// side's catalog folder covers the moment: written before the rename, removed once the
// times are set. The next run finds the note and gives the copy its times, before it
// looks at the folders.

#include <string>
#include <string_view>

#include "platform/core/file_info.h"

class CopyFinishNote {
public:
    CopyFinishNote() = default;
    CopyFinishNote(const CopyFinishNote&) = delete;
    CopyFinishNote& operator=(const CopyFinishNote&) = delete;

    // Notes that the temporary file `tempPath` is about to be renamed to `targetPath`,
    // which must then have `source`'s size and times. False when there is no note folder
    // or the note cannot be written: the copy goes on without one.
    bool Write(const std::string& noteFolder, const std::string& tempPath, const std::string& targetPath,
               const plat::FileInfo& source);
    // Removes the note written, if any.
    void Remove();

private:
    std::string path_;
};

bool IsCopyFinishNoteName(std::string_view name);

// Handles the notes that killed runs left in `noteFolder` and removes them. A copy whose
// temporary file is gone (its rename was made), and which still has the noted size and
// the time its rename gave it, gets the noted times. A copy the user has changed since is
// left alone.
void FinishCopiesCutShort(const std::string& noteFolder);
