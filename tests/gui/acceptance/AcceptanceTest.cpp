// Acceptance tests of the real program: velmora started beside the KEP stand-in on the sample
// report, under Xvfb, driven with the real mouse.  Each test is one whole scenario with its own
// started program; ctest runs each as a separate process.
#include <gtest/gtest.h>

#include <QProcess>
#include <algorithm>
#include <cctype>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "platform/winfs/WinFs.h"
#include "tests/gui/UnderXvfb.h"
#include "tests/gui/acceptance/Session.h"

namespace {

using acceptance::Map;
using acceptance::Session;

constexpr const char* kScreen = "1280x1024x24";
constexpr int kScenarioMs = 280000;
constexpr const char* kCapture = "C:\\GLENVUE";

std::string Upper(std::string s) {
  std::transform(s.begin(), s.end(), s.begin(),
                 [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
  return s;
}

bool EndsWith(const std::string& text, const std::string& end) {
  const std::string t = Upper(text);
  const std::string e = Upper(end);
  return t.size() >= e.size() && t.compare(t.size() - e.size(), e.size(), e) == 0;
}

bool Contains(const std::string& text, const std::string& part) {
  return Upper(text).find(Upper(part)) != std::string::npos;
}

// The name of the file a path ends in.
std::string Leaf(const std::string& winPath) {
  return winPath.substr(winPath.find_last_of('\\') + 1);
}

std::string Slot(const std::string& array, int index) {
  return array + "(" + std::to_string(index) + ")";
}

class Acceptance : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!xvfb::InChild()) return;
    session = std::make_unique<Session>();
    map = session->WaitFor("the started main window", [](const Map& m) {
      return m.Shown("frmMain", "lbltag(0)") && !m.Text("frmMain", "lbltag(0)").empty() &&
             Contains(m.Text("frmMain", "lblRPT"), "1427MAPLE") &&
             !m.Text("frmMain", "lblCompAddr(1)").empty();
    });
  }

  QPoint Centre(const std::string& form, const std::string& name) {
    const acceptance::Item* item = map.Control(form, name);
    EXPECT_TRUE(item && item->shown) << form << "." << name << " is not shown";
    return item ? item->rect.center() : QPoint();
  }
  void ClickControl(const std::string& form, const std::string& name) {
    acceptance::Click(Centre(form, name));
  }
  // The picture files of the capture folder in the order of the strip, as its labels show them.
  std::vector<std::string> CaptureFiles() {
    std::vector<std::string> names;
    for (const std::string& n : winfs::ListFiles(kCapture, "*.jpg;*.bmp;*.tif")) {
      names.push_back(Upper(n));
    }
    return names;
  }
  // Waits for the strip to show the pictures from file number first on (the redraw fills one
  // thumbnail after the other), then checks each.
  void ExpectStripAt(std::size_t first, const std::string& after) {
    const std::vector<std::string> files = CaptureFiles();
    ASSERT_LT(first, files.size());
    auto showsFile = [&](const Map& m, std::size_t i) {
      const std::string n = std::to_string(i);
      if (first + i >= files.size()) return !m.Shown("frmMain", "GeaThumb(" + n + ")");
      return m.Shown("frmMain", "GeaThumb(" + n + ")") &&
             m.Text("frmMain", "lbltag(" + n + ")") == files[first + i];
    };
    map = session->WaitFor(
        "the strip from " + files[first] + " after " + after,
        [&](const Map& m) {
          for (std::size_t i = 0; i < 12; ++i) {
            if (!showsFile(m, i)) return false;
          }
          return true;
        },
        15000);
    for (std::size_t i = 0; i < 12; ++i) EXPECT_TRUE(showsFile(map, i)) << after << ": " << i;
  }
  bool LogHas(const std::string& a, const std::string& b, const std::string& c) {
    const std::vector<std::string> log = session->KepLog();
    return std::any_of(log.begin(), log.end(), [&](const std::string& line) {
      return Contains(line, a) && Contains(line, b) && Contains(line, c);
    });
  }
  // Drops thumbnail `thumb` on comparable slot `slot`, answering Yes when a question comes, and
  // checks the copy and its hand-over to KEP.
  void DropOnComparable(int thumb, int slot, bool filled) {
    const std::string target = Slot("imaComp", slot);
    const std::string before = map.Text("frmMain", target);
    EXPECT_EQ(Contains(before, "EMPTY.JPG"), !filled) << before;
    acceptance::Drag(Centre("frmMain", Slot("GeaThumb", thumb)), Centre("frmMain", target));
    if (filled) {
      map = session->WaitFor("the question before replacing a picture",
                             [](const Map& m) { return m.Entry("button", "Yes") != nullptr; });
      EXPECT_TRUE(Contains(map.BoxTexts(), "Overwrite " + before)) << map.BoxTexts();
      if (const acceptance::Item* yes = map.Entry("button", "Yes")) {
        acceptance::Click(yes->rect.center());
      }
    }
    map = session->WaitFor("the copy on " + target, [&](const Map& m) {
      return Contains(m.Text("frmMain", target), "PTEMP_");
    });
    EXPECT_TRUE(map.Entry("button", "Yes") == nullptr) << "a question is still open";
    const std::string copy = map.Text("frmMain", target);
    EXPECT_TRUE(winfs::FileExists(copy)) << copy;
    const std::string object = "CMP_" + std::to_string(slot) + "_3X5";
    map = session->WaitFor("SetImage of " + object,
                           [&](const Map&) { return LogHas("SetImage", object, Leaf(copy)); });
    std::ifstream report(session->ReportFile());
    const std::string text((std::istreambuf_iterator<char>(report)), {});
    EXPECT_TRUE(Contains(text, object + "=")) << text;
    if (filled) {
      const auto trashed = winfs::ListFiles(std::string(kCapture) + "\\TRASHCAN", "*.*");
      EXPECT_TRUE(std::any_of(trashed.begin(), trashed.end(), [&](const std::string& n) {
        return Contains(n, Leaf(before).substr(0, 5));
      })) << "the replaced picture is not in the trash folder";
    }
  }
  // Runs open and waits for the dialog's window.
  void Open(const std::string& form, const std::function<void()>& open) {
    open();
    map = session->WaitFor(form + " opened", [&](const Map& m) { return m.HasWindow(form); });
  }
  // Closes a dialog with the first of closers that it shows and waits for its window to go.
  void Close(const std::string& form, const std::vector<std::string>& closers) {
    auto closer = std::find_if(closers.begin(), closers.end(),
                               [&](const std::string& c) { return map.Shown(form, c); });
    ASSERT_NE(closer, closers.end()) << form << " shows none of its closing buttons";
    ClickControl(form, *closer);
    map = session->WaitFor(form + " closed by " + *closer,
                           [&](const Map& m) { return !m.HasWindow(form); });
    EXPECT_TRUE(map.HasWindow("frmMain"));
  }
  void OpenAndClose(const std::string& form, const std::function<void()>& open,
                    const std::vector<std::string>& closers) {
    Open(form, open);
    Close(form, closers);
  }
  // Clicks through the menu bar and its pop-ups by the entries' captions.
  void ClickMenu(const std::vector<std::string>& path) {
    for (const std::string& entry : path) {
      map = session->WaitFor("the menu entry " + entry,
                             [&](const Map& m) { return m.Entry("menu", entry) != nullptr; });
      if (const acceptance::Item* item = map.Entry("menu", entry)) {
        acceptance::Click(item->rect.center());
      }
    }
  }

