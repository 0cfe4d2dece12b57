// velmora-setup: prepares a user's Windows prefix for Velmora.

#include <cstdlib>
#include <exception>
#include <iostream>
#include <string>

#include "platform/vbrt/VbError.h"
#include "platform/winfs/WinFs.h"
#include "setup/Setup.h"

namespace {

constexpr const char* kHelp = R"(usage: velmora-setup [options]

Prepares the Windows prefix Velmora works in (run it again at any time: nothing that is
already there is overwritten but the help file; where the installation's velmod.dat,
empty.jpg or KEP.INI differs from yours, it is put beside yours as NAME.new):
  - the prefix with drive C: (labelled) and Z:, and one further letter, from D: on and
    marked removable, for each medium mounted under /media/$USER or /run/media/$USER;
  - the program folder C:\Velmora with empty.jpg, velmod.dat and the help file;
  - the capture folder C:\GLENVUE;
  - C:\APPRAISE\ with a first VELMORA.INI holding the default settings.

Options:
  --prefix DIR        the prefix (default: $VELMORA_PREFIX, else $XDG_DATA_HOME/velmora,
                      else ~/.local/share/velmora)
  --adopt-wine        adopt the Wine prefix KEP is installed in ($WINEPREFIX, else ~/.wine)
                      instead of making a prefix: the prefix above becomes a link to it, and
                      Velmora then talks to KEP through Wine's DDE
  --wine-prefix DIR   adopt the Wine prefix DIR (as --adopt-wine)
  --demo              also install the demonstration: C:\APPRAISE\KEP.INI, the report
                      C:\KEPDATA\REPORTS\1427MAPLE.ZAP for the KEP stand-in (with its
                      pictures) and camera pictures in C:\GLENVUE
  --photos DIR        take the demonstration pictures from DIR (made by
                      share/velmora/demo/make-photos) instead of making them
  --photo-count N     camera pictures to make (default: $VELMORA_DEMO_PHOTOS, else 32)
  --media DIR         look for mounted media in DIR instead of the default folders
                      (may be given more than once)
  --no-media          link no removable media
  --resources DIR     the resources folder (default: $VELMORA_RESOURCES, else the
                      installed share/velmora, else the source tree's)
  --help
)";

int Usage(const std::string& why) {
  std::cerr << "velmora-setup: " << why << "\n(velmora-setup --help for usage)\n";
  return 2;
}

bool ParseCount(const char* text, int& count) {
  char* end = nullptr;
  const long n = std::strtol(text, &end, 10);
  if (!*text || *end || n < 0 || n > 9999) return false;
  count = static_cast<int>(n);
  return true;
}

// The Wine prefix Wine itself would use: $WINEPREFIX, else ~/.wine.
std::string DefaultWinePrefix() {
  if (const char* env = std::getenv("WINEPREFIX"); env && *env) return env;
  const char* home = std::getenv("HOME");
  return std::string(home && *home ? home : "/tmp") + "/.wine";
}

// Returns -1 to go on, else the exit code.
int ParseArgs(int argc, char** argv, setup::Options& o) {
  bool mediaGiven = false;
  if (const char* env = std::getenv("VELMORA_DEMO_PHOTOS"); env && *env) {
    if (!ParseCount(env, o.photoCount)) return Usage("VELMORA_DEMO_PHOTOS is not a count");
  }
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--help") {
      std::cout << kHelp;
      return 0;
    } else if (arg == "--demo") {
      o.demo = true;
    } else if (arg == "--adopt-wine") {
      o.winePrefix = DefaultWinePrefix();
    } else if (arg == "--no-media") {
      mediaGiven = true;
      o.mediaRoots.clear();
    } else if (arg == "--prefix" || arg == "--photos" || arg == "--photo-count" ||
               arg == "--media" || arg == "--resources" || arg == "--wine-prefix") {
      if (i + 1 >= argc || !*argv[i + 1]) return Usage(arg + " needs a value");
      const char* v = argv[++i];
      if (arg == "--prefix") {
        o.prefix = v;
      } else if (arg == "--photos") {
        o.photos = v;
      } else if (arg == "--photo-count") {
        if (!ParseCount(v, o.photoCount)) return Usage("--photo-count takes 0 to 9999");
      } else if (arg == "--wine-prefix") {
        o.winePrefix = v;
      } else if (arg == "--media") {
        mediaGiven = true;
        o.mediaRoots.push_back(v);
      } else {
        o.resources = v;
      }
    } else {
      return Usage("unknown argument " + arg);
    }
  }
  if (o.prefix.empty()) o.prefix = winfs::DefaultPrefix();
  if (!mediaGiven) o.mediaRoots = setup::DefaultMediaRoots();
  if (o.resources.empty()) o.resources = setup::FindResources();
  if (o.resources.empty()) return Usage("cannot find the resources folder (use --resources)");
  return -1;
}

}  // namespace

int main(int argc, char** argv) {
  setup::Options options;
  if (const int rc = ParseArgs(argc, argv, options); rc >= 0) return rc;
  try {
    setup::Run(options, std::cout);
  } catch (const vb::VbError& e) {
    std::cerr << "velmora-setup: error " << e.Number() << ": " << e.Description() << "\n";
    return 1;
  } catch (const std::exception& e) {
    std::cerr << "velmora-setup: " << e.what() << "\n";
    return 1;
  }
  return 0;
}
