#include "foundation/path_utils.h"

#include <unistd.h>

#include <algorithm>
#include <cwctype>
#include <vector>

#include "platform/core/text.h"

namespace {

template <typename Char>
std::basic_string<Char> Join(std::basic_string_view<Char> folder, std::basic_string_view<Char> name, Char sep) {
    if (folder.empty()) return std::basic_string<Char>(name);
    std::basic_string<Char> out(folder);
    if (out.back() != sep) out.push_back(sep);
    while (!name.empty() && name.front() == sep) name.remove_prefix(1);
    out.append(name);
    return out;
}

template <typename Char>
std::basic_string<Char> WithTrailing(std::basic_string_view<Char> path, Char sep) {
    std::basic_string<Char> out(path);
    if (!out.empty() && out.back() != sep) out.push_back(sep);
    return out;
}

template <typename Char>
std::basic_string<Char> WithoutTrailing(std::basic_string_view<Char> path, Char sep) {
    std::basic_string<Char> out(path);
    if (out.size() > 1 && out.back() == sep) out.pop_back();
    return out;
}

}  // namespace

std::string PathJoin(std::string_view folder, std::string_view name) { return Join(folder, name, kPathSeparator); }

std::wstring PathJoinW(std::wstring_view folder, std::wstring_view name) { return Join(folder, name, kPathSeparatorW); }

std::string AddBackslash(std::string_view path) { return WithTrailing(path, kPathSeparator); }

std::string AppendPathPart(std::string_view path, std::string_view part) {
    std::string out = AddBackslash(path);
    while (!part.empty() && part.front() == kPathSeparator) part.remove_prefix(1);
    out.append(part);
    return out;
}

std::wstring AddTrailingBackslashW(std::wstring_view path) { return WithTrailing(path, kPathSeparatorW); }

std::wstring RemoveTrailingBackslashW(std::wstring_view path) { return WithoutTrailing(path, kPathSeparatorW); }

std::string RemoveBackslashA(std::string_view path) { return WithoutTrailing(path, kPathSeparator); }

std::wstring GetParentFolder(std::wstring_view path) {
    const auto pos = path.rfind(kPathSeparatorW);
    if (pos == std::wstring_view::npos) return {};
    if (pos == 0) return L"/";
    return std::wstring(path.substr(0, pos));
}

std::wstring GetFileNameFromPathW(std::wstring_view path) {
    const auto pos = path.rfind(kPathSeparatorW);
    return std::wstring(pos == std::wstring_view::npos ? path : path.substr(pos + 1));
}

std::string GetFileExtension(std::string_view name) {
    const auto slash = name.rfind(kPathSeparator);
    const auto dot = name.rfind('.');
    if (dot == std::string_view::npos || (slash != std::string_view::npos && dot < slash)) return {};
    return std::string(name.substr(dot + 1));
}

std::string GetFullExeName() {
    std::vector<char> buf(4096);
    for (;;) {
        const ssize_t n = readlink("/proc/self/exe", buf.data(), buf.size());
        if (n < 0) return {};
        if (static_cast<size_t>(n) < buf.size()) return std::string(buf.data(), static_cast<size_t>(n));
        buf.resize(buf.size() * 2);
    }
}

std::string GetProgramFolder() {
    const std::string exe = GetFullExeName();
    const auto pos = exe.rfind(kPathSeparator);
    if (pos == std::string::npos) return "./";
    return exe.substr(0, pos + 1);
}

std::wstring PathToFlatName(std::wstring_view path) {
    std::wstring out = plat::ToLowerWide(path);
    std::replace(out.begin(), out.end(), kPathSeparatorW, L'_');
    return out;
}

std::wstring PathToSafeNameW(std::wstring_view path) {
    std::wstring out(path);
    for (auto& c : out) {
        if (c == L'/' || c == L'\\' || c == L':' || c == L'.' || c == L'<' || c == L'>') c = L'_';
    }
    return out;
}

bool PathIsRootW(std::wstring_view path) { return path == L"/"; }
bool PathIsRootA(std::string_view path) { return path == "/"; }
