#pragma once
// Named mutexes and events in folders of the test's own while it lives: the user's runtime
// folder becomes <root>/run (made, mode 0700) and the machine-wide lock folder
// <root>/global, so runs of the suites never meet each other or the real program.

#include <string>

#include "support/scoped_env.h"
#include "support/temp_dir.h"

namespace qbtest {

class ScopedObjectFolders {
public:
    explicit ScopedObjectFolders(const TempDir& root);

    const std::string& RuntimeFolder() const { return runtime_; }
    const std::string& GlobalFolder() const { return global_; }

private:
    std::string runtime_;
    std::string global_;
    ScopedEnv runtimeEnv_;
    ScopedEnv globalEnv_;
};

}  // namespace qbtest
