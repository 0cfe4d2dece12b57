// kep: the stand-in for the appraisal program KEP, serving DDE application "KEP".

#include <signal.h>

#include <atomic>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "kep/Args.h"
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
  --hang-at N|TEXT   hangs at the N-th transaction (requests, executes and pokes of all
                     conversations, counted from 1), or at the first whose log line holds
                     TEXT: that one and everything after it, initiates too, get no answer
                     and are not carried out
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

}  // namespace

int main(int argc, char** argv) {
  kep::Args args;
  if (const int rc = kep::ParseArgs(argc, argv, args, "kep", kHelp); rc >= 0) return rc;
  if (!args.prefix.empty()) {
    ::setenv("VELMORA_PREFIX", args.prefix.c_str(), 1);
    winfs::UsePrefix(args.prefix);
  }
  if (!args.dde_dir.empty()) ::setenv("VELMORA_DDE_DIR", args.dde_dir.c_str(), 1);
  if (args.max_frame > 0) dde::SetMaxFrameSize(static_cast<std::size_t>(args.max_frame));

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
