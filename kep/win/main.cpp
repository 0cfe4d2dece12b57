// kep.exe: the KEP stand-in as a Windows program, serving DDE application "KEP" through DDEML
// (Wine's DDE on Linux).  The report files, macros, answers and log are the stand-in's own
// (kep/); only the transport differs.  Runs until it is killed.

// clang-format off
#include <windows.h>
#include <dde.h>
#include <ddeml.h>
// clang-format on

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <fstream>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "kep/Args.h"
#include "kep/KepServer.h"
#include "kep/Report.h"
#include "platform/dde/winbridge/Ansi.h"

namespace {

constexpr const char* kHelp = R"(usage: kep.exe [options] REPORT_FILE...

The KEP stand-in (see kep --help for the topics, items, macros and report files), serving
DDE application "KEP" through Windows DDE.  Paths may be given as Windows paths or, under
Wine, as Unix paths.

Options:
  --none             no report open: "ActiveReports" answers ""
  --slow TENTHS      every answer goes out TENTHS tenths of a second late
  --log FILE         one line per transaction (the format of kep --log)
  --ready-file FILE  written once serving ("ready" is also printed on stdout)
  --hang-at N|TEXT   from the N-th request, execute or poke on (counted from 1), or from the
                     first whose log line holds TEXT, the program hangs: that one and
                     everything after it get no answer
  --close-early      each conversation is ended by the program once a transaction on it
                     has been answered
  --prefix DIR, --dde-dir DIR, --max-frame BYTES
                     accepted for kep's command line and ignored: Windows paths are the
                     prefix's own here, and DDE needs neither a folder nor frames
  --help
)";

DWORD g_instance = 0;
kep::KepHandler* g_handler = nullptr;
bool g_close_early = false;
constexpr UINT kEndConversation = WM_APP + 1;  // lParam: the HCONV to end

// A Unix path under Wine becomes the Windows path Wine maps it to.
std::string WindowsPath(const std::string& arg) {
  if (arg.empty() || arg[0] != '/') return arg;
  using ToDos = WCHAR*(CDECL*)(const char*);
  auto toDos = reinterpret_cast<ToDos>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleA("kernel32"), "wine_get_dos_file_name")));
  WCHAR* wide = toDos ? toDos(arg.c_str()) : nullptr;
  if (!wide) return arg;
  char buf[4 * MAX_PATH];
  const int n = WideCharToMultiByte(CP_ACP, 0, wide, -1, buf, sizeof(buf), nullptr, nullptr);
  HeapFree(GetProcessHeap(), 0, wide);
  return n > 0 ? std::string(buf) : arg;
}

std::string Text(HSZ hsz) {
  char buf[1024];
  const DWORD n = DdeQueryStringA(g_instance, hsz, buf, sizeof(buf), CP_WINANSI);
  return winbridge::FromAnsi(std::string(buf, n));
}

std::string DataText(HDDEDATA data) {
  const DWORD n = DdeGetData(data, nullptr, 0, 0);
  std::string text(n, '\0');
  if (n > 0) DdeGetData(data, reinterpret_cast<LPBYTE>(text.data()), n, 0);
  const auto nul = text.find('\0');
  if (nul != std::string::npos) text.resize(nul);
  return winbridge::FromAnsi(text);
}

// The handler's answer, after its delay; a handler that fails refuses.
template <typename F>
dde::Answer Run(F&& f) {
  dde::Answer a;
  try {
    a = f();
  } catch (const std::exception& e) {
    a = dde::Answer::Refuse(e.what());
  }
  if (a.delay.count() > 0) Sleep(static_cast<DWORD>(a.delay.count()));
  if (a.kind == dde::Answer::Kind::kSilent) Sleep(INFINITE);  // hung, as --hang-at asks
  return a;
}

// DDEML takes a transaction's flags and a connect's answer as a data handle.
HDDEDATA Ack(const dde::Answer& a) {
  return reinterpret_cast<HDDEDATA>(  // NOLINT(performance-no-int-to-ptr)
      static_cast<UINT_PTR>(a.kind == dde::Answer::Kind::kOk ? DDE_FACK : DDE_FNOTPROCESSED));
}

// The conversations DDEML holds with clients, by handle.  A conversation is known from its
// confirmation on; the application and topic come with the initiate.
std::map<HCONV, dde::Conversation> g_conversations;
unsigned long g_next_id = 0;

const dde::Conversation& ConversationOf(HCONV conv, HSZ topic) {
  auto it = g_conversations.find(conv);
  if (it == g_conversations.end()) {
    it = g_conversations.emplace(conv, dde::Conversation{++g_next_id, "KEP", Text(topic)}).first;
  }
  return it->second;
}

HDDEDATA Connect(HSZ topic, HSZ service) {
  dde::Answer a;
  try {
    a = g_handler->Connect(dde::Conversation{g_next_id + 1, Text(service), Text(topic)});
  } catch (const std::exception& e) {
    a = dde::Answer::Refuse(e.what());
  }
  if (a.delay.count() > 0) Sleep(static_cast<DWORD>(a.delay.count()));
  // DDEML cannot leave an initiate unanswered: a silent answer refuses it.
  return reinterpret_cast<HDDEDATA>(  // NOLINT(performance-no-int-to-ptr)
      static_cast<UINT_PTR>(a.kind == dde::Answer::Kind::kOk ? TRUE : FALSE));
}

