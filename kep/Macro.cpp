#include "kep/Macro.h"

#include <string_view>

namespace kep {
namespace {

constexpr std::string_view kSetRequest = "[RunMacro( SetRequest \"IMAGES\",  GetImages$(1))]";
constexpr std::string_view kSetImageHead = "[RunMacro( SetImage \"";
constexpr std::string_view kSetImageMid = "\", \"";
constexpr std::string_view kSetImageTail = "\" ) ]\r";
constexpr std::string_view kRunHead = "[RunMacro(";
constexpr std::string_view kRunTail = ")]\r";

bool EatPrefix(std::string_view& s, std::string_view p) {
  if (s.substr(0, p.size()) != p) return false;
  s.remove_prefix(p.size());
  return true;
}

// "C:\\\\A" (as sent) -> "C:\\A"; nullopt for a lone backslash.
std::optional<std::string> Undouble(std::string_view s) {
  std::string out;
  for (std::size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '\\') {
      if (i + 1 >= s.size() || s[i + 1] != '\\') return std::nullopt;
      ++i;
    }
    out += s[i];
  }
  return out;
}

std::optional<Macro> ParseSetImage(std::string_view s) {
  if (!EatPrefix(s, kSetImageHead)) return std::nullopt;
  const auto mid = s.find(kSetImageMid);
  if (mid == std::string_view::npos) return std::nullopt;
  const std::string_view object = s.substr(0, mid);
  s.remove_prefix(mid + kSetImageMid.size());
  if (s.size() < kSetImageTail.size() || s.substr(s.size() - kSetImageTail.size()) != kSetImageTail)
    return std::nullopt;
  const std::string_view path = s.substr(0, s.size() - kSetImageTail.size());
  if (object.empty() || object.find('"') != std::string_view::npos ||
      path.find('"') != std::string_view::npos)
    return std::nullopt;
  auto plain = Undouble(path);
  if (!plain) return std::nullopt;
  return Macro{Macro::Kind::kSetImage, std::string(object), *plain, {}};
}

std::optional<Macro> ParseRunScript(std::string_view s) {
  if (!EatPrefix(s, kRunHead)) return std::nullopt;
  if (s.size() < kRunTail.size() || s.substr(s.size() - kRunTail.size()) != kRunTail)
    return std::nullopt;
  const std::string_view script = s.substr(0, s.size() - kRunTail.size());
  // The program trims the name; a script name never holds brackets, quotes or line breaks.
  if (script.empty() || script.front() == ' ' || script.back() == ' ' ||
      script.find_first_of("()[]\"\r\n") != std::string_view::npos)
    return std::nullopt;
  return Macro{Macro::Kind::kRunScript, {}, {}, std::string(script)};
}

}  // namespace

std::optional<Macro> ParseMacro(const std::string& command) {
  if (command == kSetRequest) return Macro{Macro::Kind::kSetRequestImages, {}, {}, {}};
  if (auto m = ParseSetImage(command)) return m;
  return ParseRunScript(command);
}

}  // namespace kep