  std::unique_ptr<Session> session;
  Map map{{}};
};

TEST_F(Acceptance, StartUpShowsTheSampleReportAndTheStripPages) {
  if (xvfb::RanUnderXvfb(kScreen, kScenarioMs)) return;
  // The X server has the window under the title the program gives it.
  std::string title;
  for (const acceptance::Item& w : map.Windows()) {
    if (w.owner == "frmMain") title = w.text;
  }
  EXPECT_TRUE(Contains(title, "Velmora -  Version ")) << title;
  QProcess search;
  search.start("xdotool", {"search", "--onlyvisible", "--name", QString::fromStdString(title)});
  search.waitForFinished(5000);
  EXPECT_FALSE(search.readAll().trimmed().isEmpty()) << "no visible X window titled " << title;

  EXPECT_EQ(map.Text("frmMain", "lblRPT"), "C:\\KEPDATA\\REPORTS\\1427MAPLE.ZAP");
  EXPECT_EQ(map.Text("frmMain", "lblSubjectAddr"), "1427 Maple Court");
  for (int i = 1; i <= 3; ++i) {
    EXPECT_TRUE(EndsWith(map.Text("frmMain", Slot("imaSubject", i)),
                         "\\1427MAPLE\\SUB_" + std::to_string(i) + "_3X5.JPG"))
        << map.Text("frmMain", Slot("imaSubject", i));
  }
  EXPECT_TRUE(EndsWith(map.Text("frmMain", "imaComp(1)"), "\\CMP_1_3X5.JPG"));
  EXPECT_TRUE(EndsWith(map.Text("frmMain", "imaComp(2)"), "\\CMP_2_3X5.JPG"));
  EXPECT_TRUE(Contains(map.Text("frmMain", "imaComp(3)"), "EMPTY.JPG"));
  EXPECT_TRUE(EndsWith(map.Text("frmMain", "imaComp(4)"), "\\CMP_4_3X5.JPG"));
  EXPECT_TRUE(EndsWith(map.Text("frmMain", "imaRental(1)"), "\\RCMP_1_3X5.JPG"));
  EXPECT_EQ(map.Text("frmMain", "lblCompAddr(1)"), "1502 Maple Court");
  EXPECT_EQ(map.Text("frmMain", "lblCompAddr(3)"), "2210 Birchwood Drive");
  EXPECT_EQ(map.Text("frmMain", "lblCompAddr(4)"), "19 Quarry Road");
  EXPECT_EQ(map.Text("frmMain", "lblRentalAddr(1)"), "1433 Maple Court, Unit B");
  EXPECT_EQ(map.Text("frmMain", "cboGeneral(1)"), "Street Scene");
  EXPECT_EQ(map.Text("frmMain", "cboGeneral(2)"), "Living Room");
  EXPECT_EQ(map.Text("frmMain", "cboGeneralAddress(1)"), "1427 Maple Court");
  EXPECT_EQ(map.Text("frmMain", "lblCapDir"), kCapture);

  // The strip: twelve pictures from the top, then paging with the arrow buttons (34 pictures).
  ASSERT_EQ(CaptureFiles().size(), 34u);
  ExpectStripAt(0, "start-up");
  ClickControl("frmMain", "imaScroll(2)");
  ExpectStripAt(12, "next");
  ClickControl("frmMain", "imaScroll(2)");
  ExpectStripAt(24, "next again");
  ClickControl("frmMain", "imaScroll(1)");
  ExpectStripAt(12, "previous");
  ClickControl("frmMain", "imaScroll(3)");
  ExpectStripAt(22, "last");
  ClickControl("frmMain", "imaScroll(2)");
  ExpectStripAt(23, "next on the last page");
  ClickControl("frmMain", "imaScroll(0)");
  ExpectStripAt(0, "first");
  // Near the end "next" steps by one picture, measured from the selected entry.
  ClickControl("frmMain", "imaScroll(2)");
  ExpectStripAt(12, "next from the top");
  ClickControl("frmMain", "imaScroll(2)");
  ExpectStripAt(24, "next to the last part");
  ClickControl("frmMain", "imaScroll(2)");
  ExpectStripAt(25, "next with fewer than twelve left");
  ClickControl("frmMain", "imaScroll(2)");
  ExpectStripAt(26, "next once more");
}