// --close-early: the conversation is ended once the answer is out, as a server does that closes a
// topic.  DDEML's server side cannot end a conversation, so the terminate is posted by hand.
void EndConversationLater(UINT type, HCONV conv) {
  if (g_close_early && (type == XTYP_REQUEST || type == XTYP_EXECUTE || type == XTYP_POKE)) {
    PostThreadMessageA(GetCurrentThreadId(), kEndConversation, 0, reinterpret_cast<LPARAM>(conv));
  }
}

void EndConversation(HCONV conv) {
  CONVINFO info{};
  info.cb = sizeof(info);
  if (DdeQueryConvInfo(conv, QID_SYNC, &info) && (info.wStatus & ST_CONNECTED)) {
    PostMessageA(info.hwndPartner, WM_DDE_TERMINATE, reinterpret_cast<WPARAM>(info.hwnd), 0);
  }
}

HDDEDATA CALLBACK OnDde(UINT type, UINT fmt, HCONV conv, HSZ hsz1, HSZ hsz2, HDDEDATA data,
                        ULONG_PTR, ULONG_PTR) {
  EndConversationLater(type, conv);
  switch (type) {
    case XTYP_CONNECT:
      return Connect(hsz1, hsz2);
    case XTYP_CONNECT_CONFIRM:
      g_conversations[conv] = dde::Conversation{++g_next_id, Text(hsz2), Text(hsz1)};
      return nullptr;
    case XTYP_DISCONNECT: {
      const auto it = g_conversations.find(conv);
      if (it != g_conversations.end()) {
        g_handler->Disconnect(it->second);
        g_conversations.erase(it);
      }
      return nullptr;
    }
    case XTYP_REQUEST: {
      if (fmt != CF_TEXT) return nullptr;
      const dde::Conversation& c = ConversationOf(conv, hsz1);
      const dde::Answer a = Run([&] { return g_handler->Request(c, Text(hsz2)); });
      if (a.kind != dde::Answer::Kind::kOk) return nullptr;
      const std::string ansi = winbridge::ToAnsi(a.data);
      return DdeCreateDataHandle(g_instance,
                                 reinterpret_cast<LPBYTE>(const_cast<char*>(ansi.c_str())),
                                 static_cast<DWORD>(ansi.size() + 1), 0, hsz2, CF_TEXT, 0);
    }
    case XTYP_EXECUTE: {
      const dde::Conversation& c = ConversationOf(conv, hsz1);
      return Ack(Run([&] { return g_handler->Execute(c, DataText(data)); }));
    }
    case XTYP_POKE: {
      if (fmt != CF_TEXT) return reinterpret_cast<HDDEDATA>(DDE_FNOTPROCESSED);
      const dde::Conversation& c = ConversationOf(conv, hsz1);
      return Ack(Run([&] { return g_handler->Poke(c, Text(hsz2), DataText(data)); }));
    }
    default:
      return nullptr;
  }
}

}  // namespace

int main(int argc, char** argv) {
  _setmode(_fileno(stdout), _O_BINARY);  // "ready\n" as kep says it, not "ready\r\n"
  kep::Args args;  // --prefix, --dde-dir and --max-frame mean nothing to Windows DDE
  if (const int rc = kep::ParseArgs(argc, argv, args, "kep.exe", kHelp, WindowsPath); rc >= 0) {
    return rc;
  }
  if (args.options.garbage || args.options.silent_initiate) {
    std::fputs("kep.exe: --garbage and --silent-initiate are kep's own\n", stderr);
    return 2;
  }
  std::vector<kep::Report> reports;
  try {
    if (!args.none) {
      for (const auto& f : args.files) reports.push_back(kep::LoadReport(f));
    }
  } catch (const std::exception& e) {
    std::fprintf(stderr, "kep.exe: %s\n", e.what());
    return 2;
  }
  // Here the answers are whole: ending the conversation is done by DDE (EndConversation).
  g_close_early = std::exchange(args.options.close_early, false);
  kep::KepHandler handler(std::move(reports), args.options);
  g_handler = &handler;

  const UINT rc = DdeInitializeA(
      &g_instance, OnDde,
      APPCLASS_STANDARD | CBF_FAIL_ADVISES | CBF_SKIP_REGISTRATIONS | CBF_SKIP_UNREGISTRATIONS, 0);
  if (rc != DMLERR_NO_ERROR) {
    std::fprintf(stderr, "kep.exe: DdeInitialize failed (%u)\n", rc);
    return 3;
  }
  HSZ service = DdeCreateStringHandleA(g_instance, "KEP", CP_WINANSI);
  if (!DdeNameService(g_instance, service, nullptr, DNS_REGISTER)) {
    std::fprintf(stderr, "kep.exe: cannot register the DDE name KEP\n");
    return 3;
  }
  if (!args.ready_file.empty()) std::ofstream(args.ready_file) << "ready\n";
  std::fputs("ready\n", stdout);
  std::fflush(stdout);

  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    if (msg.hwnd == nullptr && msg.message == kEndConversation) {
      // The thread message carries the handle in its lParam.
      EndConversation(reinterpret_cast<HCONV>(msg.lParam));  // NOLINT(performance-no-int-to-ptr)
      continue;
    }
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  DdeNameService(g_instance, service, nullptr, DNS_UNREGISTER);
  DdeUninitialize(g_instance);
  return 0;
}
