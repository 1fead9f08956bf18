#include "support/object_folders.h"

#include <sys/stat.h>

#include "platform/core/named_object_files.h"

namespace qbtest {

namespace {

// Made before the variable points at it, as a login session's runtime folder is.
std::string MadeRuntimeFolder(const std::string& path) {
    ::mkdir(path.c_str(), 0700);
    return path;
}

}  // namespace

ScopedObjectFolders::ScopedObjectFolders(const TempDir& root)
    : runtime_(MadeRuntimeFolder(root.sub("run"))),
      global_(root.sub("global")),
      runtimeEnv_("XDG_RUNTIME_DIR", runtime_),
      globalEnv_(plat::kGlobalObjectFolderVariable, global_) {}

}  // namespace qbtest
