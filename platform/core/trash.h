#pragma once
// Moving files and folders to the desktop's trash, as the freedesktop.org trash layout
// describes it: the item goes to <trash>/files/<name> and <trash>/info/<name>.trashinfo
// records where it came from and when. Items are only ever renamed into the trash;
// when that cannot be done the call fails and the item stays where it was. Nothing is
// ever deleted for good here.

#include <ctime>
#include <string>
#include <string_view>
#include <sys/types.h>

namespace plat {

// $XDG_DATA_HOME/Trash, or ~/.local/share/Trash when XDG_DATA_HOME is unset or not an
// absolute path; "" when no home folder can be found.
std::string HomeTrashFolder();

// Moves the file, folder or link (the link itself) at `path` to the trash of its file
// system: the home trash for the home trash's file system, else the trash at the top of
// the item's own file system. False, with the last error set, when the item cannot be
// trashed; it is then left untouched. `trashedAs` receives the item's path in the trash.
bool MoveToTrash(const std::string& path, std::string* trashedAs = nullptr);

// The trash of the file system mounted at `topDir` for user `uid`: $topDir/.Trash/$uid
// when $topDir/.Trash is a real folder (not a link) with the sticky bit, else
// $topDir/.Trash-$uid, made with mode 0700 when missing and used only when it is a real
// folder owned by that user. "" (last error set) when neither can be used.
std::string TopDirTrashFolder(const std::string& topDir, uid_t uid);

// True for the names of the trash folders at the top of a file system: ".Trash" and
// ".Trash-<uid>" for any user id.
bool IsTopDirTrashName(std::string_view name);

// The content of an info file: "[Trash Info]", the original path percent-encoded, and
// the local time of the deletion as YYYY-MM-DDThh:mm:ss.
std::string TrashInfoText(std::string_view originalPath, std::time_t deletionTime);

// Every byte but letters, digits, "-", "_", ".", "~" and "/" becomes %XX.
std::string EncodeTrashPath(std::string_view path);

}  // namespace plat
