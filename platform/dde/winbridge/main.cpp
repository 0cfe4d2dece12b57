// velmora-ddebridge: Velmora's DDE client inside Wine.  Runs as a Windows console program in the
// user's Wine prefix, reads frames (platform/dde/Frame.h) from its standard input, holds one
// DDEML conversation at a time with the server they name and writes each answer to its standard
// output (see platform/dde/WineTransport.h for the exchange).  Ends at the end of its input.
//
// Opening a DDEML conversation under Wine costs far more than a transaction on it (a broadcast
// to every top-level window), and the program opens one for every operation.  So a closed
// conversation is parked for a moment: the next one on the same service and topic takes it
// over, and a parked conversation is ended once it has been idle for kIdleCloseMs, at once when
// the server ends it, and when the input ends.  A Requests frame runs a whole burst of such
// operations (one request each) with one frame in and the answers out as they come.
//
// A reader thread decodes the input and posts each frame to the main thread, whose message loop
// also serves DDEML, so that the bridge answers other programs' DDE broadcasts while it waits.
//
// Every answer must belong to its own transaction.  Wine's DDEML matches an incoming message to
// the transaction waiting on the conversation loosely: any acknowledgement ends a request as
// refused (deleting the atom it carries once more) and ends an execute or a poke as done.  Two
// kinds of message would thus answer the wrong transaction: the positive acknowledgement a Wine
// DDEML server sends after the data of every request it serves, and a late answer to a
// transaction that timed out.  The first is taken off the queue right after the data
// (TakeDataAck); a conversation with the second is never used again (g_conv_late).  A watcher
// thread ends the wait of a transaction whose server is gone (killed, it says nothing).

// clang-format off
#include <windows.h>
#include <dde.h>
#include <ddeml.h>
// clang-format on

#include <atomic>
#include <cstdlib>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "platform/dde/Frame.h"
#include "platform/dde/winbridge/Ansi.h"

