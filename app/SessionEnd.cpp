#include "app/SessionEnd.h"

#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QApplication>
#include <QSocketNotifier>
#include <cerrno>
#include <cstdio>
#include <cstdlib>

#include "core/modVelmod.h"
#include "photo_pages/frmMain.h"
#include "platform/forms/App.h"
#include "platform/forms/Form.h"
#include "platform/qtui/FormWindow.h"
#include "platform/qtui/QtApp.h"

namespace app {
namespace {

int signalPipe[2] = {-1, -1};  // written by the signal handler, read by the event loop
bool mainReturns = false;

photo_pages::frmMain* LoadedMainWindow() {
  for (forms::Form* f : forms::Forms()) {
    if (auto* main = dynamic_cast<photo_pages::frmMain*>(f)) return main;
  }
  return nullptr;
}

void OnSignal(int sig) {
  const int saved = errno;  // the interrupted code may be about to read it
  const char byte = static_cast<char>(sig);
  [[maybe_unused]] const ssize_t n = ::write(signalPipe[0], &byte, 1);
  errno = saved;
}

// The session ends: the main window closes as Windows closes it at a session's end (its unload
// writes the settings); whatever is still up then (a dialog, a message box) ends with the
// program.
void EndSession() {
  qtui::Dispatch([] {
    photo_pages::frmMain* main = LoadedMainWindow();
    if (main) main->Unload(forms::vbAppWindows);
    if (!main || qtui::FormWindow::AnyFormShown() || QApplication::activeModalWidget())
      forms::App::Current().End();
  });
}

void AtExit() {
  if (mainReturns) return;
  photo_pages::frmMain* main = LoadedMainWindow();
  if (main && !core::gbUnloading) main->WriteBackSettings();
  // Nothing else may run: destructors would work on windows whose display is gone.
  std::fflush(nullptr);
  std::_Exit(EXIT_FAILURE);
}

}  // namespace

void EndWithTheSession() {
  if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, signalPipe) != 0) {
    std::perror("velmora: session end");
    return;
  }
  auto* notifier = new QSocketNotifier(signalPipe[1], QSocketNotifier::Read, qApp);
  QObject::connect(notifier, &QSocketNotifier::activated, [] {
    char bytes[16];
    while (::read(signalPipe[1], bytes, sizeof bytes) > 0) {
    }
    EndSession();
  });
  struct sigaction action = {};
  action.sa_handler = OnSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  for (int sig : {SIGTERM, SIGHUP}) ::sigaction(sig, &action, nullptr);
}

void KeepSettingsAtAnAbruptExit() {
  std::atexit(AtExit);
}

void MainReturns() {
  mainReturns = true;
}

}  // namespace app
