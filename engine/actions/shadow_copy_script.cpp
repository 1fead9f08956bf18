#include "engine/actions/shadow_copy_script.h"

#include "engine/actions/console_process.h"
#include "engine/run/run_block.h"
#include "engine/run/run_log.h"
#include "foundation/options/log_options.h"
#include "foundation/program_state.h"
#include "platform/core/file_handle.h"
#include "platform/core/file_info.h"
#include "platform/core/file_ops.h"
#include "platform/core/paths.h"
#include "platform/core/text.h"

namespace {

// Where the system keeps its own programs.
constexpr const char* kSystemProgramsFolder = "/usr/bin";
constexpr const char* kScriptName = "vssexec.bat";

std::string Quoted(std::string_view text) { return "\"" + std::string(text) + "\""; }

// "dir/name" -> "dir"; "" when there is no '/'.
std::string FolderPart(std::string_view path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string_view::npos ? std::string() : std::string(path.substr(0, slash));
}

std::string NamePart(std::string_view path) {
    const std::size_t slash = path.rfind('/');
    return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

bool TaskLogs(const SyncRunBlock& run) { return run.logOptions && run.logOptions->log != 0; }

bool WriteScript(const std::string& path, const std::string& text) {
    plat::FileHandle file;
    return file.Open(path, plat::FileOpenMode::CreateOrTruncate) && file.Write(text.data(), text.size()) &&
           file.Close();
}

std::string TempFolder() {
    std::string folder = ProgramState().tempFolder;
    return folder.empty() ? std::string("/tmp") : folder;
}

}  // namespace

ShadowCopyTools ShadowCopyToolPaths() {
    const std::string& programFolder = ProgramState().programFolder;
    return ShadowCopyTools{plat::JoinPath(programFolder, "vshadow64.exe"), plat::JoinPath(programFolder, "dosdev.exe"),
                           plat::JoinPath(kSystemProgramsFolder, "robocopy.exe")};
}

std::string ShadowCopyScriptText(const ShadowCopyTools& tools, const ShadowCopyGroup& group,
                                 std::span<const std::wstring> targets) {
    std::string text =
        "setlocal\r\n"
        "if NOT \"%CALLBACK_SCRIPT%\"==\"\" goto :IS_CALLBACK\r\n"
        "set SOURCE_DRIVE_LETTER=%1\r\n"
        "set CALLBACK_SCRIPT=\"%~dpnx0\"\r\n"
        "set TEMP_GENERATED_SCRIPT=GeneratedVarsTempScript.cmd\r\n";
    text += Quoted(tools.vshadow) +
            " -script=%TEMP_GENERATED_SCRIPT% -exec=%CALLBACK_SCRIPT% %SOURCE_DRIVE_LETTER% > \"%~dp0vss.log\"\r\n";
    text +=
        "if errorlevel 1 del /f %TEMP_GENERATED_SCRIPT% & exit %errorlevel%\r\n"
        "del /f %TEMP_GENERATED_SCRIPT%\r\n"
        "@goto :EOF\r\n"
        ":IS_CALLBACK\r\n"
        "setlocal\r\n"
        "call %TEMP_GENERATED_SCRIPT%\r\n";
    text += Quoted(tools.dosdev) + " B: %SHADOW_DEVICE_1%\r\n";
    for (const ShadowCopyFile& file : group.files) {
        const std::string below = plat::WideToUtf8(file.belowVolume);
        const std::string target = file.index < targets.size() ? plat::WideToUtf8(targets[file.index]) : std::string();
        text += Quoted(tools.robocopy) + " " + Quoted("B:" + FolderPart(below)) + " " + Quoted(FolderPart(target)) +
                " " + Quoted(NamePart(below)) + "\r\n";
    }
    text += Quoted(tools.dosdev) + " -r -d B:";
    return text;
}

BOOL ShadowCopyByScript(SyncRunBlock& run, const plat::VolumeSources& volumes) {
    const ShadowCopyTools tools = ShadowCopyToolPaths();
    if (!plat::IsFilePath(tools.vshadow)) {
        if (TaskLogs(run)) AddRunLogLineW(run, L"Can't locate vshadow64.exe", kLogRed);
        return FALSE;
    }
    const std::string script = plat::JoinPath(TempFolder(), kScriptName);
    plat::DeleteFile(script);

    const ShadowCopyGroups grouped = GroupShadowCopyFiles(run.shadowSourcePaths, volumes);
    if (!grouped.allGrouped) return FALSE;
    for (const ShadowCopyGroup& group : grouped.groups) {
        if (!WriteScript(script, ShadowCopyScriptText(tools, group, run.shadowTargetPaths))) {
            if (TaskLogs(run)) AddRunLogLineW(run, L"Can't open vssexec.bat", kLogRed);
            plat::DeleteFile(script);
            return FALSE;
        }
        ConsoleProcess process(false, false, true);
        process.SetCommandLine(Quoted(script) + " " + Quoted(plat::WideToUtf8(group.volume)));
        const bool ran = process.Run() && process.GetExitCode() == 0;
        plat::DeleteFile(script);
        if (!ran) return FALSE;
    }
    return TRUE;
}
