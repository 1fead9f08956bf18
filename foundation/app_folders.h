#pragma once
// The program's own folders and the system folders it asks for.

#include <string>

// The data folder (with no final separator): "Data" in the program's folder when it can
// be created and written there, else "$XDG_DATA_HOME/quarrybend-sync/Data".
std::string GetAppDataFolder();

// Fills the program-wide start-up state: folders, settings file, per-user profile, user
// and computer names, administrator flag, locale separators. Creates the data folder.
// Returns false when no data folder could be created.
bool InitProgramState();

// A special folder by the platform's number, "" when this system has none.
std::string GetSpecialFolderPath(int csidl);
std::wstring GetSpecialFolderPathW(int csidl);

// Program Files and Common Files have no counterpart here: both give "".
std::string GetProgramFilesDir();
std::string GetCommonFilesDir();

// The folder that holds the user's trashed files.
std::string GetRecycleBinPath();

// True when the program runs with administrator rights (effective user root).
// Never throws; a failed check answers false.
bool IsUserAdmin();
