#pragma once
// One started velmora for an acceptance test: a throw-away prefix with the demonstration data
// (velmora-setup --demo), the KEP stand-in with the sample report open, and the real program on
// the X display of the test (Xvfb).  The test drives it with the real mouse (xdotool) and reads
// what it shows from the control map the program writes when VELMORA_CONTROL_MAP is set.

#include <QPoint>
#include <QRect>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class KepProcess;
class QProcess;

namespace acceptance {

// One line of the control map (see platform/qtui/ControlMap.h).
struct Item {
  std::string kind;   // window, control, tab, menu, label, button
  std::string owner;  // the form's name; for menu, label and button the window title
  std::string name;   // control name with its index; for a tab the tab control's
  int page = -1;      // tab page
  QRect rect;
  bool shown = true;
  bool enabled = true;
  std::string text;
};

class Map {
 public:
  explicit Map(std::vector<Item> items) : items_(std::move(items)) {}
  bool Empty() const { return items_.empty(); }
  bool HasWindow(const std::string& form) const;
  std::vector<Item> Windows() const;
  // A control of a form; nullptr when the map has none.
  const Item* Control(const std::string& form, const std::string& name) const;
  std::string Text(const std::string& form, const std::string& name) const;
  bool Shown(const std::string& form, const std::string& name) const;
  // The first tab of a tab control whose caption contains part.
  const Item* Tab(const std::string& form, const std::string& control,
                  const std::string& part) const;
  // A menu entry or message-box button by its text without "&".
  const Item* Entry(const std::string& kind, const std::string& text) const;
  // The texts of every message-box label, joined by new lines.
  std::string BoxTexts() const;

 private:
  std::vector<Item> items_;
};

class Session {
 public:
  Session();
  ~Session();
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;

  Map Read() const;
  // Reads the map until ok holds; the last map read.  Fails the test with what when it has not
  // held after timeoutMs of the program's own time (tests/gui/support/ProgramClock.h), keeping
  // the screen and the map beside the logs.
  Map WaitFor(const std::string& what, const std::function<bool(const Map&)>& ok,
              int timeoutMs = 30000) const;
  bool Running() const;

  // The host path of a Windows path in the session's prefix.
  std::filesystem::path Host(const std::string& winPath) const;
  std::vector<std::string> KepLog() const;
  std::string ReportFile() const;

 private:
  std::filesystem::path MapFile() const { return root_ / "controls.map"; }

  std::filesystem::path root_;
  std::filesystem::path prefix_;
  std::unique_ptr<KepProcess> kep_;
  std::unique_ptr<QProcess> velmora_;
};

// The real mouse, through xdotool.
void Click(QPoint at);
void DoubleClick(QPoint at);
void Drag(QPoint from, QPoint to);

}  // namespace acceptance
