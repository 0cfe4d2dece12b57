#pragma once
// Whole-file reads and crash-safe replacement of a file's contents.

#include <sys/types.h>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace profile::detail {

enum class ReadStatus { kOk, kMissing, kFailed };

// Reads the whole file.  kMissing when it does not exist, kFailed when it exists
// but cannot be read.
ReadStatus ReadWholeFile(const std::filesystem::path& file, std::string& out);

struct FileOwner {
  mode_t mode = 0;
  uid_t uid = 0;
  gid_t gid = 0;
};

// Writes `data` to a new file in the target's folder, syncs it, gives it the
// old file's permission bits and owner (`owner`, when the target exists), and
// renames it over the target.  On failure the target is untouched and no
// temporary file is left behind; those that writers killed mid-write left are
// removed first.
bool ReplaceFile(const std::filesystem::path& target, std::string_view data,
                 const std::optional<FileOwner>& owner);

std::function<bool()>& BeforeReplaceHook();

}  // namespace profile::detail
