#pragma once
// Folder tokens of task templates: "<MyDocuments>/Letters" names the user's documents
// folder followed by "Letters". Tokens compare without case.

#include <string>

// A path whose first part is a token comes back with the token replaced by its folder.
// A path whose first part is no token, or a token whose folder this system does not
// have, comes back unchanged; an empty path gives "". A result longer than a path may
// be is refused (the path comes back unchanged).
std::string ExpandFolderTokens(const std::string& path);
