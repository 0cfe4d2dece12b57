#include "setup/Install.h"

#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <system_error>

#include "platform/vbrt/VbError.h"
#include "platform/winfs/WinFs.h"

namespace setup {

namespace fs = std::filesystem;

namespace {

// VB's error for errno, naming the file: the setup's messages go to a person, not a program.
[[noreturn]] void Fail(int err, const std::string& winPath, bool parentMissing = false) {
  const int number = winfs::ErrnoToVb(err, parentMissing);
  throw vb::VbError(number, vb::ErrorText(number) + ": " + winPath);
}

// Runs f; a VbError from it comes back naming the file.
template <typename F>
auto NamingFile(const std::string& winPath, F&& f) {
  try {
    return f();
  } catch (const vb::VbError& e) {
    if (e.Description().find(winPath) != std::string::npos) throw;
    throw vb::VbError(e.Number(), e.Description() + ": " + winPath, e.Source());
  }
}

// Writes bytes to a temporary file in the target's folder and renames it into place.
void WriteAtomically(const fs::path& host, const std::string& winTarget, const std::string& bytes) {
  std::string tmp = (host.parent_path() / ".velmora-setup-XXXXXX").string();
  const int fd = ::mkstemp(tmp.data());
  if (fd < 0) Fail(errno, winTarget, true);
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      const int err = n < 0 ? errno : ENOSPC;
      ::close(fd);
      ::unlink(tmp.c_str());
      Fail(err, winTarget);
    }
    done += static_cast<std::size_t>(n);
  }
  // mkstemp makes the file private; give it the mode a plain new file would get.
  const mode_t mask = ::umask(0);
  ::umask(mask);
  ::fchmod(fd, 0666 & ~mask);
  if (::fsync(fd) != 0 || ::close(fd) != 0) {
    const int err = errno;
    ::unlink(tmp.c_str());
    Fail(err, winTarget);
  }
  if (::rename(tmp.c_str(), host.c_str()) != 0) {
    const int err = errno;
    ::unlink(tmp.c_str());
    Fail(err, winTarget);
  }
}

bool IsFile(const fs::path& host, std::uintmax_t* size = nullptr) {
  std::error_code ec;
  if (!fs::is_regular_file(host, ec)) return false;
  if (size) *size = fs::file_size(host, ec);
  return !ec;
}

// The installation's copy of a file the user keeps, written beside it for comparison.
void OfferNew(const std::string& winTarget, const std::string& bytes, std::ostream& log) {
  const std::string winNew = winTarget + ".new";
  const fs::path host = NamingFile(winNew, [&] { return winfs::ToHost(winNew); });
  WriteAtomically(host, winNew, bytes);
  log << "  the installation's copy differs: it is beside it as " << winNew << "\n";
}

}  // namespace

std::string JoinWin(const std::string& dir, const std::string& name) {
  if (!dir.empty() && dir.back() == '\\') return dir + name;
  return dir + "\\" + name;
}

std::string ReadHostFile(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + file.string());
  std::ostringstream out;
  out << in.rdbuf();
  if (in.bad()) throw std::runtime_error("cannot read " + file.string());
  return out.str();
}

void EnsureDir(const std::string& winDir, std::ostream& log) {
  if (winfs::DirExists(winDir)) return;
  const auto cut = winDir.find_last_of('\\');
  // "C:\\A" has the parent "C:\\", which always exists once the prefix does.
  if (cut != std::string::npos && cut > 2) EnsureDir(winDir.substr(0, cut), log);
  NamingFile(winDir, [&] { winfs::MkDir(winDir); });
  log << "  made folder " << winDir << "\n";
}

bool InstallFile(const fs::path& source, const std::string& winTarget, Existing existing,
                 std::ostream& log) {
  const fs::path host = NamingFile(winTarget, [&] { return winfs::ToHost(winTarget); });
  if (IsFile(host)) {
    if (existing == Existing::kKeep) return false;
    const std::string bytes = ReadHostFile(source);
    const bool same = ReadHostFile(host) == bytes;
    if (existing == Existing::kKeepOfferNew) {
      log << "  kept " << winTarget << "\n";
      if (!same) OfferNew(winTarget, bytes, log);
      return false;
    }
    if (same) return false;
    WriteAtomically(host, winTarget, bytes);
    log << "  updated " << winTarget << "\n";
    return true;
  }
  WriteAtomically(host, winTarget, ReadHostFile(source));
  std::error_code ec;
  fs::last_write_time(host, fs::last_write_time(source, ec), ec);
  log << "  installed " << winTarget << "\n";
  return true;
}

bool WriteFileIfMissing(const std::string& winTarget, const std::string& text, std::ostream& log) {
  const fs::path host = NamingFile(winTarget, [&] { return winfs::ToHost(winTarget); });
  std::uintmax_t size = 0;
  if (IsFile(host, &size) && size > 0) return false;
  WriteAtomically(host, winTarget, text);
  log << "  wrote " << winTarget << "\n";
  return true;
}

}  // namespace setup