namespace {

constexpr UINT kFrameMessage = WM_APP + 1;  // lParam: a Frame* to handle and delete
constexpr UINT kInputEnded = WM_APP + 2;
constexpr DWORD kDefaultWaitMs = 5000;
constexpr DWORD kWatchMs = 20;  // how often the watcher looks at the server of a transaction

constexpr DWORD kIdleCloseMs = 250;
constexpr std::size_t kMostParked = 8;

DWORD g_main_thread = 0;
DWORD g_instance = 0;
HCONV g_conv = nullptr;
bool g_conv_gone = false;        // the server ended the conversation
bool g_conv_reused = false;      // taken over from the parked ones, and not used since
bool g_conv_late = false;        // a transaction timed out: its answer may still come
bool g_conv_fresh = false;       // found alive by Connect just now, and not used since
std::string g_service, g_topic;  // of g_conv, in the code page
DWORD g_wait_ms = kDefaultWaitMs;

// Conversations closed by Velmora and not yet ended.
struct Parked {
  std::string service, topic;
  HCONV conv;
  DWORD since;
};
std::vector<Parked> g_parked;
UINT_PTR g_idle_timer = 0;
// A conversation the server ended is kept by Wine's DDEML instance (DdeDisconnect lets only
// connected ones go), which then refuses every new conversation on its service and topic.
bool g_ended_kept = false;

bool WriteAll(const std::string& bytes) {
  HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
  const char* p = bytes.data();
  std::size_t left = bytes.size();
  while (left > 0) {
    DWORD n = 0;
    const DWORD chunk = left > 65536 ? 65536 : static_cast<DWORD>(left);
    if (!WriteFile(out, p, chunk, &n, nullptr) || n == 0) return false;
    p += n;
    left -= n;
  }
  return true;
}

void Send(const dde::Frame& f) {
  if (!WriteAll(dde::Encode(f))) ExitProcess(3);
}
void Refuse(const std::string& reason) {
  Send({dde::FrameType::kRefuse, {reason}});
}
dde::Frame Refusal(const std::string& reason) {
  return {dde::FrameType::kRefuse, {reason}};
}

DWORD WINAPI ReadInput(LPVOID) {
  HANDLE in = GetStdHandle(STD_INPUT_HANDLE);
  std::string buffer;
  char chunk[65536];
  for (;;) {
    dde::Frame frame;
    std::size_t used = 0;
    const dde::DecodeStatus st = dde::Decode(buffer, dde::MaxFrameSize(), &frame, &used);
    if (st == dde::DecodeStatus::kOk) {
      buffer.erase(0, used);
      PostThreadMessageA(g_main_thread, kFrameMessage, 0,
                         reinterpret_cast<LPARAM>(new dde::Frame(std::move(frame))));
      continue;
    }
    if (st != dde::DecodeStatus::kNeedMore) break;  // a broken stream ends the bridge
    DWORD n = 0;
    if (!ReadFile(in, chunk, sizeof(chunk), &n, nullptr) || n == 0) break;
    buffer.append(chunk, n);
  }
  PostThreadMessageA(g_main_thread, kInputEnded, 0, 0);
  return 0;
}

void Disconnect(HCONV conv) {
  if (!DdeDisconnect(conv)) g_ended_kept = true;
}

HDDEDATA CALLBACK OnDde(UINT type, UINT, HCONV conv, HSZ, HSZ, HDDEDATA, ULONG_PTR, ULONG_PTR) {
  if (type != XTYP_DISCONNECT) return nullptr;
  g_ended_kept = true;
  if (conv == g_conv) g_conv_gone = true;
  std::erase_if(g_parked, [conv](const Parked& p) { return p.conv == conv; });
  return nullptr;
}

// The DDEML reason a transaction failed, in the words the transport maps to the link's numbers.
std::string Reason(UINT error) {
  switch (error) {
    case DMLERR_ADVACKTIMEOUT:
    case DMLERR_DATAACKTIMEOUT:
    case DMLERR_EXECACKTIMEOUT:
    case DMLERR_POKEACKTIMEOUT:
    case DMLERR_UNADVACKTIMEOUT:
      return dde::kReasonTimeout;
    case DMLERR_NO_CONV_ESTABLISHED:
    case DMLERR_SERVER_DIED:
    case DMLERR_INVALIDPARAMETER:
      return dde::kReasonServerGone;
    case DMLERR_NOTPROCESSED:
      return "not processed";
    case DMLERR_BUSY:
      return "busy";
    default:
      return "DDE error " + std::to_string(error);
  }
}

// String handles stay alive for the DDEML instance's life (names are few), so that no reply of
// the server ever names an item whose atom was just given up.
std::map<std::string, HSZ> g_names;

HSZ Name(const std::string& text) {
  if (g_names.size() > 4096) {
    for (auto& [name, hsz] : g_names) DdeFreeStringHandle(g_instance, hsz);
    g_names.clear();
  }
  HSZ& hsz = g_names[text];
  if (!hsz) hsz = DdeCreateStringHandleA(g_instance, text.c_str(), CP_WINANSI);
  return hsz;
}

// False when the server's side of the conversation is gone: a server that is killed ends its
// conversations without a word, and DDE would only time out.
bool Alive(HCONV conv) {
  CONVINFO info{};
  info.cb = sizeof(info);
  return DdeQueryConvInfo(conv, QID_SYNC, &info) && (info.wStatus & ST_CONNECTED) &&
         IsWindow(info.hwndPartner);
}

bool ServerGone() {
  return !g_conv || g_conv_gone || !Alive(g_conv);
}

// Handles the DDE messages already queued, so that a server's terminate is known.
void TakeDdeMessages() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, WM_DDE_FIRST, WM_DDE_LAST, PM_REMOVE)) DispatchMessageA(&msg);
}

void EndParked(const std::vector<Parked>& ending) {
  for (const Parked& p : ending) Disconnect(p.conv);
  if (g_parked.empty() && g_idle_timer) {
    KillTimer(nullptr, g_idle_timer);
    g_idle_timer = 0;
  }
}

// Ends the parked conversations idle for kIdleCloseMs, or all of them.
void EndIdle(bool all) {
  const DWORD now = GetTickCount();
  std::vector<Parked> ending;
  std::erase_if(g_parked, [&](const Parked& p) {
    const bool idle = all || now - p.since >= kIdleCloseMs;
    if (idle) ending.push_back(p);
    return idle;
  });
  EndParked(ending);
}

