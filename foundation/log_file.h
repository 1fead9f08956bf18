#pragma once
// One log file that lines are appended to. The file is opened for each write and closed
// at once, so it is complete on disk after every line and readable while a run goes on.
//
// Every write holds a lock kept per log path for the whole process: the run's worker,
// its catalog threads and any other CLog of the same file wait for each other instead
// of losing or mixing lines. A line that cannot be written (missing folder, no right to
// write, full disk) is dropped, with nothing left of it in the file, and nothing is
// asked or shown: the writers are run threads. The next write tries again. The first
// failure is kept for the owner to report once (TakeFirstFailure).

#include <atomic>
#include <functional>
#include <string>
#include <string_view>

#include "platform/core/win_types.h"

class CStdioFileEx;

class CLog {
public:
    // Asked, with the question's text and caption, whether to clear a log that has
    // grown past its limit; true clears it.
    using ClearQuestion = std::function<bool(const std::string& text, const std::string& caption)>;

    // `limitKb` 0 means 100,000 KB. `ask` allows CheckSize to ask, once.
    CLog(std::wstring path, UINT limitKb, bool ask);
    virtual ~CLog();
    CLog(const CLog&) = delete;
    CLog& operator=(const CLog&) = delete;

    // Append the text and "\r\n". An empty text writes nothing at all, not even a line
    // end. True when the line reached the file.
    bool WriteLine(std::string_view text);
    bool WriteLineW(std::wstring_view text);  // written as UTF-8

    // Formats the string-table text `id` with `text` and the local date and time
    // ("%x %X " in the process's locale) and appends it. Returns the line with its
    // "\r\n", also when it could not be written.
    std::string WriteHeader(UINT id, std::string_view text);

    // Empties the file, creating it when missing. False for an empty path or a file
    // that cannot be opened.
    bool Clear();

    // When asking is still allowed and the file on disk is longer than the limit, asks
    // `ask` whether to clear it, clears it on yes and never asks again. With no `ask`
    // nothing is asked and asking stays allowed: a run's threads call it that way,
    // since only the GUI thread may put a question to the user. A GUI-thread caller
    // passes AskInMessageBox.
    void CheckSize(const ClearQuestion& ask = {});

    // Yes/No message box with the application title, for callers on the GUI thread.
    static bool AskInMessageBox(const std::string& text, const std::string& caption);

    // True, with the reason of the first write (or Clear) that failed, the first time it
    // is called after a failure; false before any failure and on every later call.
    bool TakeFirstFailure(DWORD& error);

    const std::wstring& Path() const { return path_; }
    ULONGLONG LimitBytes() const { return limitBytes_; }
    bool MayAsk() const { return ask_.load(); }

private:
    // Opens the file for appending: created when missing, kept when present.
    bool Open(CStdioFileEx& file) const;
    // Runs `write` on the open file under the path's lock; a failed write is cut back off.
    bool Append(const std::function<bool(CStdioFileEx&)>& write);

    // Keeps the last error as the first failure, unless one is kept already.
    void NoteFailure();

    const std::wstring path_;
    const ULONGLONG limitBytes_;
    std::atomic<bool> ask_;
    std::atomic<DWORD> firstError_{ERROR_SUCCESS};
    std::atomic<bool> failureTaken_{false};
};
