#pragma once
// kep's command line, shared by kep (Unix sockets) and kep.exe (Windows DDE).

#include <functional>
#include <string>
#include <vector>

#include "kep/KepServer.h"

namespace kep {

struct Args {
  std::vector<std::string> files;
  KepOptions options;
  bool none = false;
  std::string ready_file;
  std::string prefix;       // --prefix: what the program does with it is its own
  std::string dde_dir;      // --dde-dir
  long long max_frame = 0;  // --max-frame; 0: the default
};

// Reads the options and report files.  Each path given (report files, --log, --ready-file)
// goes through `path` when it is set.  Returns -1 to go on, else the exit code: 0 after
// --help (printed on stdout), 2 after a usage error (told on stderr as `program`).
int ParseArgs(int argc, char** argv, Args& a, const std::string& program, const char* help,
              const std::function<std::string(const std::string&)>& path = {});

}  // namespace kep
