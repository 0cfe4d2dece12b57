#pragma once
// Tests that need an X server run themselves again under xvfb-run -a (a free
// display of their own): the parent process starts the child with the one test
// and checks that it passed; the child finds VELMORA_XVFB_CHILD set.
#include <gtest/gtest.h>

#include <QPoint>
#include <QProcess>
#include <QStandardPaths>
#include <QStringList>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace xvfb {

inline bool InChild() {
  return std::getenv("VELMORA_XVFB_CHILD") != nullptr;
}

// The running test program.
inline std::string Self() {
  std::error_code ec;
  return std::filesystem::read_symlink("/proc/self/exe", ec).string();
}

// In the parent: runs the current test under Xvfb and returns true (the test
// is then done); in the child: returns false.
inline bool RanUnderXvfb(const char* screen = "1024x768x24", int timeoutMs = 90000) {
  if (InChild()) return false;
  const QString xvfb = QStandardPaths::findExecutable("xvfb-run");
  if (xvfb.isEmpty()) {
    ADD_FAILURE() << "xvfb-run is not installed (scripts/deps)";
    return true;
  }
  EXPECT_FALSE(QStandardPaths::findExecutable("xdotool").isEmpty()) << "xdotool is missing";
  const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
  const std::string filter =
      std::string("--gtest_filter=") + info->test_suite_name() + "." + info->name();
  QProcess child;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert("VELMORA_XVFB_CHILD", "1");
  env.insert("QT_QPA_PLATFORM", "xcb");
  // libxkbcommon-x11 calls strndup on keymap names that are not NUL-ended,
  // which AddressSanitizer's strict string checks take for an overflow.
  if (env.contains("ASAN_OPTIONS")) {
    env.insert("ASAN_OPTIONS", env.value("ASAN_OPTIONS") + ":strict_string_checks=0");
  }
  child.setProcessEnvironment(env);
  child.setProcessChannelMode(QProcess::MergedChannels);
  child.start(xvfb, {"-a", "-s", QString("-screen 0 ") + screen, QString::fromStdString(Self()),
                     QString::fromStdString(filter)});
  EXPECT_TRUE(child.waitForFinished(timeoutMs)) << "the test under Xvfb did not end";
  const QString output = QString::fromUtf8(child.readAll());
  EXPECT_EQ(child.exitCode(), 0) << output.toStdString();
  EXPECT_TRUE(output.contains("[  PASSED  ] 1 test")) << output.toStdString();
  return true;
}

// The xdotool words that move the pointer to p.
inline QStringList MoveTo(QPoint p) {
  return {"mousemove", QString::number(p.x()), QString::number(p.y())};
}

// A press at from, a move to `to` in steps with the button held, a pause and the release.
inline QStringList DragScript(QPoint from, QPoint to, int steps = 10) {
  QStringList script = MoveTo(from);
  script << "sleep"
         << "0.3"
         << "mousedown"
         << "1"
         << "sleep"
         << "0.3";
  for (int step = 1; step <= steps; ++step) {
    script << MoveTo(from + (to - from) * step / steps) << "sleep"
           << "0.08";
  }
  script << MoveTo(to + QPoint(2, 1)) << "sleep"
         << "0.4"
         << "mouseup"
         << "1";
  return script;
}

}  // namespace xvfb
