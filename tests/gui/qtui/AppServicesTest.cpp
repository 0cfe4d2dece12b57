// The Qt App services other than MsgBox: shell open, previous instance,
// bring-to-front, screen size, End, and the font and unit conversions.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFontMetrics>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <QWidget>
#include <QWindow>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <vector>

#include "platform/forms/Form.h"
#include "platform/qtui/Fonts.h"
#include "platform/qtui/FormWindow.h"
#include "platform/qtui/QtApp.h"
#include "platform/qtui/Units.h"

namespace {

TEST(AppServices, ShellOpenRunsXdgOpenAndReportsWhatItAnswers) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  // A stand-in xdg-open that records what it was asked to open and exits with the status
  // written in status.txt (or runs on, as a viewer kept in its foreground).
  const QString log = dir.filePath("opened.txt");
  const QString status = dir.filePath("status.txt");
  const QString script = dir.filePath("xdg-open");
  QFile f(script);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.write(QString("#!/bin/sh\ns=$(cat '%2' 2>/dev/null)\necho \"$1\" > '%1'\n"
                  "[ \"$s\" = run ] && exec sleep 5\n[ \"$s\" = late ] && sleep 3 && exit 3\n"
                  "exit ${s:-0}\n")
              .arg(log, status)
              .toUtf8());
  f.close();
  f.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
  const std::string oldPath = std::getenv("PATH") ? std::getenv("PATH") : "";
  setenv("PATH", (dir.path().toStdString() + ":" + oldPath).c_str(), 1);
  // A stand-in xdg-mime that names the desktop entry written in entry.txt, and two entries:
  // one whose program is installed, one whose program is gone.
  const QString entry = dir.filePath("entry.txt");
  const QString asked = dir.filePath("asked.txt");
  auto writeFile = [](const QString& path, const QString& text, bool executable = false) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(text.toUtf8());
    file.close();
    if (executable) file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
  };
  writeFile(dir.filePath("xdg-mime"),
            QString("#!/bin/sh\necho \"$*\" > '%1'\ncat '%2'\n").arg(asked, entry), true);
  writeFile(dir.filePath("viewer"), "#!/bin/sh\n", true);
  QDir(dir.path()).mkpath("data/applications");
  writeFile(dir.filePath("data/applications/test-viewer.desktop"),
            QString("[Desktop Entry]\nType=Application\nExec=env A=1 \"%1\" %f\n")
                .arg(dir.filePath("viewer")));
  writeFile(dir.filePath("data/applications/test-gone.desktop"),
            QString("[Desktop Entry]\nType=Application\nExec=%1 %f\n").arg(dir.filePath("gone")));
  const QByteArray oldDataHome = qgetenv("XDG_DATA_HOME");
  setenv("XDG_DATA_HOME", dir.filePath("data").toStdString().c_str(), 1);
  writeFile(entry, "test-viewer.desktop\n");

  const QString doc = dir.filePath("Velmora.chm");
  QFile(doc).open(QIODevice::WriteOnly);
  qtui::AppInfo info;
  info.hostPath = [&](const std::string& win) {
    return win == "C:\\VELMORA\\Velmora.chm" ? doc.toStdString() : std::string();
  };
  // The opener's answers arrive from the event loop once it has ended.
  auto answers = std::make_shared<std::vector<long>>();
  qtui::QtApp app(info);
  app.SetOpenerAnswered([answers](const std::string&, long result) { answers->push_back(result); });
  auto open = [&] { return app.ShellOpen("C:\\VELMORA\\Velmora.chm"); };
  // What the call answers, or else, when it handed the file on, what the opener answers later
  // (a viewer kept running answers only when it is closed).
  auto answer = [&](const char* exitStatus) {
    QFile s(status);
    EXPECT_TRUE(s.open(QIODevice::WriteOnly));
    s.write(exitStatus);
    s.close();
    const std::size_t before = answers->size();
    QFile::remove(log);
    const long started = open();
    if (started <= 32) return started;
    if (std::string(exitStatus) == "run") {  // once it has read its status, it runs on
      while (!QFile::exists(log)) QThread::msleep(5);
      return started;
    }
    while (answers->size() == before)
      QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    return answers->back();
  };
  EXPECT_GT(answer("0"), 32);
  QFile got(log);
  ASSERT_TRUE(got.open(QIODevice::ReadOnly));
  EXPECT_EQ(QString::fromUtf8(got.readAll()).trimmed(), doc);
  QFile query(asked);
  ASSERT_TRUE(query.open(QIODevice::ReadOnly));
  EXPECT_EQ(QString::fromUtf8(query.readAll()).trimmed(),
            "query default application/vnd.ms-htmlhelp");

  EXPECT_EQ(answer("3"), 31);     // no program opens this kind of file
  EXPECT_EQ(answer("4"), 31);     // the program failed
  EXPECT_EQ(answer("late"), 31);  // however long the opener takes to give up
  EXPECT_EQ(answer("2"), 2);
  EXPECT_GT(answer("run"), 32);
  EXPECT_GT(answer("0"), 32);

  // No viewer for this kind of file, or one whose program is gone: said at once, and no
  // opener runs (however long it would take to give up).
  for (const char* none : {"", "test-gone.desktop"}) {
    writeFile(entry, none);
    QFile::remove(log);
    EXPECT_EQ(answer("run"), 31) << none;
    EXPECT_FALSE(QFile::exists(log)) << none;
  }
  writeFile(entry, "test-viewer.desktop");

  EXPECT_EQ(app.ShellOpen(dir.filePath("missing.chm").toStdString()), 2);
  EXPECT_EQ(app.ShellOpen(dir.filePath("nofolder/missing.chm").toStdString()), 3);
  EXPECT_EQ(app.ShellOpen("C:\\ELSEWHERE\\x.chm"), 3);             // not mapped to this machine
  setenv("PATH", dir.filePath("empty").toStdString().c_str(), 1);  // no xdg-open at all
  EXPECT_EQ(open(), 31);
  setenv("PATH", oldPath.c_str(), 1);
  qputenv("XDG_DATA_HOME", oldDataHome);
}

