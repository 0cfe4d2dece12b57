#pragma once
// The macro commands the stand-in executes, recognised byte for byte:
//
//   [RunMacro( SetRequest "IMAGES",  GetImages$(1))]          (no CR)
//   [RunMacro( SetImage "<object>", "<path, every \ doubled>" ) ]<CR>
//   [RunMacro(<script>)]<CR>
//
// Anything else (another spelling, a missing or extra CR, a single backslash in the
// path) is not a macro the stand-in knows, and it refuses the command.

#include <optional>
#include <string>

namespace kep {

struct Macro {
  enum class Kind { kSetRequestImages, kSetImage, kRunScript };
  Kind kind;
  std::string object;  // SetImage
  std::string path;    // SetImage, backslashes undoubled
  std::string script;  // RunMacro
};

std::optional<Macro> ParseMacro(const std::string& command);

}  // namespace kep
