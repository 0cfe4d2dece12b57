#include "tests/gui/acceptance/Session.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <QProcess>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "platform/winfs/WinFs.h"
#include "tests/gui/UnderXvfb.h"
#include "tests/gui/support/ProgramClock.h"
#include "tests/integration/KepProcess.h"

namespace acceptance {

namespace fs = std::filesystem;

namespace {

std::string WithoutAmpersands(std::string s) {
  std::erase(s, '&');
  return s;
}

// Splits a map line at blanks; a quoted text is one token, unescaped.
std::vector<std::string> Tokens(const std::string& line) {
  std::vector<std::string> tokens;
  std::size_t i = 0;
  while (i < line.size()) {
    if (line[i] == ' ') {
      ++i;
      continue;
    }
    std::string token;
    if (line[i] == '"') {
      for (++i; i < line.size() && line[i] != '"'; ++i) {
        if (line[i] == '\\' && i + 1 < line.size()) {
          const char c = line[++i];
          token += c == 'n' ? '\n' : c == 'r' ? '\r' : c;
        } else {
          token += line[i];
        }
      }
      ++i;
    } else {
      while (i < line.size() && line[i] != ' ') token += line[i++];
    }
    tokens.push_back(token);
  }
  return tokens;
}

QRect RectAt(const std::vector<std::string>& t, std::size_t at) {
  return QRect(std::stoi(t[at]), std::stoi(t[at + 1]), std::stoi(t[at + 2]), std::stoi(t[at + 3]));
}

std::optional<Item> Parse(const std::string& line) {
  const std::vector<std::string> t = Tokens(line);
  Item item;
  if (t.empty()) return std::nullopt;
  item.kind = t[0];
  if (item.kind == "window" && t.size() == 7) {
    item.owner = t[1];
    item.rect = RectAt(t, 2);
    item.text = t[6];
  } else if (item.kind == "control" && t.size() == 10) {
    item.owner = t[1];
    item.name = t[2];
    item.rect = RectAt(t, 3);
    item.shown = t[7] == "1";
    item.enabled = t[8] == "1";
    item.text = t[9];
  } else if (item.kind == "tab" && t.size() == 9) {
    item.owner = t[1];
    item.name = t[2];
    item.page = std::stoi(t[3]);
    item.rect = RectAt(t, 4);
    item.text = t[8];
  } else if (t.size() == 7) {
    item.owner = t[1];
    item.rect = RectAt(t, 2);
    item.text = t[6];
  } else {
    return std::nullopt;  // a line cut off while it was written
  }
  return item;
}

// Runs a program to its end; its output when it fails.
void Run(const QString& program, const QStringList& args, const QProcessEnvironment& env) {
  QProcess p;
  p.setProcessEnvironment(env);
  p.setProcessChannelMode(QProcess::MergedChannels);
  p.start(program, args);
  if (!p.waitForFinished(180000) || p.exitCode() != 0) {
    throw std::runtime_error(program.toStdString() + " failed: " + p.readAll().toStdString());
  }
}

void Xdotool(const QStringList& script) {
  QProcess::execute("xdotool", script);
}

}  // namespace

bool Map::HasWindow(const std::string& form) const {
  for (const Item& i : items_) {
    if (i.kind == "window" && i.owner == form) return true;
  }
  return false;
}

std::vector<Item> Map::Windows() const {
  std::vector<Item> windows;
  for (const Item& i : items_) {
    if (i.kind == "window") windows.push_back(i);
  }
  return windows;
}

const Item* Map::Control(const std::string& form, const std::string& name) const {
  for (const Item& i : items_) {
    if (i.kind == "control" && i.owner == form && i.name == name) return &i;
  }
  return nullptr;
}

std::string Map::Text(const std::string& form, const std::string& name) const {
  const Item* i = Control(form, name);
  return i ? i->text : std::string();
}

bool Map::Shown(const std::string& form, const std::string& name) const {
  const Item* i = Control(form, name);
  return i && i->shown;
}

const Item* Map::Tab(const std::string& form, const std::string& control,
                     const std::string& part) const {
  for (const Item& i : items_) {
    if (i.kind == "tab" && i.owner == form && i.name == control &&
        WithoutAmpersands(i.text).find(part) != std::string::npos) {
      return &i;
    }
  }
  return nullptr;
}

const Item* Map::Entry(const std::string& kind, const std::string& text) const {
  for (const Item& i : items_) {
    if (i.kind == kind && WithoutAmpersands(i.text) == text) return &i;
  }
  return nullptr;
}

std::string Map::BoxTexts() const {
  std::string texts;
  for (const Item& i : items_) {
    if (i.kind == "label") texts += i.text + "\n";
  }
  return texts;
}

Session::Session() {
  std::string pattern = (fs::temp_directory_path() / "velmora-accept-XXXXXX").string();
  if (!::mkdtemp(pattern.data())) throw std::runtime_error("no temporary folder");
  root_ = pattern;
  prefix_ = root_ / "prefix";
  for (const char* dir : {"dde", "run"}) ::mkdir((root_ / dir).c_str(), 0700);

  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  Run("bash", {VELMORA_RESOURCES_DIR "/demo/make-photos", VELMORA_PHOTOS_DIR, "32"}, env);
  Run(VELMORA_SETUP_EXE,
      {"--prefix", QString::fromStdString(prefix_.string()), "--demo", "--photos",
       VELMORA_PHOTOS_DIR, "--no-media", "--resources", VELMORA_RESOURCES_DIR},
      env);
  winfs::UsePrefix(prefix_);
  kep_ = std::make_unique<KepProcess>(
      root_ / "dde", std::vector<std::string>{"--prefix", prefix_.string(), "--log",
                                              (root_ / "kep.log").string(), ReportFile()});

  env.insert("VELMORA_PREFIX", QString::fromStdString(prefix_.string()));
  env.insert("VELMORA_DDE_DIR", QString::fromStdString((root_ / "dde").string()));
  env.insert("VELMORA_RESOURCES", VELMORA_RESOURCES_DIR);
  env.insert("VELMORA_CONTROL_MAP", QString::fromStdString(MapFile().string()));
  env.insert("XDG_RUNTIME_DIR", QString::fromStdString((root_ / "run").string()));
  env.insert("QT_QPA_PLATFORM", "xcb");
  velmora_ = std::make_unique<QProcess>();
  velmora_->setProcessEnvironment(env);
  velmora_->setStandardOutputFile(QString::fromStdString((root_ / "velmora.log").string()));
  velmora_->setStandardErrorFile(QString::fromStdString((root_ / "velmora.log").string()),
                                 QIODevice::Append);
  velmora_->start(VELMORA_EXE, {});
  if (!velmora_->waitForStarted(10000)) throw std::runtime_error("velmora did not start");
}

Session::~Session() {
  if (velmora_ && velmora_->state() != QProcess::NotRunning) {
    velmora_->terminate();
    if (!velmora_->waitForFinished(5000)) {
      velmora_->kill();
      velmora_->waitForFinished(5000);
    }
  }
  if (kep_) kep_->Stop();
  kep_.reset();
  std::error_code ec;
  if (!::testing::Test::HasFailure())
    fs::remove_all(root_, ec);
  else
    std::printf("kept for review: %s\n", root_.c_str());
}

Map Session::Read() const {
  std::vector<Item> items;
  std::ifstream in(MapFile());
  for (std::string line; std::getline(in, line);) {
    if (std::optional<Item> item = Parse(line)) items.push_back(*item);
  }
  return Map(std::move(items));
}

Map Session::WaitFor(const std::string& what, const std::function<bool(const Map&)>& ok,
                     int timeoutMs) const {
  Map map = Read();
  const std::optional<std::string> gaveUp = gui::WaitForTicks(
      MapFile(), std::chrono::milliseconds(timeoutMs),
      [&] {
        map = Read();
        return !map.Empty() && ok(map);
      },
      [this] { return Running(); });
  if (gaveUp) {
    ADD_FAILURE() << "waited in vain for " << what << ": " << *gaveUp;
    gui::KeepScreen(MapFile());
  }
  return map;
}

bool Session::Running() const {
  return velmora_ && velmora_->state() == QProcess::Running;
}

fs::path Session::Host(const std::string& winPath) const {
  return winfs::ToHost(winPath);
}

std::vector<std::string> Session::KepLog() const {
  return ReadLines(root_ / "kep.log");
}

std::string Session::ReportFile() const {
  return (prefix_ / "drive_c" / "KEPDATA" / "REPORTS" / "1427MAPLE.ZAP").string();
}

void Click(QPoint at) {
  Xdotool(xvfb::MoveTo(at) << "sleep"
                           << "0.2"
                           << "click"
                           << "1");
}

void DoubleClick(QPoint at) {
  Xdotool(xvfb::MoveTo(at) << "sleep"
                           << "0.2"
                           << "click"
                           << "--repeat"
                           << "2"
                           << "--delay"
                           << "80"
                           << "1");
}

void Drag(QPoint from, QPoint to) {
  Xdotool(xvfb::DragScript(from, to));
}

}  // namespace acceptance
