// The real velmora program under Xvfb beside the KEP stand-in: it ends when its main window is
// closed as a window manager closes it, writing its settings once; it starts on small screens
// with a window that fits and is laid out; it keeps its minimum size and a stored placement.

#include <gtest/gtest.h>

#include <signal.h>

#include <QStandardPaths>
#include <chrono>
#include <string>
#include <vector>

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

bool NoWindowManager() {
  return QStandardPaths::findExecutable("openbox").isEmpty();
}

// Closes the main window and expects the program to end by itself with status 0; what it did
// to its INI file meanwhile.
ProgramSession::IniTraffic CloseAndExpectTheEnd(ProgramSession& s, Window main) {
  const ProgramSession::IniTraffic before = s.Traffic();
  s.Close(main);
  const std::optional<int> status = s.WaitForExit(60s);
  EXPECT_TRUE(status.has_value()) << "the program is still running after its window closed";
  EXPECT_EQ(status.value_or(-1), 0);
  const ProgramSession::IniTraffic after = s.Traffic();
  return {after.opens - before.opens, after.replacements - before.replacements};
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

  // A dialog closed with its close box goes back to the main window; the program goes on.
  s.Click(main, 72, 48);  // the search button, under the menu bar
  const Window search = s.WaitForWindow("Photo Finder", 10s);
  ASSERT_NE(search, 0u) << "the search button opened no window";
  s.Close(search);
  s.Settle(1000ms);
  EXPECT_EQ(s.WaitForWindow("Photo Finder", 200ms), 0u);
  ASSERT_TRUE(s.Running());
  // Five settings and the window's placement (five keys) are written once; every write reads
  // the file once, so a second write-back shows even when it changes nothing.
  EXPECT_EQ(CloseAndExpectTheEnd(s, main).opens, 10);

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
  EXPECT_EQ(CloseAndExpectTheEnd(s, again).opens, 10);
}

constexpr std::size_t kStartUpTransactions = 79;  // the start-up refresh's, with the sample

// The requests, executes and pokes KEP has seen (a hung one too).
std::size_t Transactions(const ProgramSession& s) {
  std::size_t n = 0;
  for (const std::string& line : s.KepLog()) n += line.rfind("CONNECT", 0) != 0;
  return n;
}

// Starts the program and waits for the start-up refresh to end; the main window, 0 when none
// showed.
Window StartAndWaitForTheRefresh(ProgramSession& s) {
  s.Start();
  const Window main = s.WaitForMainWindow();
  if (main != 0) {
    s.WaitUntil("end of the start-up refresh", 2min,
                [&] { return Transactions(s) >= kStartUpTransactions; });
  }
  return main;
}

// ... and presses the KEP button: its refresh has reached KEP on return.
Window StartAndPressKep(ProgramSession& s) {
  const Window main = StartAndWaitForTheRefresh(s);
  if (main != 0) {
    s.Click(main, 160, 48);
    s.WaitUntil("refresh of the KEP button", 30s,
                [&] { return Transactions(s) > kStartUpTransactions; });
  }
  return main;
}

// A caption typed into a general photo's box reaches KEP when the user then clicks a tab: the
// click takes the focus, so the box's LostFocus sends it.  A close clicked while a message box
// is up is dropped, as Windows drops it: the program goes on after the box.
TEST(Program, ATypedCaptionReachesKepAndACloseDuringAMessageBoxIsDropped) {
  if (ToolsMissing() || NoWindowManager()) GTEST_SKIP() << "Xvfb, xdotool or openbox is missing";
  ProgramSession s(1024, 768);
  s.x().StartWindowManager();
  const Window main = StartAndWaitForTheRefresh(s);
  ASSERT_NE(main, 0u) << "no main window";
  const std::optional<WindowBox> general = s.WaitForItem("tab frmMain TabData 2 ", 30s);
  ASSERT_TRUE(general) << "no General tab in the control map";
  s.ClickCentre(*general);
  const std::optional<WindowBox> caption = s.WaitForItem("control frmMain cboGeneral(1) ", 30s);
  ASSERT_TRUE(caption) << "the General tab shows no caption box";
  s.ClickCentre({caption->x, caption->y, caption->width / 2, caption->height});
  s.Type(main, " - front corner");
  const std::optional<WindowBox> subject = s.WaitForItem("tab frmMain TabData 0 ", 30s);
  ASSERT_TRUE(subject);
  s.ClickCentre(*subject);
  EXPECT_TRUE(s.WaitUntil("typed caption at KEP", 60s, [&] {
    for (const std::string& line : s.KepLog()) {
      if (line.rfind("POKE", 0) == 0 && line.find("- front corner") != line.npos) return true;
    }
    return false;
  }));

  const std::optional<WindowBox> help = s.WaitForItem("menu ", 30s, "\"Help\"");
  ASSERT_TRUE(help) << "no Help menu";
  s.ClickCentre(*help);
  const std::optional<WindowBox> support = s.WaitForItem("menu ", 30s, "\"Technical Support\"");
  ASSERT_TRUE(support) << "no Technical Support entry";
  s.ClickCentre(*support);
  const Window box = s.WaitForWindow("Technical Support", 30s);
  ASSERT_NE(box, 0u) << "no support box";
  s.Close(main);
  s.Settle(1000ms);
  s.PressReturn(box);
  s.Settle(2000ms);
  EXPECT_TRUE(s.Running()) << "the close clicked while the box was up ended the program";
  CloseAndExpectTheEnd(s, main);
}

