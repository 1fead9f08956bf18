#pragma once
// A task's log options: the record the run's logging reads, and the state behind the
// "Log" page that edits it. The page widget binds its controls to LogOptionValues.

#include <optional>

#include "platform/core/win_types.h"

enum LogLevel : DWORD {
    kLogDetailed = 0,  // a line for every file operation as well as the summary
    kLogSummary = 1,
};

struct LogOptionValues {
    DWORD log = 1;                 // "Create log": the run writes the two side logs
    DWORD logLevel = kLogSummary;  // radio buttons "Detailed log" / "S&ummary log"
    DWORD clearLog = 0;            // both logs emptied at the start of every run

    bool operator==(const LogOptionValues&) const = default;
};

class CConfigLogPage : public LogOptionValues {
public:
    // Reads the values from the settings store. With `saveToSettings` ("Default Options")
    // OK writes them back; a task's own record never writes the settings.
    explicit CConfigLogPage(bool saveToSettings);

    // The page opens: returns what the controls show and keeps a copy for Cancel.
    LogOptionValues OnOpen();
    // OK with what the controls hold (the level is kept as shown even with logging off).
    // Returns false when the settings could not be written; the record keeps the values.
    bool ApplyOk(const LogOptionValues& controls);
    // Cancel: the values as the page found them (unchanged when it never opened).
    const LogOptionValues& OnCancel();

    // The level buttons and the clear box are usable only while "Create log" is ticked.
    static bool LogDetailsEnabled(const LogOptionValues& controls) { return controls.log != 0; }
    static bool MarksModified(int controlId);
    // The string id of a control's pop-up help, 0 for a control without help.
    static UINT HelpTextId(int controlId);

private:
    bool WriteSettings() const;

    bool saveToSettings_;
    std::optional<LogOptionValues> opened_;
};