TEST_F(Acceptance, ThumbnailsDroppedOnAnEmptyAndAFilledComparableReachKep) {
  if (xvfb::RanUnderXvfb(kScreen, kScenarioMs)) return;
  const acceptance::Item* tab = map.Tab("frmMain", "TabData", "Comp");
  ASSERT_NE(tab, nullptr) << "no comparables tab";
  acceptance::Click(tab->rect.center());
  map = session->WaitFor("the comparable slots",
                         [](const Map& m) { return m.Shown("frmMain", "imaComp(3)"); });
  DropOnComparable(0, 3, false);
  DropOnComparable(1, 1, true);
  EXPECT_TRUE(session->Running());
}

TEST_F(Acceptance, EveryDialogOpensFromItsButtonOrMenuAndCloses) {
  if (xvfb::RanUnderXvfb(kScreen, kScenarioMs)) return;
  const std::vector<std::string> cancel = {"cmdCancel", "imaCancel"};
  OpenAndClose(
      "frmPath", [&] { ClickControl("frmMain", "imaCamera"); }, cancel);
  OpenAndClose(
      "frmSearch", [&] { ClickControl("frmMain", "imaSearch"); }, cancel);
  OpenAndClose(
      "frmSearch",
      [&] {
        ClickMenu({"File", "Find Photos (Search)"});
      },
      cancel);
  OpenAndClose(
      "frmCamera", [&] { ClickControl("frmMain", "imaFolder"); }, cancel);
  OpenAndClose(
      "frmDelPics",
      [&] {
        ClickMenu({"Tools", "Maintenance", "Delete Photos (Current Directory)"});
      },
      cancel);
  OpenAndClose("frmAbout", [&] { ClickMenu({"Help", "About Velmora ..."}); }, {"Cmd_OK", "imaOK"});
  // The configuration window, and from it the caption list editor and the about box.
  Open("frmSetup", [&] { ClickControl("frmMain", "imaSetup"); });
  OpenAndClose(
      "frmGenView", [&] { ClickControl("frmSetup", "Command1"); }, cancel);
  OpenAndClose("frmAbout", [&] { ClickControl("frmSetup", "cmdAbout"); }, {"Cmd_OK", "imaOK"});
  Close("frmSetup", {"cmdOK"});
  // A double-click on a thumbnail opens the picture editor on that picture.
  const std::string picture = map.Text("frmMain", "GeaThumb(0)");
  ASSERT_FALSE(picture.empty());
  Open("frmDouble", [&] { acceptance::DoubleClick(Centre("frmMain", "GeaThumb(0)")); });
  EXPECT_TRUE(Contains(map.Text("frmDouble", "bmpDouble"), Leaf(picture)))
      << map.Text("frmDouble", "bmpDouble");
  Close("frmDouble", {"cmdExit", "imaExit"});
  EXPECT_TRUE(session->Running());
}

}  // namespace
