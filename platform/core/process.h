#pragma once
// Programs started by the program: console programs run to their end with their output
// collected (RunProcess), children kept running on the side (ChildProcess), and programs
// launched for the user that live on their own (StartDetached).
//
// No shell is involved: the program gets its arguments as they are. A child gets only its
// three standard streams (every other descriptor of this process stays here), the default
// signal dispositions and a process group of its own, so ending it ends what it started.

#include <sys/types.h>

#include <optional>
#include <string>
#include <vector>

#include "platform/core/owned_fd.h"
#include "platform/core/win_types.h"

namespace plat {

enum class StreamMode {
    Inherit,  // this process's own stream
    Null,     // /dev/null
    Pipe,     // a pipe to this process
};

struct ProcessCommand {
    std::string program;                                  // a path, or a name looked up in this process's PATH
    std::vector<std::string> arguments;                   // after the program's own name
    std::optional<std::vector<std::string>> environment;  // "NAME=value" entries; none: ours
    std::string workingFolder;                            // empty: ours
    StreamMode input = StreamMode::Null;
    StreamMode output = StreamMode::Pipe;
    StreamMode errors = StreamMode::Pipe;

    // RunProcess only:
    std::string inputText;         // written to a piped input, which is then closed
    DWORD timeLimitMs = INFINITE;  // past it the program is ended and the result says so
    DWORD stopGraceMs = 2000;      // between asking a program to end and killing it
};

struct ProcessResult {
    bool started = false;
    DWORD startError = ERROR_SUCCESS;  // why it did not start
    bool exited = false;               // it called exit: exitCode holds the code
    int exitCode = -1;
    int signal = 0;         // the signal that ended it, when it did not exit
    bool timedOut = false;  // it ran past the time limit and was ended
    std::string output;     // what it wrote to a piped standard output
    std::string errors;     // what it wrote to a piped standard error
};

// Runs a program to its end. Piped streams are fed and drained together, so a program that
// writes much to one stream while we wait on the other never stalls. Streams that the
// program's own children keep open after it ended are read a moment longer, then left.
// The program is always waited for: it never stays behind as a zombie.
ProcessResult RunProcess(const ProcessCommand& command);

// A child process that this object owns until it has been waited for.
class ChildProcess {
public:
    ChildProcess() = default;
    // A child still running is killed with its process group and waited for.
    ~ChildProcess();
    ChildProcess(ChildProcess&& other) noexcept;
    ChildProcess& operator=(ChildProcess&& other) noexcept;
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // Starts `command` (its input text and limits are not used). False (GetLastError) when the
    // program cannot be started: ERROR_FILE_NOT_FOUND for a missing program,
    // ERROR_PATH_NOT_FOUND or ERROR_DIRECTORY for an unusable working folder.
    bool Start(const ProcessCommand& command);

    bool IsRunning() const { return pid_ > 0; }
    // This process's ends of the piped streams (invalid when not piped); close them at will.
    OwnedFd& Input() { return input_; }
    OwnedFd& Output() { return output_; }
    OwnedFd& Errors() { return errors_; }

    // Collects the child's end when it has ended; true once it has. Never blocks.
    bool PollExit();
    // Waits at most `timeoutMs` for the child to end; true once it has.
    bool WaitForExit(DWORD timeoutMs);
    // Sends `signal` to the child's process group while the child has not been waited for.
    void Signal(int signal) const;
    // Asks the child to end, kills it after `graceMs`, and waits for it.
    void Stop(DWORD graceMs);
    // The wait status once the child has ended (see waitpid); neither an exit nor a signal
    // when something else in the process collected the child first.
    int Status() const { return status_; }

private:
    pid_t pid_ = -1;
    int status_ = 0;
    OwnedFd input_;
    OwnedFd output_;
    OwnedFd errors_;
};

// Starts a program that lives on its own, for the user: not a child of this process (no
// zombie, nothing to wait for), in a session of its own, with /dev/null for its streams.
// True once the program itself is running; false (GetLastError) when it could not be found
// or started.
bool StartDetached(const std::string& program, const std::vector<std::string>& arguments);

// The full path of a program found in PATH (a name with a '/' is taken as it is), or empty.
std::string FindProgram(const std::string& name);

}  // namespace plat