// Velmora closed the conversation: it is parked, unless the server ended it or an answer to it
// may still come.  (A server gone without a word is found when the conversation is taken over.)
void EndConversation() {
  if (!g_conv) return;
  if (g_conv_gone || g_conv_late) {
    Disconnect(g_conv);
  } else {
    g_parked.push_back({g_service, g_topic, g_conv, GetTickCount()});
    if (!g_idle_timer) g_idle_timer = SetTimer(nullptr, 0, kIdleCloseMs / 5, nullptr);
  }
  g_conv = nullptr;
  g_conv_gone = false;
  g_conv_reused = false;
  g_conv_late = false;
  g_conv_fresh = false;
  if (g_parked.size() > kMostParked) {
    const Parked oldest = g_parked.front();
    g_parked.erase(g_parked.begin());
    EndParked({oldest});
  }
}

// A parked conversation with the server on the topic, still alive; nullptr when none.
HCONV TakeParked(const std::string& service, const std::string& topic) {
  TakeDdeMessages();
  for (auto it = g_parked.begin(); it != g_parked.end(); ++it) {
    if (lstrcmpiA(it->service.c_str(), service.c_str()) != 0 ||
        lstrcmpiA(it->topic.c_str(), topic.c_str()) != 0) {
      continue;
    }
    const HCONV conv = it->conv;
    g_parked.erase(it);
    if (Alive(conv)) return conv;
    EndParked({Parked{service, topic, conv, 0}});
    return nullptr;
  }
  return nullptr;
}

UINT StartDdeml() {
  return DdeInitializeA(&g_instance, OnDde, APPCMD_CLIENTONLY, 0);
}

// A new DDEML instance, without the conversations that servers ended: the old one ends with
// its conversations and string handles.
bool RenewDdeml() {
  EndIdle(true);
  DdeUninitialize(g_instance);
  g_instance = 0;
  g_names.clear();
  g_ended_kept = false;
  return StartDdeml() == DMLERR_NO_ERROR;
}

bool OpenConversation(const std::string& service, const std::string& topic) {
  g_service = service;
  g_topic = topic;
  g_conv = DdeConnect(g_instance, Name(service), Name(topic), nullptr);
  if (!g_conv && g_ended_kept && RenewDdeml()) {
    g_conv = DdeConnect(g_instance, Name(service), Name(topic), nullptr);
  }
  return g_conv != nullptr;
}

// A text the code page cannot hold exactly is never sent: a best-fit letter names another
// report, folder or file.  *refusal: the refusal that says which letters are missing.
bool Ansi(const std::string& text, std::string* ansi, std::string* refusal) {
  std::string missing;
  if (winbridge::ToAnsiExact(text, ansi, &missing)) return true;
  *refusal = std::string(dde::kReasonNotInCodePage) + ": " + missing;
  return false;
}

dde::Frame Connect(const std::string& app, const std::string& topic) {
  EndConversation();
  std::string service, subject, refusal;
  if (!Ansi(app, &service, &refusal) || !Ansi(topic, &subject, &refusal)) {
    return Refusal("no server answered: " + refusal);
  }
  if (HCONV parked = TakeParked(service, subject)) {
    g_conv = parked;
    g_service = service;
    g_topic = subject;
    g_conv_reused = true;
    g_conv_fresh = true;
    return {dde::FrameType::kAccept, {}};
  }
  if (!OpenConversation(service, subject)) {
    return Refusal("no server answered: " + Reason(DdeGetLastError(g_instance)));
  }
  g_conv_fresh = true;
  return {dde::FrameType::kAccept, {}};
}

// A conversation taken over from the parked ones that the server has ended since is opened
// anew: the server has seen nothing of it yet, as when every operation opened its own.  So is
// one whose last transaction timed out, so that its late answer answers nothing.
bool Usable() {
  if (ServerGone()) {
    if (!g_conv_reused) return false;
  } else if (!g_conv_late) {
    return true;
  }
  Disconnect(g_conv);
  g_conv_gone = false;
  g_conv_reused = false;
  g_conv_late = false;
  return OpenConversation(g_service, g_topic);
}

