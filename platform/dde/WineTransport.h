#pragma once
// Conversations with a Windows DDE server running under Wine (the real KEP).
//
// A bridge, a small Windows console program (winbridge/), runs under Wine in the user's Wine
// prefix and is a DDEML client of the server.  It reads frames (Frame.h) from its standard
// input and writes the answers to its standard output: Connect -> Accept or Refuse, Request ->
// Reply, Execute and Poke -> Ack, each of them Refuse when the server refuses; Close ends the
// conversation and Timeout sets the bridge's wait per transaction.  A transaction DDE could not
// carry out is refused with kReasonTimeout or kReasonServerGone.  Requests (Transport::Prefetch)
// does for each of its items what Connect, Request and Close would, answering each request as
// Request does, then Ack; it stops before an item whose conversation does not open and after
// one DDE could not carry out.  When it has started the bridge writes Accept (ready) or Refuse
// with the reason it cannot work, then ends.
//
// Under Wine each DDE transaction costs some posted messages through Wine's server; a refresh's
// hundred field requests cost twice as many round trips to the bridge on top.  Prefetch asks for
// them in one round trip, and the bridge starts while the window is built (Prepare).
//
// One bridge serves one conversation at a time; it is started by Prepare or at the first
// conversation, and kept for the next ones (a second bridge starts only while the first one is
// in use).  The bridge keeps a closed DDEML conversation for a moment (well under a second) and
// hands it to the next conversation on the same service and topic, so that a burst of
// operations costs one DDE initiate; what the server sees between bursts is unchanged.  When Wine
// or the bridge is missing, or the bridge cannot start, every conversation fails to open (the
// link raises 282, as when KEP is not running) and the reason goes once to the DDE log.

#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include "platform/dde/Transport.h"

namespace dde {

struct WineSetup {
  std::filesystem::path wine;    // Wine's loader (wine64 or wine); empty: Wine is missing
  std::filesystem::path bridge;  // the bridge program (velmora-ddebridge.exe)
  std::filesystem::path prefix;  // the Wine prefix (WINEPREFIX of the bridge)
};

// Wine's loader: $VELMORA_WINE, else wine64 or wine on PATH, else /usr/lib/wine/wine64 or
// /usr/lib/wine/wine (Debian keeps them there); empty when none is found.
std::filesystem::path FindWine();
// The bridge: $VELMORA_DDE_BRIDGE, else velmora-ddebridge.exe beside the running program, in
// ../lib/velmora of it (installed) or in the build tree; empty when none is found.
std::filesystem::path FindBridge();

std::shared_ptr<Transport> MakeWineTransport(WineSetup setup);

// The transport for Velmora's prefix.  $VELMORA_DDE_TRANSPORT "socket" or "wine" decides;
// otherwise Wine's when the prefix is a Wine prefix and Wine is installed, else the sockets.
// `why` (optional) receives one sentence on the choice.
std::shared_ptr<Transport> ChooseTransport(const std::filesystem::path& prefix,
                                           std::string* why = nullptr);

// Where the transports say what went wrong (once each): standard error unless set.
void SetDdeLog(std::function<void(const std::string&)> sink);
void DdeLog(const std::string& line);

}  // namespace dde
