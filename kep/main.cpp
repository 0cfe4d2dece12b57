// kep: the stand-in for the appraisal program KEP, serving DDE application "KEP".

#include <signal.h>

#include <atomic>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "kep/KepServer.h"
#include "platform/dde/Frame.h"
#include "platform/dde/Link.h"
#include "platform/dde/Server.h"
#include "platform/vbrt/VbError.h"
#include "platform/winfs/WinFs.h"

namespace {

constexpr const char* kHelp = R"(usage: kep [options] REPORT_FILE...

Serves the DDE application "KEP" until SIGTERM or SIGINT.  Each report file is an
open report (the first one is the active report); its topic is "KEP|" + its name.
Topics "KEP|System" and "KEP|Query" are always served.

  Query   request "ActiveReports"  -> every report name followed by ","
  report  request "UserID", "ListForms", "<page>|<field>" (page: one of the forms)
  report  poke "<page>|<field>"     -> stores the field, saves the report file
  System  execute [RunMacro( SetRequest "IMAGES",  GetImages$(1))]
          then request "IMAGES"     -> "OBJECT|path;" for each photo object
          (in the same conversation: another conversation has asked for nothing)
  report  execute [RunMacro( SetImage "OBJECT", "C:\\doubled\\path.jpg" ) ]<CR>
          (System: on the active report) copies the picture into the store folder,
          an empty path clears the object
  System  execute [RunMacro(script)]<CR>
Any other command or item is refused.

Report file:
  [report]
  name=C:\KEP\DATA\SMITH.ZAP      (a name containing \SKELS\ is a template)
  userid=JDOE
  forms=URAR,SUBPHOTO
  store=C:\KEP\IMAGES\SMITH       optional, default: <report file>.images/ beside it
  [fields]
  URAR|ADDR|10=12 Main St         item=value, value percent-encoded for % CR LF
  [images]
  SUB_1_3X5=C:\KEP\IMAGES\A.JPG
The file is rewritten (temporary file + rename) after every change.

Options:
  --prefix DIR       Windows prefix for picture paths (also the DDE folder's fallback)
  --dde-dir DIR      folder of the DDE sockets (default: as the program finds it)
  --none             no report open: "ActiveReports" answers ""
  --slow TENTHS      every answer goes out TENTHS tenths of a second late
  --garbage          every answer is a malformed frame
  --close-early      every answer stops half-way and the connection closes
  --silent-initiate  takes every connection and never answers its initiate
  --hang-at N        hangs at the N-th transaction (requests, executes and pokes of all
                     conversations, counted from 1): that one and everything after it,
                     initiates too, get no answer and are not carried out
  --max-frame BYTES  largest frame accepted (default 16 MiB)
  --log FILE         one line per transaction:
                     OP topic="..." [item="..."] [data="..."] [command="..."] -> RESULT
                     (CONNECT lines also give app="..." as the client spelled it)
                     (texts escaped: \\ \" \r \n \t \xHH)
  --ready-file FILE  written once listening ("ready" is also printed on stdout)
  --help
)";

std::atomic<dde::Server*> g_server{nullptr};

extern "C" void OnSignal(int) {
  if (dde::Server* s = g_server.load()) s->Stop();
}

struct Args {
  std::vector<std::string> files;
  kep::KepOptions options;
  bool none = false;
  std::string ready_file;
};

int Usage(const std::string& why) {
  std::cerr << "kep: " << why << "\n(kep --help for usage)\n";
  return 2;
}

// Returns -1 to go on, else the exit code.
int ParseArgs(int argc, char** argv, Args& a) {
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    auto value = [&]() -> const char* { return i + 1 < argc ? argv[++i] : nullptr; };
    if (arg == "--help") {
      std::cout << kHelp;
      return 0;
    } else if (arg == "--none") {
      a.none = true;
    } else if (arg == "--garbage") {
      a.options.garbage = true;
    } else if (arg == "--close-early") {
      a.options.close_early = true;
    } else if (arg == "--silent-initiate") {
      a.options.silent_initiate = true;
    } else if (arg == "--prefix" || arg == "--dde-dir" || arg == "--slow" || arg == "--log" ||
               arg == "--ready-file" || arg == "--max-frame" || arg == "--hang-at") {
      const char* v = value();
      if (!v) return Usage(arg + " needs a value");
      if (arg == "--prefix") {
        ::setenv("VELMORA_PREFIX", v, 1);
        winfs::UsePrefix(v);
      } else if (arg == "--dde-dir") {
        ::setenv("VELMORA_DDE_DIR", v, 1);
      } else if (arg == "--slow") {
        const long t = std::strtol(v, nullptr, 10);
        if (t < 0 || t > 65535) return Usage("--slow takes 0 to 65535 tenths");
        a.options.slow_tenths = static_cast<int>(t);
      } else if (arg == "--hang-at") {
        char* end = nullptr;
        const long n = std::strtol(v, &end, 10);
        if (*end != '\0' || n < 1) return Usage("--hang-at takes a transaction number from 1");
        a.options.hang_at = n;
      } else if (arg == "--max-frame") {
        const long long n = std::strtoll(v, nullptr, 10);
        if (n < 16) return Usage("--max-frame too small");
        dde::SetMaxFrameSize(static_cast<std::size_t>(n));
      } else if (arg == "--log") {
        a.options.log_file = v;
      } else {
        a.ready_file = v;
      }
    } else if (!arg.empty() && arg[0] == '-') {
      return Usage("unknown option " + arg);
    } else {
      a.files.push_back(arg);
    }
  }
  if (a.files.empty() && !a.none) return Usage("no report file (or --none)");
  return -1;
}

}  // namespace

int main(int argc, char** argv) {
  Args args;
  if (const int rc = ParseArgs(argc, argv, args); rc >= 0) return rc;

  std::vector<kep::Report> reports;
  try {
    if (!args.none) {
      for (const auto& f : args.files) reports.push_back(kep::LoadReport(f));
    }
  } catch (const std::exception& e) {
    std::cerr << "kep: " << e.what() << "\n";
    return 2;
  }

  kep::KepHandler handler(std::move(reports), args.options);
  try {
    dde::Server server("KEP", handler);
    g_server = &server;
    struct sigaction sa {};
    sa.sa_handler = OnSignal;
    sigemptyset(&sa.sa_mask);
    sigaction(SIGTERM, &sa, nullptr);
    sigaction(SIGINT, &sa, nullptr);
    signal(SIGPIPE, SIG_IGN);

    if (!args.ready_file.empty()) std::ofstream(args.ready_file) << "ready\n";
    std::cout << "ready" << std::endl;
    server.Run();
    g_server = nullptr;
  } catch (const vb::VbError& e) {
    std::cerr << "kep: " << e.Description() << "\n";
    return 3;
  }
  return 0;
}
