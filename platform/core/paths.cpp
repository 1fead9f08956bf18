#include "platform/core/paths.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <memory>
#include <unistd.h>
#include <vector>

#include "platform/core/errors.h"

namespace plat {

namespace {

std::string_view WithoutTrailingSeparators(std::string_view path) {
    while (path.size() > 1 && path.back() == '/') path.remove_suffix(1);
    return path;
}

std::string CurrentFolder() {
    std::vector<char> buf(PATH_MAX);
    while (!getcwd(buf.data(), buf.size())) {
        if (errno != ERANGE) return {};
        buf.resize(buf.size() * 2);
    }
    return buf.data();
}

}  // namespace

std::string CanonicalPath(std::string_view path, bool resolveLinks) {
    if (path.empty()) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return {};
    }
    std::string absolute;
    if (path.front() == '/') {
        absolute = path;
    } else {
        absolute = CurrentFolder();
        if (absolute.empty()) {
            SetLastErrorFromErrno();
            return {};
        }
        absolute += '/';
        absolute += path;
    }

    if (resolveLinks) {
        const std::unique_ptr<char, decltype(&std::free)> resolved(realpath(absolute.c_str(), nullptr), &std::free);
        if (!resolved) {
            SetLastErrorFromErrno();
            return {};
        }
        return resolved.get();
    }

    std::vector<std::string_view> parts;
    std::string_view rest = absolute;
    while (!rest.empty()) {
        const size_t slash = rest.find('/');
        const std::string_view part = rest.substr(0, slash);
        rest = slash == std::string_view::npos ? std::string_view() : rest.substr(slash + 1);
        if (part.empty() || part == ".") continue;
        if (part == "..") {
            if (!parts.empty()) parts.pop_back();
            continue;
        }
        parts.push_back(part);
    }
    if (parts.empty()) return "/";
    std::string result;
    for (const std::string_view part : parts) {
        result += '/';
        result += part;
    }
    return result;
}

bool IsRootPath(std::string_view path) {
    return !path.empty() && path.find_first_not_of('/') == std::string_view::npos;
}

std::string ParentPath(std::string_view path) {
    path = WithoutTrailingSeparators(path);
    if (IsRootPath(path)) return {};
    const size_t slash = path.rfind('/');
    if (slash == std::string_view::npos) return {};
    std::string_view parent = path.substr(0, slash);
    while (parent.size() > 1 && parent.back() == '/') parent.remove_suffix(1);
    return parent.empty() ? std::string("/") : std::string(parent);
}

std::string FileNamePart(std::string_view path) {
    path = WithoutTrailingSeparators(path);
    if (IsRootPath(path)) return {};
    const size_t slash = path.rfind('/');
    return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

std::string JoinPath(std::string_view folder, std::string_view name) {
    while (!name.empty() && name.front() == '/') name.remove_prefix(1);
    if (folder.empty()) return std::string(name);
    std::string result(folder);
    if (result.back() != '/' && !name.empty()) result += '/';
    result += name;
    return result;
}

}  // namespace plat
