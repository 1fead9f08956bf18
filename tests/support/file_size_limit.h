#pragma once
// Caps the size of any file the process writes while it lives, so a write fails part way
// the way a full disk makes it fail (the size signal is ignored meanwhile).

#include <sys/resource.h>

namespace qbtest {

class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes);
    ~FileSizeLimit();
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit previous_{};
    void (*previousHandler_)(int) = nullptr;
};

}  // namespace qbtest
