#pragma once
// Runs the external comparer (`diff` from diffutils, or any tool that writes normal-format
// hunk headers and exits 0 same, 1 different, 2 trouble) on two files and reads its hunks.
//
// The comparer gets its arguments as a list (no shell) with "--" before the two paths, so a
// file whose name begins with '-' is read as a file. Its output and errors come back through
// pipes: nothing is written into the program's folder. The wait has no time limit.

#include <string>
#include <vector>

#include "ui/compare/diff_hunk.h"

inline constexpr int kDiffSame = 0;
inline constexpr int kDiffDifferent = 1;
inline constexpr int kDiffError = 2;

// The folder of the executable `exeName`, without its final separator (the root stays "/").
// Throws std::runtime_error for an empty name or one without a separator.
std::string ExeDirOf(const std::string& exeName);
// The running program's folder, as ExeDirOf(GetFullExeName()).
std::string GetExeDir();

// The command line the messages name: the tool, a blank, the options, a blank and the two
// paths in double quotes.
std::string DiffCommandLine(const std::string& tool, const std::string& options, const std::string& left,
                            const std::string& right);

// Runs `diff` from `toolFolder` (the program's folder when empty), else the one on the search
// path, with the blank-separated `options`, in the program's folder. 0: same; 1: different,
// `outputLines` holds the output's lines; 2: `errorText` says why (the comparer's own error
// output, lines joined with CR LF, or what went wrong running it).
int RunDiff(const std::string& toolFolder, const std::string& options, const std::string& left,
            const std::string& right, std::vector<std::string>& outputLines, std::string& errorText);

// RunDiff, then the hunks of its output. 0: same; 1: different, `hunks` filled (emptied
// first); 2: `errorText` says why. Output with no hunk header in it (binary files) and hunks
// that cannot be drawn level (out of order, numbers past 32 bits) are results 2.
int CompareFiles(const std::string& toolFolder, const std::string& left, const std::string& right, DiffHunks& hunks,
                 std::string& errorText);