// The partner of the conversation whose transaction is under way, and that conversation's own
// window; the watcher thread reads them.
std::atomic<HWND> g_watched_server{nullptr};
std::atomic<HWND> g_watched_client{nullptr};

// A server that is killed leaves its conversations without a word, and DDEML would wait the
// whole time.  The watcher ends such a wait at once with the terminate the server never sent.
DWORD WINAPI WatchServers(LPVOID) {
  for (;;) {
    Sleep(kWatchMs);
    HWND server = g_watched_server.load();
    const HWND client = g_watched_client.load();
    if (server && client && !IsWindow(server) &&
        g_watched_server.compare_exchange_strong(server, nullptr)) {
      PostMessageA(client, WM_DDE_TERMINATE, reinterpret_cast<WPARAM>(server), 0);
    }
  }
}

HDDEDATA Watched(HCONV conv, LPBYTE bytes, DWORD size, HSZ item, UINT type, DWORD* result) {
  CONVINFO info{};
  info.cb = sizeof(info);
  if (DdeQueryConvInfo(conv, QID_SYNC, &info)) {
    g_watched_client = info.hwnd;
    g_watched_server = info.hwndPartner;
  }
  const HDDEDATA h = DdeClientTransaction(
      bytes, size, conv, item, type == XTYP_EXECUTE ? 0 : CF_TEXT, type, g_wait_ms, result);
  g_watched_server = nullptr;
  g_watched_client = nullptr;
  return h;
}

// A Wine DDEML server follows the data of every request it serves with a positive
// acknowledgement of the same item.  It is taken off the queue here, before the conversation's
// next transaction can take it for its answer.  Its atom went with the data.
void TakeDataAck(HCONV conv) {
  CONVINFO info{};
  info.cb = sizeof(info);
  if (!DdeQueryConvInfo(conv, QID_SYNC, &info) || !(info.wStatus & ST_ISLOCAL)) return;
  const DWORD start = GetTickCount();
  for (;;) {
    MSG msg;
    if (PeekMessageA(&msg, info.hwnd, WM_DDE_ACK, WM_DDE_ACK, PM_REMOVE)) {
      FreeDDElParam(WM_DDE_ACK, msg.lParam);
      return;
    }
    const DWORD spent = GetTickCount() - start;
    if (spent >= g_wait_ms || !IsWindow(info.hwndPartner)) return;
    const DWORD left = g_wait_ms - spent;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, left < kWatchMs ? left : kWatchMs, QS_POSTMESSAGE);
  }
}

bool IsTimeout(UINT error) {
  return Reason(error) == dde::kReasonTimeout;
}

// Runs one transaction; data is sent with its terminating NUL, as CF_TEXT wants it.  A refusal
// is the server's: nothing is asked twice.  The first one after Connect needs no look at the
// conversation: Connect has just found it alive (a server that dies now is found by the
// transaction).
dde::Frame Transact(UINT type, const std::string& item, const std::string* data) {
  if (!std::exchange(g_conv_fresh, false)) {
    TakeDdeMessages();
    if (!Usable()) return Refusal(dde::kReasonServerGone);
  }
  std::string ansiItem, ansi, refusal;
  if (!Ansi(item, &ansiItem, &refusal) || (data && !Ansi(*data, &ansi, &refusal))) {
    return Refusal(refusal);
  }
  g_conv_reused = false;
  HSZ hszItem = item.empty() ? nullptr : Name(ansiItem);
  LPBYTE bytes = data ? reinterpret_cast<LPBYTE>(const_cast<char*>(ansi.c_str())) : nullptr;
  const DWORD size = data ? static_cast<DWORD>(ansi.size() + 1) : 0;
  DWORD result = 0;
  const HDDEDATA h = Watched(g_conv, bytes, size, hszItem, type, &result);
  if (!h) {
    const UINT error = DdeGetLastError(g_instance);  // clears the error: read once
    if (IsTimeout(error)) g_conv_late = true;
    return Refusal(ServerGone() ? std::string(dde::kReasonServerGone) : Reason(error));
  }
  if (type != XTYP_REQUEST) return {dde::FrameType::kAck, {}};
  TakeDataAck(g_conv);
  const DWORD n = DdeGetData(h, nullptr, 0, 0);
  std::string text(n, '\0');
  if (n > 0) DdeGetData(h, reinterpret_cast<LPBYTE>(text.data()), n, 0);
  DdeFreeDataHandle(h);
  text.resize(text.find('\0') == std::string::npos ? text.size() : text.find('\0'));
  return {dde::FrameType::kReply, {winbridge::FromAnsi(text)}};
}

