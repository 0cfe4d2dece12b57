// velmora: the photo pages program.  The main window is the start-up object: loading it runs
// the whole start-up; the program ends when its last window is gone (or at an End).

#include <QApplication>
#include <cstdio>
#include <string>

#include "app/MainWindowHost.h"
#include "app/SessionEnd.h"
#include "core/modShell32.h"
#include "platform/dde/WineTransport.h"
#include "platform/forms/App.h"
#include "platform/forms/Form.h"
#include "platform/qtui/ControlMap.h"
#include "platform/qtui/FormWindow.h"
#include "platform/qtui/QtApp.h"
#include "platform/winfs/WinFs.h"

namespace {

// The command line as the program sees it ("/D /S /2" switch the debug trace on): the
// arguments joined by blanks, those holding blanks quoted.
std::string CommandLineOf(int argc, char** argv) {
  std::string line;
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    if (arg.find(' ') != std::string::npos) arg = "\"" + arg + "\"";
    if (!line.empty()) line += ' ';
    line += arg;
  }
  return line;
}

// Why KEP cannot be reached (Wine hanging, no display, no Wine) is told to the user, once per
// reason (the transports say each reason once); the program goes on as without KEP.
void TellDdeProblems() {
  dde::SetDdeLog([](const std::string& line) {
    std::fprintf(stderr, "velmora: %s\n", line.c_str());
    forms::App::Current().MsgBox(line, forms::vbOKOnly | forms::vbExclamation, "KEP Not Reached");
  });
}

}  // namespace

int main(int argc, char** argv) {
  QApplication qapp(argc, argv);
  QApplication::setApplicationName("Velmora");
  winfs::SetCommandLine(CommandLineOf(argc, argv));

  qtui::AppInfo info;
  info.title = "Velmora";
  info.path = winfs::ProgramFolder();
  if (info.path.empty()) info.path = "C:\\Velmora";
  info.major = VELMORA_VERSION_MAJOR;
  info.minor = VELMORA_VERSION_MINOR;
  info.revision = VELMORA_VERSION_PATCH;
  qtui::QtApp services(info);
  services.SetOpenerAnswered([](const std::string&, long result) {
    if (result <= 32) core::ShowShellError(result);  // nothing opened
  });
  forms::App::Install(&services);
  qtui::StartControlMapFromEnvironment();
  TellDdeProblems();
  app::EndWithTheSession();

  int status = 0;
  try {
    {
      qtui::HandlerScope startUp;  // a close during the start-up takes effect after it
      app::StartMainWindow();
    }
    app::KeepSettingsAtAnAbruptExit();
    if (!services.Ended() && qtui::FormWindow::AnyFormShown()) status = QApplication::exec();
  } catch (const forms::ProgramEnded&) {
    status = 0;
  }
  app::MainReturns();
  // Windows go before the forms they show, and both before the application.
  for (qtui::FormWindow* window : qtui::FormWindow::All())
    qtui::FormWindow::Release(window->form());
  forms::ResetFormInstances();
  dde::SetDdeLog(nullptr);
  forms::App::Install(nullptr);
  return status;
}
