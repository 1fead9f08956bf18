#pragma once
// The program-wide start-up state: filled once by start-up, read everywhere.
// Everything else in the program reaches these facts through ProgramState().

#include <atomic>
#include <string>

struct ProgramStateData {
    std::string programFolder;  // the executable's folder, with a final '/'
    std::string dataFolder;     // where settings, the task store and history live
    std::string settingsFile;   // dataFolder + "qboptions.ini"
    std::string profileFile;    // the per-user profile (framework values, "no prompt")
    std::string tempFolder;     // with a final '/'
    std::string userName;
    std::string computerName;
    int windowsVersionClass = 7;  // start-up state class; this platform is always 7
    bool isAdmin = false;
    bool useIniFile = true;  // the settings store always uses the settings file
    char decimalSeparator = '.';
    char thousandSeparator = ',';
    bool daylightSaving = false;
    // Set at start-up when runs decrement the running-task count themselves.
    bool unattendedCounting = true;
};

ProgramStateData& ProgramState();

// Runs started and not yet ended; closing the program waits for it to reach 0.
std::atomic<int>& RunningTaskCount();