bool DdeFailed(const dde::Frame& answer) {
  return answer.type == dde::FrameType::kRefuse &&
         (answer.fields[0] == dde::kReasonTimeout || answer.fields[0] == dde::kReasonServerGone);
}

// For each item (each ended by a NUL) what Connect, Request and Close would do, one answer per
// item, then Ack.  Stops before an item whose conversation does not open (Velmora asks for it
// itself) and after one that DDE could not carry out.
void Requests(const std::string& app, const std::string& topic, const std::string& items) {
  for (std::size_t at = 0, end = 0; (end = items.find('\0', at)) != std::string::npos;
       at = end + 1) {
    if (Connect(app, topic).type != dde::FrameType::kAccept) break;
    const dde::Frame answer = Transact(XTYP_REQUEST, items.substr(at, end - at), nullptr);
    EndConversation();
    Send(answer);
    if (DdeFailed(answer)) break;
  }
  Send({dde::FrameType::kAck, {}});
}

void Handle(const dde::Frame& f) {
  switch (f.type) {
    case dde::FrameType::kConnect:
      return Send(Connect(f.fields[0], f.fields[1]));
    case dde::FrameType::kRequest:
      return Send(Transact(XTYP_REQUEST, f.fields[0], nullptr));
    case dde::FrameType::kExecute:
      return Send(Transact(XTYP_EXECUTE, {}, &f.fields[0]));
    case dde::FrameType::kPoke:
      return Send(Transact(XTYP_POKE, f.fields[0], &f.fields[1]));
    case dde::FrameType::kRequests:
      return Requests(f.fields[0], f.fields[1], f.fields[2]);
    case dde::FrameType::kClose:
      return EndConversation();
    case dde::FrameType::kTimeout: {
      const long ms = std::strtol(f.fields[0].c_str(), nullptr, 10);
      g_wait_ms = ms > 0 ? static_cast<DWORD>(ms) : kDefaultWaitMs;
      return;
    }
    default:
      return Refuse("not a client's frame");
  }
}

}  // namespace

int main() {
  g_main_thread = GetCurrentThreadId();
  MSG msg;
  PeekMessageA(&msg, nullptr, WM_USER, WM_USER, PM_NOREMOVE);  // the thread's queue exists now
  const UINT rc = StartDdeml();
  if (rc != DMLERR_NO_ERROR) {
    Refuse("DdeInitialize failed: " + std::to_string(rc));
    return 1;
  }
  // Without a display Wine opens no windows, and DDE finds no server, without a word.
  if (HWND probe = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr,
                                   nullptr)) {
    DestroyWindow(probe);
  } else {
    Refuse("Wine has no display to open windows on (DDE needs one; is DISPLAY set?)");
    return 1;
  }
  if (!CreateThread(nullptr, 0, ReadInput, nullptr, 0, nullptr) ||
      !CreateThread(nullptr, 0, WatchServers, nullptr, 0, nullptr)) {
    Refuse("no reader thread");
    return 1;
  }
  Send({dde::FrameType::kAccept, {}});
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    if (msg.hwnd == nullptr && msg.message == kFrameMessage) {
      // The reader thread posts the frame it allocated in the message's lParam.
      auto* frame = reinterpret_cast<dde::Frame*>(msg.lParam);  // NOLINT(performance-no-int-to-ptr)
      Handle(*frame);
      delete frame;
    } else if (msg.hwnd == nullptr && msg.message == kInputEnded) {
      break;
    } else if (msg.hwnd == nullptr && msg.message == WM_TIMER) {
      EndIdle(false);
    } else {
      DispatchMessageA(&msg);
    }
  }
  EndConversation();
  EndIdle(true);
  DdeUninitialize(g_instance);
  return 0;
}
