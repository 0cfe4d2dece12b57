// Windows path text <-> host path.

#include <algorithm>
#include <cctype>
#include <cstring>

#include "platform/vbrt/VbError.h"
#include "platform/winfs/Internal.h"
#include "platform/winfs/WinFs.h"

namespace winfs {
namespace detail {
namespace {

bool IsForbidden(unsigned char c) {
  return c < 32 || std::strchr("<>\"|?*", c) != nullptr;
}

bool HasDriveLetter(const std::string& s) {
  return s.size() >= 2 && s[1] == ':' && std::isalpha(static_cast<unsigned char>(s[0]));
}

void CheckCharacters(const std::string& s) {
  for (size_t i = 0; i < s.size(); ++i) {
    const auto c = static_cast<unsigned char>(s[i]);
    if (IsForbidden(c) || (c == ':' && !(i == 1 && HasDriveLetter(s)))) {
      vb::Raise(vb::kBadFileName);
    }
  }
}

// Windows drops trailing dots and blanks from a name ("abc. " opens "abc").
std::string TrimName(const std::string& part) {
  const size_t end = part.find_last_not_of(". ");
  return end == std::string::npos ? "" : part.substr(0, end + 1);
}

void Append(std::vector<std::string>& parts, const std::string& text) {
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = text.find('\\', start);
    if (end == std::string::npos) end = text.size();
    const std::string part = text.substr(start, end - start);
    if (part == "..") {
      if (!parts.empty()) parts.pop_back();
    } else if (!part.empty() && part != ".") {
      std::string name = TrimName(part);
      if (!name.empty()) parts.push_back(std::move(name));
    }
    start = end + 1;
  }
}

}  // namespace

// The host name in `dir` that matches `name`: exact spelling first, else a case-insensitive scan.
// Host names are compared by their Windows names (WindowsName).
std::optional<std::string> FindEntry(const fs::path& dir, const std::string& name) {
  std::error_code ec;
  const std::string exact = HostName(name);
  if (fs::exists(fs::symlink_status(dir / exact, ec))) return exact;
  const std::u32string folded = Fold(name);
  std::optional<std::string> best, bestWindows;
  for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
    std::string candidate = it->path().filename().string();
    std::string windows = WindowsName(candidate);
    if (Fold(windows) != folded) continue;
    if (!best || CompareNames(windows, *bestWindows) < 0) {
      best = std::move(candidate);
      bestWindows = std::move(windows);
    }
  }
  return best;
}

WinPath Parse(const std::string& winPath) {
  if (winPath.empty()) vb::Raise(vb::kBadFileName);
  CheckCharacters(winPath);
  std::string s = winPath;
  std::replace(s.begin(), s.end(), '/', '\\');
  if (s.rfind("\\\\", 0) == 0) vb::Raise(vb::kBadFileName);  // UNC names are not supported
  WinPath p;
  if (HasDriveLetter(s)) {
    p.drive = CheckLetter(s[0]);
    s.erase(0, 2);
  } else {
    p.drive = kCurrentDrive;
  }
  Append(p.parts, s);
  return p;
}

std::string Format(const WinPath& p) {
  std::string out = std::string(1, p.drive) + ":\\";
  for (size_t i = 0; i < p.parts.size(); ++i) {
    if (i > 0) out += '\\';
    out += p.parts[i];
  }
  return out;
}

fs::path Resolve(const WinPath& p) {
  fs::path host = DriveRoot(p.drive);
  bool found = true;
  for (const std::string& part : p.parts) {
    std::optional<std::string> entry;
    if (found) entry = FindEntry(host, part);
    found = entry.has_value();
    host /= found ? *entry : HostName(part);
  }
  return host;
}

}  // namespace detail

std::filesystem::path ToHost(const std::string& winPath) {
  return detail::Resolve(detail::Parse(winPath));
}

namespace {

namespace fs = std::filesystem;

struct Match {
  char drive = 0;
  size_t depth = 0;  // components of the link target
  fs::path rest;
};

// The link whose target is the longest leading part of `host`.
std::optional<Match> BestMatch(const fs::path& host, const std::map<char, fs::path>& links) {
  std::optional<Match> best;
  for (const auto& [drive, target] : links) {
    auto [t, h] = std::mismatch(target.begin(), target.end(), host.begin(), host.end());
    if (t != target.end() && !(t->empty() && std::next(t) == target.end())) continue;
    const size_t depth = std::distance(target.begin(), target.end());
    if (best && best->depth >= depth) continue;
    fs::path rest;
    for (; h != host.end(); ++h) {
      if (!h->empty()) rest /= *h;
    }
    best = Match{drive, depth, rest};
  }
  return best;
}

std::map<char, fs::path> CanonicalLinks(const std::map<char, fs::path>& links) {
  std::map<char, fs::path> out;
  for (const auto& [drive, target] : links) {
    std::error_code ec;
    fs::path c = fs::canonical(target, ec);
    if (!ec) out.emplace(drive, c);
  }
  return out;
}

}  // namespace

std::optional<std::string> ToWindows(const std::filesystem::path& host) {
  std::error_code ec;
  const fs::path abs = fs::absolute(host, ec).lexically_normal();
  if (ec) return std::nullopt;
  const auto links = DriveLinks();
  std::optional<Match> best = BestMatch(abs, links);
  // A path reached through symlinks may belong to a deeper drive once both are made canonical.
  const fs::path canon = fs::weakly_canonical(abs, ec);
  if (!ec) {
    std::optional<Match> other = BestMatch(canon, CanonicalLinks(links));
    if (other && (!best || other->depth > best->depth)) best = other;
  }
  if (!best) return std::nullopt;
  detail::WinPath p{best->drive, {}};
  for (const auto& part : best->rest) p.parts.push_back(WindowsName(part.string()));
  return detail::Format(p);
}

}  // namespace winfs