TEST(AppServices, ASecondHolderOfTheLockSeesAPreviousInstance) {
  qtui::AppInfo info;
  info.instanceName = "velmora-qtui-test-" + std::to_string(QCoreApplication::applicationPid());
  qtui::QtApp first(info);
  qtui::QtApp second(info);
  EXPECT_FALSE(first.PrevInstance());
  EXPECT_TRUE(second.PrevInstance());
  EXPECT_FALSE(first.PrevInstance());  // asked again: the same answer
}

// AppActivate's rule: the exact title, else a title that begins with it; the program's own
// title finds its main window whatever that window's caption says.  A modal window belongs to
// the window it was opened from: minimised, it takes that one along, and comes back with it,
// instead of leaving a program that takes no input.
TEST(AppServices, BringToFrontFindsOurWindowByTitleAndAModalComesBackWithItsOwner) {
  QWidget w;
  w.setWindowTitle("Photo Finder: Assists With Finding Photos");
  w.show();
  qtui::QtApp app({"Velmora", "C:\\", 1, 0, 0, "velmora-front-test", {}});
  forms::App::Install(&app);
  EXPECT_TRUE(app.BringToFront("Photo Finder: Assists With Finding Photos"));
  EXPECT_TRUE(app.BringToFront("Photo Finder"));
  EXPECT_FALSE(app.BringToFront("Velmora"));  // no window of the program is shown yet
  w.hide();
  EXPECT_FALSE(app.BringToFront("Photo Finder: Assists With Finding Photos"));
  forms::Form main("frmMain", "-"), dialog("frmDialog", "-");
  main.SetCaption("Corvane Velmora -  Version 1.0.0");
  main.Show();
  EXPECT_TRUE(app.BringToFront("Velmora"));
  EXPECT_TRUE(app.BringToFront("Corvane Velmora"));
  EXPECT_FALSE(app.BringToFront("Other"));

  QWidget* owner = qtui::FormWindow::For(main, false);
  owner->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(owner));
  bool transient = false, minimisedTogether = false, restored = false;
  QTimer::singleShot(50, [&] {
    QWidget* modal = qtui::FormWindow::For(dialog, false);
    transient = modal->windowHandle()->transientParent() == owner->windowHandle();
    modal->showMinimized();
    minimisedTogether = QTest::qWaitFor([&] { return owner->isMinimized(); });
    owner->showNormal();  // the window manager's restore
    owner->activateWindow();
    restored = QTest::qWaitFor([&] { return !modal->isMinimized() && modal->isActiveWindow(); });
    dialog.Unload();
  });
  dialog.Show(forms::vbModal);
  EXPECT_TRUE(transient);
  EXPECT_TRUE(minimisedTogether);
  EXPECT_TRUE(restored);
  qtui::FormWindow::Release(dialog);
  qtui::FormWindow::Release(main);
  forms::App::Install(nullptr);
}

TEST(AppServices, ScreenAndUnitsAreInTwipsOfTheLogicalDpi) {
  qtui::QtApp app({});
  const double tpp = qtui::TwipsPerPixel();
  EXPECT_EQ(app.TwipsPerPixelX(), static_cast<int>(std::lround(tpp)));
  EXPECT_EQ(qtui::TwipsToPixels(qtui::PixelsToTwips(200)), 200);
  const QRect r = qtui::TwipsToRect(150, 300, 1500, 600);
  EXPECT_EQ(r.x(), std::lround(150 / tpp));
  EXPECT_GT(app.ScreenWidth(), 0);
  EXPECT_EQ(app.ScreenWidth() % app.TwipsPerPixelX(), 0);
}

TEST(AppServices, EndHidesEveryWindowAndThrows) {
  qtui::QtApp app({});
  app.SetMousePointer(11);
  EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
  EXPECT_THROW(app.End(), forms::ProgramEnded);
  EXPECT_TRUE(app.Ended());
  EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);  // the hourglass goes with it
}

TEST(Fonts, ArialNarrowResolvesToANarrowFace) {
  const std::string narrow = qtui::ResolveFamily("Arial Narrow");
  EXPECT_NE(narrow, qtui::ResolveFamily("Arial"));
  const QFontMetrics n(qtui::MakeFont({"Arial Narrow", 10}));
  const QFontMetrics w(qtui::MakeFont({"Arial", 10}));
  const QString text = "Comparable Photo 1";
  EXPECT_LT(n.horizontalAdvance(text), w.horizontalAdvance(text) * 0.9);
}

}  // namespace
