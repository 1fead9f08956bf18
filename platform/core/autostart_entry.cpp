#include "platform/core/autostart_entry.h"

#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <filesystem>

#include "platform/core/errors.h"
#include "platform/core/text.h"
#include "platform/core/whole_file.h"

namespace plat {

namespace {

std::uint32_t Fnv1a(std::string_view text) {
    std::uint32_t hash = 2166136261u;
    for (const char c : text) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 16777619u;
    }
    return hash;
}

bool IsSafeFileChar(char c) {
    return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '.' || c == '_' || c == '-';
}

// An argument as the Exec key wants it: quoted when it holds a reserved character, with
// '"', '`', '$' and '\' escaped inside the quotes, and '%' doubled (field codes).
std::string ExecArgument(std::string_view arg) {
    constexpr std::string_view kReserved = " \t\n\"'\\><~|&;$*?#()`";
    std::string out;
    const bool quote = arg.empty() || arg.find_first_of(kReserved) != std::string_view::npos;
    if (quote) out += '"';
    for (const char c : arg) {
        if (quote && (c == '"' || c == '`' || c == '$' || c == '\\')) out += '\\';
        out += c;
        if (c == '%') out += '%';
    }
    if (quote) out += '"';
    return out;
}

// A value of a desktop file's key: line breaks, tabs and backslashes escaped, and a
// leading blank kept.
std::string EntryValue(std::string_view value) {
    std::string out;
    for (std::size_t i = 0; i < value.size(); ++i) {
        switch (value[i]) {
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        case ' ': out += i == 0 ? "\\s" : " "; break;
        default: out += value[i];
        }
    }
    return out;
}

}  // namespace

std::string AutostartFileName(std::string_view valueName) {
    const std::string lower = ToLowerAscii(valueName);
    std::string safe;
    for (const char c : lower) safe += IsSafeFileChar(c) ? c : '_';
    if (safe != lower || safe.empty() || safe.front() == '.') safe += Format("-%08x", Fnv1a(lower));
    return safe + ".desktop";
}

std::vector<std::string> SplitCommandLine(std::string_view commandLine) {
    std::vector<std::string> args;
    std::string current;
    bool inArg = false;
    bool quoted = false;
    for (const char c : commandLine) {
        if (c == '"') {
            quoted = !quoted;
            inArg = true;
        } else if ((c == ' ' || c == '\t') && !quoted) {
            if (inArg) args.push_back(std::move(current));
            current.clear();
            inArg = false;
        } else {
            current += c;
            inArg = true;
        }
    }
    if (inArg) args.push_back(std::move(current));
    return args;
}

std::string AutostartEntryText(std::string_view name, std::string_view commandLine) {
    std::string exec;
    for (const std::string& arg : SplitCommandLine(commandLine)) {
        if (!exec.empty()) exec += ' ';
        exec += ExecArgument(arg);
    }
    return "[Desktop Entry]\nType=Application\nName=" + EntryValue(name) + "\nExec=" + EntryValue(exec) + "\n";
}

std::optional<std::string> ReadAutostartEntry(const std::string& path) {
    std::string text;
    if (!ReadWholeFile(path, &text)) return std::nullopt;
    return text;
}

bool WriteAutostartEntry(const std::string& path, std::string_view text) {
    std::error_code ec;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ec);
    if (ec) {
        SetLastErrorFromErrno(ec.value());
        return false;
    }
    return ReplaceFileAtomically(path, text);
}

bool RemoveAutostartEntry(const std::string& path) {
    if (::unlink(path.c_str()) == 0 || errno == ENOENT) return true;
    SetLastErrorFromErrno();
    return false;
}

}  // namespace plat
