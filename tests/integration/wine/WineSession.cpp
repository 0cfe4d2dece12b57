#include "tests/integration/wine/WineSession.h"

#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <stdexcept>

#include "platform/dde/Transport.h"
#include "platform/dde/WineTransport.h"

namespace fs = std::filesystem;

void MakeWinePrefix(const fs::path& prefix, const fs::path& booted) {
  if (!fs::is_regular_file(booted / "system.reg")) {
    throw std::runtime_error("no booted Wine prefix at " + booted.string() +
                             " (run the wine_prefix setup test, under an X display)");
  }
  for (const char* file : {"system.reg", "user.reg", "userdef.reg", ".update-timestamp"}) {
    if (fs::exists(booted / file)) {
      fs::copy_file(booted / file, prefix / file, fs::copy_options::overwrite_existing);
    }
  }
  // The winfs prefix's own empty C:\WINDOWS gives way to Wine's folders.
  fs::remove_all(prefix / "drive_c" / "WINDOWS");
  for (const auto& entry : fs::directory_iterator(booted / "drive_c")) {
    const fs::path link = prefix / "drive_c" / entry.path().filename();
    if (!fs::exists(fs::symlink_status(link))) fs::create_directory_symlink(entry.path(), link);
  }
}

WineSession::WineSession(const fs::path& prefix) : prefix_(prefix), wine_(dde::FindWine()) {
  const char* booted = std::getenv("VELMORA_TEST_WINEPREFIX");
  if (wine_.empty()) throw std::runtime_error("Wine is not installed");
  MakeWinePrefix(prefix, booted ? booted : "");
  ::setenv("WINEPREFIX", prefix.c_str(), 1);
  ::setenv("WINEDEBUG", "-all", 1);
  ::setenv("WINEDLLOVERRIDES", "mscoree,mshtml=", 1);
  // Wine reads host file names in the locale's character set; the prefix's names are UTF-8,
  // as on the desktops Velmora and KEP run on, whatever locale the tests run in.
  ::setenv("LC_ALL", "C.UTF-8", 1);
  dde::UseTransport(dde::MakeWineTransport({wine_, WINBRIDGE_EXE, prefix}));
}

WineSession::~WineSession() {
  dde::UseTransport(nullptr);  // the bridge ends with its transport
  const fs::path server = wine_.parent_path() / "wineserver";
  const pid_t pid = ::fork();
  if (pid == 0) {
    ::execl(server.c_str(), server.c_str(), "-k", static_cast<char*>(nullptr));
    ::execlp("wineserver", "wineserver", "-k", static_cast<char*>(nullptr));
    ::_exit(127);
  }
  int status = 0;
  if (pid > 0) ::waitpid(pid, &status, 0);
  ::unsetenv("WINEPREFIX");
}

std::vector<std::string> WineSession::KepLauncher() const {
  return {wine_.string(), KEP_EXE};
}
