#pragma once
// Opening files for the user the way the desktop does: with the default application for the
// file, or in the desktop's text editor. The application runs on its own; these calls return
// once it has been launched.

#include <string>

namespace plat {

// Opens a file or folder with the desktop's default handler (xdg-open). False, with
// GetLastError: ERROR_INVALID_PARAMETER for an empty path, ERROR_FILE_NOT_FOUND when the
// path does not exist, ERROR_NOT_SUPPORTED when the desktop offers no opener.
bool OpenWithDefaultHandler(const std::string& path);

// Opens a file in the desktop's text editor: the application the desktop names for plain
// text (xdg-mime), launched on the file (gtk-launch). Where the desktop names none, the
// file goes to its default handler. Failures as for OpenWithDefaultHandler.
bool OpenInTextEditor(const std::string& path);

}  // namespace plat
