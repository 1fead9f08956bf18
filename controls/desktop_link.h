#pragma once
// Opens a link (a URL, or a file or folder) with the desktop's default handler.

#include <string>

// False when no handler could be started for it.
bool OpenLinkWithDesktop(const std::string& url);