// A close while the KEP button's refresh runs (each answer late) waits for the refresh, then
// ends the program as a close at rest does, writing the settings and the placement once.
TEST(Program, ClosingDuringARefreshEndsTheProgramOnceTheRefreshIsDone) {
  if (ToolsMissing()) GTEST_SKIP() << "Xvfb or xdotool is not installed";
  ProgramSession s(1024, 768, {"--slow", "1"});
  const Window main = StartAndPressKep(s);
  ASSERT_NE(main, 0u) << "no main window";
  EXPECT_EQ(CloseAndExpectTheEnd(s, main).replacements, 10);
}

// A close while KEP hangs in the KEP button's refresh is carried out after the timeout's box.
TEST(Program, AClosingDuringAHungKepCallIsNotLost) {
  if (ToolsMissing()) GTEST_SKIP() << "Xvfb or xdotool is not installed";
  ProgramSession s(1024, 768, {"--hang-at", std::to_string(kStartUpTransactions + 1)});
  const Window main = StartAndPressKep(s);
  ASSERT_NE(main, 0u) << "no main window";
  s.Close(main);
  const Window box = s.WaitForWindow("Error", 60s);
  ASSERT_NE(box, 0u) << "no box about the timeout";
  s.PressReturn(box);
  const std::optional<int> status = s.WaitForExit(40s);
  ASSERT_TRUE(status.has_value()) << "the close was lost";
  EXPECT_EQ(*status, 0);
}

TEST(Program, TheMinimumSizeHoldsAndAStoredPlacementIsApplied) {
  if (ToolsMissing()) GTEST_SKIP() << "Xvfb or xdotool is not installed";
  ProgramSession s(1280, 1024);
  s.WriteIni("[WINDOW frmMain]\r\nLeft=1500\r\nTop=1200\r\nWidth=13500\r\nHeight=9000\r\n");
  s.Start();
  const Window main = s.WaitForMainWindow();
  ASSERT_NE(main, 0u) << "no main window";
  s.Settle(1500ms);
  // 12000 x 8400 twips outside, less the frame the window manager adds.
  const auto [minWidth, minHeight] = s.MinimumSize(main);
  EXPECT_GE(minWidth, 780);
  EXPECT_LE(minWidth, 800);
  EXPECT_GE(minHeight, 520);
  EXPECT_LE(minHeight, 560);
  const WindowBox box = s.Box(main);
  EXPECT_EQ(box.x, 100);
  EXPECT_EQ(box.y, 80);
  EXPECT_GE(box.width, 880);
  EXPECT_LE(box.width, 900);
  EXPECT_TRUE(s.EdgesClear(main, 40));
  CloseAndExpectTheEnd(s, main);
}

// Stored placements on a smaller screen: a size stored on a larger screen is cut to this one,
// the framed window lying on the screen; a window stored maximised comes back maximised and
// stays so, and closed, it keeps its state and the normal state's place and size.
TEST(Program, AStoredPlacementComesBackOnTheScreen) {
  if (ToolsMissing() || NoWindowManager()) GTEST_SKIP() << "Xvfb, xdotool or openbox is missing";
  struct Row {
    const char* placement;
    bool maximised;
    std::vector<const char*> kept;
  };
  const Row rows[] = {
      {"Left=0\r\nTop=0\r\nWidth=19200\r\nHeight=13080\r\n", false, {}},
      {"Left=1500\r\nTop=1200\r\nWidth=13500\r\nHeight=9000\r\nWindowState=2\r\n",
       true,
       {"WindowState=2", "Left=1500", "Width=13500", "Height=9000"}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.placement);
    ProgramSession s(1024, 768);
    s.x().StartWindowManager();
    s.WriteIni(std::string("[WINDOW frmMain]\r\n") + row.placement);
    const Window main = StartAndWaitForTheRefresh(s);
    ASSERT_NE(main, 0u) << "no main window";
    s.Settle(1500ms);
    const WindowBox frame = s.Frame(main);
    EXPECT_TRUE(frame.Within(1024, 768))
        << frame.x << "," << frame.y << " " << frame.width << " x " << frame.height;
    EXPECT_EQ(s.Maximised(main), row.maximised);
    CloseAndExpectTheEnd(s, main);
    const std::string ini = s.Ini();
    for (const char* key : row.kept)
      EXPECT_EQ(Count(ini, std::string("\n") + key), 1) << key << " in\n" << ini;
  }
}

