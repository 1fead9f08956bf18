#pragma once
// Readers of recently read archives, kept open between calls. Opening an archive parses
// its whole central directory; a store read member by member would otherwise pay that
// once per member. A kept reader is used only while the file is still the one it opened.

#include <memory>
#include <string>

#include "platform/core/zip_reader.h"

namespace plat {

// A reader of the archive at `key` (a normalised path). Call it, and use the reader, with
// the archive's lock held.
std::shared_ptr<ZipReader> OpenCachedZipReader(const std::string& key, ZipResult* error);

// Drops the kept reader of `key`, closing its file once no call still uses it.
void ForgetCachedZipReader(const std::string& key);

}  // namespace plat
