#pragma once
// A folder under the system's temporary area that lives as long as the object.

#include <string>

namespace qbtest {

class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& path() const { return path_; }
    // path() + "/" + relative
    std::string sub(const std::string& relative) const;

private:
    std::string path_;
};

// Writes bytes to a file, creating the parent folders.
void WriteFileBytes(const std::string& path, const std::string& bytes);
// The whole content of a file, or an empty string when it cannot be read.
std::string ReadFileBytes(const std::string& path);

}  // namespace qbtest