// However the session ends it (a signal, the display gone), the program ends without a crash and
// keeps the settings a close writes: SCREENSIZE after Ctrl+R, written once.
struct Ending {
  const char* name;
  int signal;  // 0: the display goes
};

class SessionEndTest : public ::testing::TestWithParam<Ending> {};

TEST_P(SessionEndTest, KeepsTheSettingsAndEndsWithoutACrash) {
  if (ToolsMissing() || NoWindowManager()) GTEST_SKIP() << "Xvfb, xdotool or openbox is missing";
  ProgramSession s(1024, 768);
  s.x().StartWindowManager();
  s.WriteIni("[PREFERENCES]\r\nSCREENSIZE=3\r\n");
  const Window main = StartAndWaitForTheRefresh(s);
  ASSERT_NE(main, 0u) << "no main window";
  s.Settle(1000ms);
  s.PressKeys(main, "ctrl+r");
  s.Settle(1000ms);
  if (GetParam().signal != 0) {
    s.Signal(GetParam().signal);
  } else {
    s.x().Kill();
  }
  const std::optional<int> status = s.WaitForExit(60s);
  ASSERT_TRUE(status.has_value()) << "the program is still running";
  EXPECT_LT(*status, 128) << "the program ended by a signal";
  if (GetParam().signal != 0) {
    EXPECT_EQ(*status, 0);
  }
  const std::string ini = s.Ini();
  EXPECT_EQ(Count(ini, "\nSCREENSIZE=4"), 1) << ini;
  EXPECT_EQ(Count(ini, "SCREENSIZE="), 1) << ini;
}

INSTANTIATE_TEST_SUITE_P(Endings, SessionEndTest,
                         ::testing::Values(Ending{"Terminate", SIGTERM}, Ending{"HangUp", SIGHUP},
                                           Ending{"DisplayGone", 0}),
                         [](const auto& info) { return std::string(info.param.name); });

struct SmallScreen {
  int width;
  int height;
  bool stored;         // a placement stored by a run on a larger screen
  bool windowManager;  // under openbox, which frames the window
};

class SmallScreenTest : public ::testing::TestWithParam<SmallScreen> {};

TEST_P(SmallScreenTest, StartsWithALaidOutWindowThatFits) {
  if (ToolsMissing()) GTEST_SKIP() << "Xvfb or xdotool is not installed";
  const SmallScreen screen = GetParam();
  if (screen.windowManager && NoWindowManager()) GTEST_SKIP() << "openbox is not installed";
  ProgramSession s(screen.width, screen.height);
  if (screen.windowManager) s.x().StartWindowManager();
  if (screen.stored) {
    s.WriteIni(
        "[WINDOW frmMain]\r\nLeft=0\r\nTop=0\r\nWidth=15360\r\nHeight=10200\r\n"
        "WindowState=0\r\n");
  }
  s.Start();
  const Window warning = s.WaitForWindow("Screen Resolution Warning", 2min);
  ASSERT_NE(warning, 0u) << "no warning about the small screen";
  s.PressReturn(warning);
  const Window main = s.WaitForMainWindow();
  ASSERT_NE(main, 0u) << (s.Running() ? std::string("no main window")
                                      : "the program ended at start-up with status " +
                                            std::to_string(s.WaitForExit(0ms).value_or(-1)));
  s.Settle(2000ms);
  ASSERT_TRUE(s.Running()) << "the program ended at start-up";
  // The title bar too: the frame lies on the screen.
  const WindowBox box = screen.windowManager ? s.Frame(main) : s.Box(main);
  EXPECT_TRUE(box.Within(screen.width, screen.height))
      << box.x << "," << box.y << " " << box.width << " x " << box.height;
  EXPECT_TRUE(s.EdgesClear(main, 40)) << "controls are cut off at the window's edge";
  CloseAndExpectTheEnd(s, main);
}

INSTANTIATE_TEST_SUITE_P(
    Screens, SmallScreenTest,
    ::testing::Values(SmallScreen{640, 480, false, false}, SmallScreen{640, 480, true, false},
                      SmallScreen{800, 600, false, false}, SmallScreen{800, 600, true, false},
                      SmallScreen{800, 600, true, true}),
    [](const auto& info) {
      return std::to_string(info.param.width) + "x" + std::to_string(info.param.height) +
             (info.param.stored ? "Stored" : "") + (info.param.windowManager ? "Framed" : "");
    });

}  // namespace
}  // namespace program
