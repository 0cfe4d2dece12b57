// The transport the links use, chosen once per run unless a caller sets one.

#include "platform/dde/Transport.h"

#include <iostream>
#include <mutex>
#include <utility>

#include "platform/dde/WineTransport.h"
#include "platform/winfs/WinFs.h"

namespace dde {
namespace {

std::mutex g_mutex;
std::shared_ptr<Transport> g_transport;
std::function<void(const std::string&)> g_log;
std::string g_untold;  // the choice's sentence, for the next CurrentTransport()

}  // namespace

std::shared_ptr<Transport> CurrentTransport() {
  std::string why;
  std::shared_ptr<Transport> transport;
  {
    std::lock_guard lock(g_mutex);
    if (!g_transport) g_transport = ChooseTransport(winfs::ActivePrefix(), &why);
    if (why.empty()) why = std::exchange(g_untold, {});
    transport = g_transport;
  }
  if (!why.empty()) DdeLog(why);
  return transport;
}

void PrepareTransport() {
  std::shared_ptr<Transport> transport;
  {
    std::lock_guard lock(g_mutex);
    if (!g_transport) g_transport = ChooseTransport(winfs::ActivePrefix(), &g_untold);
    transport = g_transport;
  }
  transport->Prepare();
}

void UseTransport(std::shared_ptr<Transport> transport) {
  std::lock_guard lock(g_mutex);
  g_transport = std::move(transport);
  g_untold.clear();
}

void SetDdeLog(std::function<void(const std::string&)> sink) {
  std::lock_guard lock(g_mutex);
  g_log = std::move(sink);
}

void DdeLog(const std::string& line) {
  std::function<void(const std::string&)> sink;
  {
    std::lock_guard lock(g_mutex);
    sink = g_log;
  }
  if (sink) {
    sink(line);
  } else {
    std::cerr << "velmora: " << line << "\n";
  }
}

}  // namespace dde
