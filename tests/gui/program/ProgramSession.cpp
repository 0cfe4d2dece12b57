#include "tests/gui/program/ProgramSession.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <thread>
#include <vector>

#include "tests/gui/support/ProgramClock.h"

namespace program {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

const fs::path kData = fs::path(VELMORA_SOURCE_DIR) / "tests" / "integration" / "data";

std::string Slurp(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

// Runs a program to its end with DISPLAY set; its exit status.
int RunTool(const std::string& display, std::vector<std::string> args) {
  std::vector<char*> argv;
  for (auto& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  const pid_t pid = ::fork();
  if (pid == 0) {
    ::setenv("DISPLAY", display.c_str(), 1);
    ::execvp(argv[0], argv.data());
    ::_exit(127);
  }
  int st = 0;
  ::waitpid(pid, &st, 0);
  return WIFEXITED(st) ? WEXITSTATUS(st) : 128 + WTERMSIG(st);
}

// A window may close between being listed and being asked about: its BadWindow is no fault.
int IgnoreXError(Display*, XErrorEvent*) {
  return 0;
}

std::string Property(Display* d, Window w, const char* name, Atom type) {
  Atom actual = 0;
  int format = 0;
  unsigned long count = 0, after = 0;
  unsigned char* data = nullptr;
  std::string value;
  if (XGetWindowProperty(d, w, XInternAtom(d, name, False), 0, 1024, False, type, &actual, &format,
                         &count, &after, &data) == Success &&
      data != nullptr) {
    if (format == 8) value.assign(reinterpret_cast<char*>(data), count);
    XFree(data);
  }
  return value;
}

}  // namespace

// ---- XServer

XServer::XServer(int width, int height) : width_(width), height_(height) {
  int pipeFds[2];
  if (::pipe(pipeFds) != 0) throw std::runtime_error("pipe failed");
  const std::string screen = std::to_string(width) + "x" + std::to_string(height) + "x24";
  pid_ = ForkTiedChild();
  if (pid_ == 0) {
    ::close(pipeFds[0]);
    const std::string fd = std::to_string(pipeFds[1]);
    ::execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", screen.c_str(), "-nolisten",
             "tcp", static_cast<char*>(nullptr));
    ::_exit(127);
  }
  ::close(pipeFds[1]);
  std::string number;
  char c = 0;
  while (::read(pipeFds[0], &c, 1) == 1 && c != '\n') number += c;
  ::close(pipeFds[0]);
  if (number.empty()) throw std::runtime_error("Xvfb did not start");
  name_ = ":" + number;
  display_ = XOpenDisplay(name_.c_str());
  if (!display_) throw std::runtime_error("cannot open display " + name_);
  XSetErrorHandler(IgnoreXError);
}

void XServer::StartWindowManager() {
  wm_ = ForkTiedChild();
  if (wm_ == 0) {
    ::setenv("DISPLAY", name_.c_str(), 1);
    ::execlp("openbox", "openbox", static_cast<char*>(nullptr));
    ::_exit(127);
  }
  // Managing starts when it owns the screen's manager selection; the bound only catches an
  // openbox that never gets there.
  const Atom selection = XInternAtom(display_, "WM_S0", False);
  for (const auto end = Clock::now() + std::chrono::minutes(1);
       XGetSelectionOwner(display_, selection) == 0;) {
    if (Clock::now() > end) throw std::runtime_error("openbox did not take the screen");
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
}

// Ends a process this session started and waits for it; -1 afterwards.
static void End(pid_t& pid) {
  if (pid > 0) {
    ::kill(pid, SIGTERM);
    ::waitpid(pid, nullptr, 0);
  }
  pid = -1;
}

void XServer::Kill() {
  if (display_) XCloseDisplay(display_);
  display_ = nullptr;
  End(pid_);
  End(wm_);
}

XServer::~XServer() {
  End(wm_);
  if (display_) XCloseDisplay(display_);
  End(pid_);
}

// ---- ProgramSession

ProgramSession::ProgramSession(int screenWidth, int screenHeight,
                               std::vector<std::string> kepOptions)
    : runtime_(prefix_.Root() / "run"), x_(std::make_unique<XServer>(screenWidth, screenHeight)) {
  fs::create_directories(runtime_);
  ::chmod(runtime_.c_str(), 0700);
  fs::create_directories(prefix_.Root() / "dde");
  ::chmod((prefix_.Root() / "dde").c_str(), 0700);
  const std::string photo = Slurp(kData / "photo.jpg");
  prefix_.WriteFile("C:\\APPRAISE\\KEP.INI", Slurp(kData / "KEP.INI"));
  prefix_.WriteFile("C:\\Velmora\\velmod.dat", Slurp(kData / "velmod.dat"));
  prefix_.WriteFile("C:\\Velmora\\empty.jpg", photo);
  prefix_.MakeDir("C:\\Velmora\\User");
  for (const char* name : {"IMG_0001.JPG", "IMG_0002.JPG", "IMG_0003.JPG"}) {
    prefix_.WriteFile(std::string("C:\\GLENVUE\\") + name, photo);
  }
  WriteIni();
  WriteReport();
  iniWatch_ = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
  ::inotify_add_watch(iniWatch_, prefix_.Host("C:\\APPRAISE").c_str(),
                      IN_OPEN | IN_CLOSE | IN_MOVED_TO);
  kepOptions.insert(kepOptions.end(), {"--prefix", prefix_.Prefix().string(), "--log",
                                       (prefix_.Root() / "kep.log").string(),
                                       (prefix_.Root() / "report.rpt").string()});
  kep_ = std::make_unique<KepProcess>(prefix_.Root() / "dde", std::move(kepOptions));
}

ProgramSession::~ProgramSession() {
  if (iniWatch_ >= 0) ::close(iniWatch_);
  if (pid_ > 0) {
    ::kill(pid_, SIGKILL);
    ::waitpid(pid_, nullptr, 0);
  }
  if (::testing::Test::HasFailure()) {  // the logs, the map and a failed wait's screen
    const fs::path kept = prefix_.Root().string() + "-failed";
    std::error_code ec;
    fs::rename(prefix_.Root(), kept, ec);
    std::printf("kept for review: %s\n", kept.c_str());
  }
}

void ProgramSession::WriteIni(const std::string& extra) {
  prefix_.WriteFile("C:\\APPRAISE\\VELMORA.INI",
                    "[PRODUCT INFO]\r\nCOMPANY NAME=Ostrel, Inc.\r\n"
                    "[DIRECTORIES]\r\nAPPDIR=C:\\Velmora\r\nUSERDIR=C:\\Velmora\\User\r\n"
                    "CAPTUREDIR=C:\\GLENVUE\r\n" +
                        extra);
}

std::string ProgramSession::Ini() const {
  return Slurp(prefix_.Host("C:\\APPRAISE\\VELMORA.INI"));
}

// Opens alternate with closes, so the kernel never folds two of them into one event.
ProgramSession::IniTraffic ProgramSession::Traffic() {
  alignas(inotify_event) char buffer[4096];
  for (ssize_t n; (n = ::read(iniWatch_, buffer, sizeof buffer)) > 0;) {
    for (char* at = buffer; at < buffer + n;) {
      const auto* event = reinterpret_cast<const inotify_event*>(at);
      if (event->len > 0 && std::strcmp(event->name, "VELMORA.INI") == 0) {
        traffic_.opens += (event->mask & IN_OPEN) != 0;
        traffic_.replacements += (event->mask & IN_MOVED_TO) != 0;
      }
      at += sizeof(inotify_event) + event->len;
    }
  }
  return traffic_;
}

std::vector<std::string> ProgramSession::KepLog() const {
  return ReadLines(prefix_.Root() / "kep.log");
}

void ProgramSession::WriteReport() {
  prefix_.WriteFile("C:\\KEPDATA\\PHOTOS\\22OAK\\SUB_1_3X5.JPG", Slurp(kData / "photo.jpg"));
  std::ofstream(prefix_.Root() / "report.rpt")
      << "[report]\nname=C:\\KEPDATA\\REPORTS\\22OAK.ZAP\nuserid=KMARLOW\n"
         "forms=UA5,SUBPHOTO,UA5XCMP,PH3CMP1,PH3G01,PHT3501,\n"
         "store=C:\\KEPDATA\\PHOTOS\\22OAK\n[fields]\nUA5|SUBADDR|1=22 Oak Lane\n"
         "[images]\nSUB_1_3X5=C:\\KEPDATA\\PHOTOS\\22OAK\\SUB_1_3X5.JPG\n";
}

void ProgramSession::Start() {
  const std::string log = (prefix_.Root() / "velmora.log").string();
  fs::remove(MapFile());  // a run before counted its own ticks
  pid_ = ForkTiedChild();
  if (pid_ == 0) {
    ::setenv("DISPLAY", x_->Name().c_str(), 1);
    ::setenv("QT_QPA_PLATFORM", "xcb", 1);
    ::setenv("VELMORA_PREFIX", prefix_.Prefix().c_str(), 1);
    ::setenv("VELMORA_DDE_DIR", (prefix_.Root() / "dde").c_str(), 1);
    ::setenv("VELMORA_RESOURCES", (fs::path(VELMORA_SOURCE_DIR) / "resources").c_str(), 1);
    ::setenv("XDG_RUNTIME_DIR", runtime_.c_str(), 1);
    ::setenv("VELMORA_CONTROL_MAP", MapFile().c_str(), 1);
    if (const char* asan = std::getenv("ASAN_OPTIONS")) {
      // libxkbcommon-x11 reads keymap names that are not NUL-ended.
      ::setenv("ASAN_OPTIONS", (std::string(asan) + ":strict_string_checks=0").c_str(), 1);
    }
    if (FILE* out = std::fopen(log.c_str(), "a")) {
      ::dup2(fileno(out), STDOUT_FILENO);
      ::dup2(fileno(out), STDERR_FILENO);
    }
    ::execl(VELMORA_EXECUTABLE, VELMORA_EXECUTABLE, static_cast<char*>(nullptr));
    ::_exit(127);
  }
  status_ = -1;
}

bool ProgramSession::Running() {
  int st = 0;
  if (pid_ > 0 && ::waitpid(pid_, &st, WNOHANG) == pid_) {
    status_ = WIFEXITED(st) ? WEXITSTATUS(st) : 128 + WTERMSIG(st);
    pid_ = -1;
  }
  return pid_ > 0;
}

std::optional<int> ProgramSession::WaitForExit(std::chrono::milliseconds time) {
  if (!WaitUntil("the program's end", time, [this] { return !Running(); })) return std::nullopt;
  return status_;
}

bool ProgramSession::WaitUntil(const std::string& what, std::chrono::milliseconds time,
                               const std::function<bool()>& done) {
  const std::optional<std::string> gaveUp =
      gui::WaitForTicks(MapFile(), time, done, [this] { return Running(); });
  if (gaveUp) {
    std::printf("no %s: %s\n", what.c_str(), gaveUp->c_str());
    if (x_->display()) gui::KeepScreen(MapFile(), x_->Name());
  }
  return !gaveUp;
}

void ProgramSession::Signal(int sig) {
  if (pid_ > 0) ::kill(pid_, sig);
}

std::string ProgramSession::Title(Window w) const {
  Display* d = x_->display();
  std::string title = Property(d, w, "_NET_WM_NAME", XInternAtom(d, "UTF8_STRING", False));
  return title.empty() ? Property(d, w, "WM_NAME", AnyPropertyType) : title;
}

bool ProgramSession::Maximised(Window w) const {
  Display* d = x_->display();
  Atom type = 0;
  int format = 0;
  unsigned long count = 0, after = 0;
  unsigned char* data = nullptr;
  int both = 0;
  if (XGetWindowProperty(d, w, XInternAtom(d, "_NET_WM_STATE", False), 0, 32, False, XA_ATOM, &type,
                         &format, &count, &after, &data) == Success &&
      data != nullptr) {
    const auto* atoms = reinterpret_cast<const Atom*>(data);
    for (unsigned long i = 0; i < count; ++i) {
      both += atoms[i] == XInternAtom(d, "_NET_WM_STATE_MAXIMIZED_VERT", False);
      both += atoms[i] == XInternAtom(d, "_NET_WM_STATE_MAXIMIZED_HORZ", False);
    }
  }
  if (data) XFree(data);
  return both == 2;
}

// A shown window whose title contains part among the children of parent and, under a window
// manager's frames, their children; 0 when there is none.
Window ProgramSession::FindShown(Window parent, const std::string& part, int depth) const {
  Display* d = x_->display();
  Window root = 0, up = 0;
  Window* children = nullptr;
  unsigned int count = 0;
  if (!XQueryTree(d, parent, &root, &up, &children, &count)) return 0;
  Window found = 0;
  for (unsigned int i = 0; i < count && found == 0; ++i) {
    XWindowAttributes a;
    if (!XGetWindowAttributes(d, children[i], &a) || a.map_state != IsViewable) continue;
    if (Title(children[i]).find(part) != std::string::npos) {
      found = children[i];
    } else if (depth > 0) {
      found = FindShown(children[i], part, depth - 1);
    }
  }
  if (children) XFree(children);
  return found;
}

Window ProgramSession::WaitForWindow(const std::string& part, std::chrono::milliseconds time) {
  Display* d = x_->display();
  Window found = 0;
  WaitUntil("window \"" + part + "\"", time, [&] {
    XSync(d, False);
    return (found = FindShown(DefaultRootWindow(d), part, 2)) != 0;
  });
  return found;
}

std::optional<WindowBox> ProgramSession::WaitForItem(const std::string& start,
                                                     std::chrono::milliseconds time,
                                                     const std::string& end) {
  std::optional<WindowBox> found;
  WaitUntil("\"" + start + "..." + end + "\" in the control map", time, [&] {
    std::istringstream map(Slurp(MapFile()));
    for (std::string line; std::getline(map, line) && !found;) {
      if (line.rfind(start, 0) != 0 || line.size() < start.size() + end.size() ||
          line.compare(line.size() - end.size(), end.size(), end) != 0) {
        continue;
      }
      std::string place = line.substr(start.size());
      if (place.rfind('"', 0) == 0) place.erase(0, place.find('"', 1) + 1);  // a window's title
      std::istringstream rest(place);
      WindowBox box;
      std::string shown;
      rest >> box.x >> box.y >> box.width >> box.height >> shown;
      if (rest && shown != "0") found = box;  // a tab's caption follows its place
    }
    return found.has_value();
  });
  return found;
}

WindowBox ProgramSession::Box(Window w) const {
  XWindowAttributes a;
  XSync(x_->display(), False);
  if (!XGetWindowAttributes(x_->display(), w, &a)) return {};
  return {a.x, a.y, a.width, a.height};
}

WindowBox ProgramSession::Frame(Window w) const {
  Display* d = x_->display();
  WindowBox box = Box(w);
  Window child = 0;
  XTranslateCoordinates(d, w, DefaultRootWindow(d), 0, 0, &box.x, &box.y, &child);
  Atom type = 0;
  int format = 0;
  unsigned long count = 0, after = 0;
  unsigned char* data = nullptr;
  if (XGetWindowProperty(d, w, XInternAtom(d, "_NET_FRAME_EXTENTS", False), 0, 4, False,
                         XA_CARDINAL, &type, &format, &count, &after, &data) == Success &&
      data != nullptr && count == 4) {
    const auto* extents = reinterpret_cast<const long*>(data);  // left, right, top, bottom
    box = {box.x - static_cast<int>(extents[0]), box.y - static_cast<int>(extents[2]),
           box.width + static_cast<int>(extents[0] + extents[1]),
           box.height + static_cast<int>(extents[2] + extents[3])};
  }
  if (data) XFree(data);
  return box;
}

std::pair<int, int> ProgramSession::MinimumSize(Window w) const {
  XSizeHints hints;
  long supplied = 0;
  if (!XGetWMNormalHints(x_->display(), w, &hints, &supplied) || !(hints.flags & PMinSize)) {
    return {0, 0};
  }
  return {hints.min_width, hints.min_height};
}

bool ProgramSession::EdgesClear(Window w, int top) const {
  const WindowBox box = Box(w);
  if (box.width < 4 || box.height <= top + 4) return false;
  XImage* image = XGetImage(x_->display(), w, 0, top, static_cast<unsigned>(box.width),
                            static_cast<unsigned>(box.height - top), AllPlanes, ZPixmap);
  if (!image) return false;
  const unsigned long colour = XGetPixel(image, box.width - 1, 0);
  bool clear = true;
  for (int y = 0; y < box.height - top && clear; ++y) {
    for (int x = box.width - 2; x < box.width; ++x)
      clear = clear && XGetPixel(image, x, y) == colour;
  }
  for (int x = 0; x < box.width && clear; ++x) {
    for (int y = box.height - top - 2; y < box.height - top; ++y) {
      clear = clear && XGetPixel(image, x, y) == colour;
    }
  }
  XDestroyImage(image);
  return clear;
}

void ProgramSession::PressKeys(Window w, const std::string& keys) {
  RunTool(x_->Name(), {"xdotool", "windowfocus", std::to_string(w), "sleep", "0.3", "key", keys});
}

void ProgramSession::Type(Window w, const std::string& text) {
  RunTool(x_->Name(), {"xdotool", "windowfocus", std::to_string(w), "sleep", "0.3", "type",
                       "--delay", "50", text});
}

void ProgramSession::Click(Window w, int x, int y) {
  RunTool(x_->Name(), {"xdotool", "mousemove", "--window", std::to_string(w), std::to_string(x),
                       std::to_string(y), "sleep", "0.2", "click", "1"});
}

void ProgramSession::ClickCentre(const WindowBox& box) {
  RunTool(x_->Name(), {"xdotool", "mousemove", std::to_string(box.x + box.width / 2),
                       std::to_string(box.y + box.height / 2), "sleep", "0.2", "click", "1"});
}

void ProgramSession::Close(Window w) {
  Display* d = x_->display();
  XEvent event;
  std::memset(&event, 0, sizeof(event));
  event.xclient.type = ClientMessage;
  event.xclient.window = w;
  event.xclient.message_type = XInternAtom(d, "WM_PROTOCOLS", False);
  event.xclient.format = 32;
  event.xclient.data.l[0] = static_cast<long>(XInternAtom(d, "WM_DELETE_WINDOW", False));
  event.xclient.data.l[1] = CurrentTime;
  XSendEvent(d, w, False, NoEventMask, &event);
  XFlush(d);
}

void ProgramSession::Settle(std::chrono::milliseconds time) {
  gui::WaitForTicks(
      MapFile(), time, [] { return false; }, [this] { return Running(); });
}

}  // namespace program
