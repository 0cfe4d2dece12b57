// Times the bulk-delete window drawn by the Qt renderer and driven as a user drives it: a click
// on "Select All", one arrow step of the date picker (a pass over every picture by date) and
// "Delete" answered Yes, each until the window has painted, at 500, 4,000 and 6,000 pictures:
//   bench_delpics [RUNS]        (QT_QPA_PLATFORM=offscreen unless set; xvfb-run works too;
//                               BENCH_NO_DELETE=1 leaves Delete out)
// Prints the medians and time(4,000) / time(500) for each step.  The folders are made under
// /tmp/velmora-delpics-bench: small JPEGs with distinct bytes, dated over the last 60 days.
#include <utime.h>

#include <QDateEdit>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <map>

#include "core/frmMainControls.h"
#include "core/modVelmod.h"
#include "platform/forms/FileControls.h"
#include "tests/bench/QtWindows.h"
#include "tools/frmDelPics.h"

namespace bench {
namespace {

const fs::path kRoot = "/tmp/velmora-delpics-bench";
const std::vector<int> kSizes = {500, 4000, 6000};

// The main window the dialog centres on and compares its folder with.
class MainWindow : public core::MainFormControls {
 public:
  MainWindow() : MainFormControls("frmMain", "-") {}
  forms::Label lblCapDir{*this, "lblCapDir"};
  forms::FileListBox filCapture{*this, "filCapture"};
};

// `files` small JPEGs, each with bytes of its own, file n dated n % 60 days ago.
void MakeFolder(const fs::path& folder, int files) {
  fs::create_directories(folder);
  const std::time_t now = std::time(nullptr);
  for (int n = 0; n < files; ++n) {
    const fs::path file = folder / PictureName(n);
    if (!fs::exists(file)) SmallJpeg(file, n);
    const std::time_t when = now - static_cast<std::time_t>(n % 60) * 86400 - 3600;
    utimbuf times{when, when};
    ::utime(file.c_str(), &times);
  }
}

struct Times {
  double selectAll = 0, dateStep = 0, del = 0;
};

Times Measure(int files, int runs) {
  const std::string dir = "D:\\P" + std::to_string(files) + "\\";
  const fs::path host = kRoot / "pics" / ("P" + std::to_string(files));
  MakeFolder(host, files);
  core::gMaintDir = dir;
  core::gMaintCaption = "Delete Photos (Current Directory)";
  tools::frmDelPics& f = forms::FormInstance<tools::frmDelPics>();
  f.Show();
  qtui::FormWindow* window = qtui::FormWindow::For(f);
  Settle();
  if (f.filListBox.ListCount() != files) std::_Exit(3);
  auto* date = qobject_cast<QDateEdit*>(window->WidgetOf(&f.DTPicker1));
  if (date == nullptr) std::_Exit(4);
  date->setCurrentSection(QDateTimeEdit::DaySection);  // as a click on the day field

  std::vector<double> all, step;
  for (int run = 0; run < runs; ++run) {
    ClickAndTime(window->WidgetOf(&f.cmdClear));
    all.push_back(ClickAndTime(window->WidgetOf(&f.cmdSelectAll)));
    if (f.filListBox.SelCount() != files) std::_Exit(5);
    const int before = f.filListBox.SelCount();
    const auto t = Clock::now();
    QTest::keyClick(date, run % 2 == 0 ? Qt::Key_Up : Qt::Key_Down);  // one day on or back
    Settle();
    step.push_back(Seconds(t));
    if (f.filListBox.SelCount() == before) {
      std::fprintf(stderr, "the date step selected nothing new (%s)\n",
                   date->date().toString().toStdString().c_str());
      std::_Exit(6);
    }
  }

  // Delete once: every picture selected, Yes.
  if (std::getenv("BENCH_NO_DELETE") != nullptr) {
    f.Unload();
    Settle();
    return {Median(all), Median(step), 0};
  }
  ClickAndTime(window->WidgetOf(&f.cmdSelectAll));
  const int boxes = AnswerEveryBox(0);  // the question, answered Yes
  const double del = ClickAndTime(window->WidgetOf(&f.cmdDelete));
  if (f.filListBox.ListCount() != 0 || AnswerEveryBox(0) != boxes + 1) std::_Exit(7);
  f.Unload();
  Settle();
  return {Median(all), Median(step), del};
}

int Main(int argc, char** argv) {
  const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
  QtWindows qt(argc, argv, "velmora-delpics-bench");
  fs::create_directories(FreshPrefix(kRoot) / "APPRAISE");
  core::ResetGlobals();
  core::gIniDir = "C:\\APPRAISE\\";
  core::gCaptureDir = "D:\\P500\\";
  core::gbUseButtons = core::vbTrue;
  MainWindow main;
  main.Move(0, 0, 15360, 10200);
  core::SetMainForm(&main);

  std::map<int, Times> t;
  for (int files : kSizes) t[files] = Measure(files, runs);
  std::printf("bulk-delete window (Qt, %s), medians of %d runs; Delete once\n",
              QtWindows::Platform(), runs);
  for (int files : kSizes) {
    std::printf("%5d files: Select All %.4f s   date step %.4f s   Delete %.3f s\n", files,
                t[files].selectAll, t[files].dateStep, t[files].del);
  }
  const Times& a = t[500];
  const Times& b = t[4000];
  std::printf(
      "time(4000) / time(500): Select All %.1f   date step %.1f   Delete %.1f (target 10)\n",
      b.selectAll / a.selectAll, b.dateStep / a.dateStep, b.del / a.del);
  std::printf("Select All at 6000: %.3f s (target 0.3)\n", t[6000].selectAll);

  qt.Close();
  core::SetMainForm(nullptr);
  return 0;
}

}  // namespace
}  // namespace bench

int main(int argc, char** argv) {
  return bench::Main(argc, argv);
}
