#include "kep/Args.h"

#include <cstdio>
#include <cstdlib>

namespace kep {
namespace {

int Usage(const std::string& program, const std::string& why) {
  std::fprintf(stderr, "%s: %s\n(%s --help for usage)\n", program.c_str(), why.c_str(),
               program.c_str());
  return 2;
}

// Sets the option that takes `v`; an error text, or "" when it was taken.
std::string TakeValue(const std::string& arg, const std::string& v, Args& a,
                      const std::function<std::string(const std::string&)>& path) {
  if (arg == "--prefix") {
    a.prefix = v;
  } else if (arg == "--dde-dir") {
    a.dde_dir = v;
  } else if (arg == "--slow") {
    const long t = std::strtol(v.c_str(), nullptr, 10);
    if (t < 0 || t > 65535) return "--slow takes 0 to 65535 tenths";
    a.options.slow_tenths = static_cast<int>(t);
  } else if (arg == "--hang-at") {
    char* end = nullptr;
    const long n = std::strtol(v.c_str(), &end, 10);
    if (v.empty() || (*end == '\0' && n < 1)) {
      return "--hang-at takes a transaction number from 1, or a text";
    }
    if (*end == '\0') {
      a.options.hang_at = n;
    } else {
      a.options.hang_on = v;
    }
  } else if (arg == "--max-frame") {
    const long long n = std::strtoll(v.c_str(), nullptr, 10);
    if (n < 16) return "--max-frame too small";
    a.max_frame = n;
  } else if (arg == "--log") {
    a.options.log_file = path ? path(v) : v;
  } else {
    a.ready_file = path ? path(v) : v;
  }
  return {};
}

bool TakesValue(const std::string& arg) {
  for (const char* o :
       {"--prefix", "--dde-dir", "--slow", "--log", "--ready-file", "--max-frame", "--hang-at"}) {
    if (arg == o) return true;
  }
  return false;
}

}  // namespace

int ParseArgs(int argc, char** argv, Args& a, const std::string& program, const char* help,
              const std::function<std::string(const std::string&)>& path) {
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--help") {
      std::fputs(help, stdout);
      return 0;
    } else if (arg == "--none") {
      a.none = true;
    } else if (arg == "--garbage") {
      a.options.garbage = true;
    } else if (arg == "--close-early") {
      a.options.close_early = true;
    } else if (arg == "--silent-initiate") {
      a.options.silent_initiate = true;
    } else if (TakesValue(arg)) {
      if (i + 1 >= argc) return Usage(program, arg + " needs a value");
      if (const std::string why = TakeValue(arg, argv[++i], a, path); !why.empty()) {
        return Usage(program, why);
      }
    } else if (!arg.empty() && arg[0] == '-') {
      return Usage(program, "unknown option " + arg);
    } else {
      a.files.push_back(path ? path(arg) : arg);
    }
  }
  if (a.files.empty() && !a.none) return Usage(program, "no report file (or --none)");
  return -1;
}

}  // namespace kep
