#pragma once
// The parsed text of each INI file read, kept while the file is unchanged.  A file counts as
// unchanged while its inode, size and modification time are; the program's own writes store
// the text they wrote, so a write followed by a read in the same clock tick reads what was
// written.

#include <filesystem>
#include <memory>
#include <string>

#include "platform/profile/IniText.h"

namespace profile::detail {

// The file's parsed text (UTF-8 whatever the file's encoding); nullptr when it is missing or
// unreadable.
std::shared_ptr<const IniText> CachedText(const std::filesystem::path& file);

// Records `text` as the content just written to `file`.
void StoreText(const std::filesystem::path& file, std::string text);

}  // namespace profile::detail
