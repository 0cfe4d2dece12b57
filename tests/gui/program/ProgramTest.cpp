// The real velmora program under Xvfb beside the KEP stand-in: it ends when its main window is
// closed as a window manager closes it, writing its settings once.

#include <gtest/gtest.h>

#include <QStandardPaths>
#include <chrono>
#include <string>

#include "tests/gui/program/ProgramSession.h"

namespace program {
namespace {

using namespace std::chrono_literals;

int Count(const std::string& text, const std::string& part) {
  int n = 0;
  for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
  return n;
}

bool ToolsMissing() {
  return QStandardPaths::findExecutable("Xvfb").isEmpty() ||
         QStandardPaths::findExecutable("xdotool").isEmpty();
}

// Closes the main window and expects the program to end by itself with status 0.
void CloseAndExpectTheEnd(ProgramSession& s, Window main) {
  s.Close(main);
  const std::optional<int> status = s.WaitForExit(20s);
  ASSERT_TRUE(status.has_value()) << "the program is still running after its window closed";
  EXPECT_EQ(*status, 0);
}

TEST(Program, ClosingTheMainWindowEndsTheProgramAndItStartsAgain) {
  if (ToolsMissing()) GTEST_SKIP() << "Xvfb or xdotool is not installed";
  ProgramSession s(1024, 768);
  s.Start();
  const Window main = s.WaitForMainWindow();
  ASSERT_NE(main, 0u) << "no main window";
  EXPECT_EQ(s.Title(main), "Corvane Velmora -  Version " + std::to_string(VELMORA_VERSION_MAJOR) +
                               "." + std::to_string(VELMORA_VERSION_MINOR) + "." +
                               std::to_string(VELMORA_VERSION_PATCH));
  s.Settle(1500ms);
  CloseAndExpectTheEnd(s, main);

  const std::string ini = s.Ini();
  for (const char* key : {"CAPTUREDIR=C:\\GLENVUE\\", "LASTCOPY=", "PREVIEWCOPYPICS=1",
                          "SCREENSIZE=0", "IMAGE TYPE=JPG"}) {
    EXPECT_EQ(Count(ini, std::string("\n") + key), 1) << key << " in\n" << ini;
  }

  // The first run is gone: the second starts as the only one and ends the same way.
  s.Start();
  const Window again = s.WaitForMainWindow();
  ASSERT_NE(again, 0u) << "no main window at the second start";
  EXPECT_EQ(s.WaitForWindow("Program Already Running in Memory", 500ms), 0u);
  s.Settle(1000ms);
  CloseAndExpectTheEnd(s, again);
}

}  // namespace
}  // namespace program
