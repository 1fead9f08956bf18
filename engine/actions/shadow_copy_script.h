#pragma once
// The script route of the shadow-copy step: for each group of consecutive waiting files on
// one volume, a batch script "vssexec.bat" in the temporary folder that has `vshadow64.exe`
// make a shadow copy of the volume and call the script back, which maps the copy to B:
// with `dosdev.exe`, copies each file from there with `robocopy.exe` and removes the
// mapping. The script is run with the volume as its one argument.

#include <span>
#include <string>

#include "engine/actions/shadow_copy_blocks.h"
#include "platform/core/win_types.h"

struct SyncRunBlock;

struct ShadowCopyTools {
    std::string vshadow;   // "vshadow64.exe" in the program's folder
    std::string dosdev;    // "dosdev.exe" in the program's folder
    std::string robocopy;  // "robocopy.exe" in the system's programs folder
};

ShadowCopyTools ShadowCopyToolPaths();

// The whole script of one group: CR LF after every line but the last. Each file's line
// names the file's folder below the volume (empty for a file in the volume's root), the
// target's folder and the file's name.
std::string ShadowCopyScriptText(const ShadowCopyTools& tools, const ShadowCopyGroup& group,
                                 std::span<const std::wstring> targets);

// Writes and runs the script of each group in turn, through the console runner. Non-zero
// when every script ended with exit code 0. Fails, logged in red when the task logs, when
// `vshadow64.exe` is missing ("Can't locate vshadow64.exe") or a script cannot be written
// ("Can't open vssexec.bat"); fails without running anything when a waiting file's volume
// cannot be told; stops at the first script that fails.
BOOL ShadowCopyByScript(SyncRunBlock& run, const plat::VolumeSources& volumes = {});
