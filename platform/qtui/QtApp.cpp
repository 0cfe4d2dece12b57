#include "platform/qtui/QtApp.h"

#include <QApplication>
#include <QCursor>
#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QProcess>
#include <QScreen>
#include <QWidget>
#include <QWindow>

#include "platform/forms/Control.h"
#include "platform/forms/Form.h"
#include "platform/qtui/BlockedCloses.h"
#include "platform/qtui/DesktopViewer.h"
#include "platform/qtui/FormWindow.h"
#include "platform/qtui/Keys.h"
#include "platform/qtui/MessageBox.h"
#include "platform/qtui/Units.h"
#include "platform/vbrt/VbError.h"
#include "platform/winfs/WinFs.h"

namespace qtui {
namespace {

constexpr long kShellOk = 42;
constexpr long kShellFileNotFound = 2;
constexpr long kShellPathNotFound = 3;
constexpr long kShellNoAssociation = 31;

// Opens a host file or an address with xdg-open.  Whether anything opened is known only when
// the opener ends: at once when it fails, but only when the viewer closes where the opener runs
// the viewer in its foreground (desktops without a launcher of their own).  So the call answers
// once the opener runs, and the opener's own answer comes later through `answered`, from the
// event loop: its exit status 0 is success, 2 a file that is gone, anything else (3: no program
// for this kind of file, 4: the program failed) leaves the target unopened.
long RunOpener(const QString& target, const QString& cwd,
               const std::function<void(const std::string&, long)>& answered) {
  auto* opener = new QProcess;
  opener->setProgram(QStringLiteral("xdg-open"));
  opener->setArguments({target});
  opener->setWorkingDirectory(cwd);
  opener->setStandardOutputFile(QProcess::nullDevice());
  opener->start();
  if (!opener->waitForStarted(-1)) {
    delete opener;
    return kShellNoAssociation;
  }
  QObject::connect(
      opener, &QProcess::finished, opener,
      [opener, answered, what = target.toStdString()](int code, QProcess::ExitStatus how) {
        opener->deleteLater();
        const bool ran = how == QProcess::NormalExit;
        const long result = ran && code == 0   ? kShellOk
                            : ran && code == 2 ? kShellFileNotFound
                                               : kShellNoAssociation;
        if (answered) Dispatch([&] { answered(what, result); });
      });
  return kShellOk;
}

bool IsAddress(const std::string& target) {
  return target.find("://") != std::string::npos || target.rfind("www.", 0) == 0 ||
         target.rfind("mailto:", 0) == 0;
}

// Once the program has ended no box shows: the answer is the one that gives up.
int GiveUpAnswer(int buttons) {
  switch (buttons & 7) {
    case forms::vbOKOnly:
      return forms::vbOK;
    case forms::vbAbortRetryIgnore:
      return forms::vbAbort;
    case forms::vbYesNo:
      return forms::vbNo;
    default:
      return forms::vbCancel;
  }
}

Qt::CursorShape CursorFor(int pointer) {
  switch (pointer) {
    case 2:
      return Qt::CrossCursor;
    case 3:
      return Qt::IBeamCursor;
    case 5:
    case 15:
      return Qt::SizeAllCursor;
    case 6:
      return Qt::SizeBDiagCursor;
    case 7:
      return Qt::SizeVerCursor;
    case 8:
      return Qt::SizeFDiagCursor;
    case 9:
      return Qt::SizeHorCursor;
    case 10:
      return Qt::UpArrowCursor;
    case 11:
      return Qt::WaitCursor;
    case 12:
      return Qt::ForbiddenCursor;
    case 13:
      return Qt::BusyCursor;
    case 14:
      return Qt::WhatsThisCursor;
    default:
      return Qt::ArrowCursor;
  }
}

QSize ScreenPixels() {
  const QScreen* screen = QGuiApplication::primaryScreen();
  return screen ? screen->geometry().size() : QSize(1024, 768);
}

}  // namespace

std::string QtApp::HostOf(const std::string& path) const {
  if (path.empty()) return {};
  if (path.front() == '/') return path;
  if (info_.hostPath) return info_.hostPath(path);
  try {
    return winfs::ToHost(path).string();
  } catch (const std::exception&) {
    return {};  // a drive that is not there, or a malformed name
  }
}

QtApp::QtApp(AppInfo info) : info_(std::move(info)) {
  UseDetectableAutoRepeat();
}

QtApp::~QtApp() {
  if (overrideCursor_) QGuiApplication::restoreOverrideCursor();
}

bool QtApp::PrevInstance() {
  if (!lock_) {
    lock_ = std::make_unique<forms::SingleInstance>(info_.instanceName);
    prevInstance_ = !lock_->Acquire() && lock_->AnotherRunning();
  }
  return prevInstance_;
}

int QtApp::MsgBox(const std::string& prompt, int buttons, const std::string& title) {
  if (ended_) return GiveUpAnswer(buttons);
  BlockedCloses closes;
  int result = 0;
  {
    VbMessageBox box(prompt, buttons, title.empty() ? info_.title : title,
                     QApplication::activeWindow());
    result = box.Run();
  }
  closes.CarryOut();
  return result;
}

void QtApp::Show(forms::Form& form) {
  FormWindow* window = FormWindow::For(form);
  window->show();
  window->raise();
  window->activateWindow();
}

namespace {

// The window a modal window is opened from: the active one, else the modal window open below
// it, else a shown window of the program (a window manager may not have activated it yet).
QWidget* ModalOwner(const QWidget* modal) {
  for (QWidget* w : {QApplication::activeWindow(), QApplication::activeModalWidget()}) {
    if (w && w != modal) return w;
  }
  for (FormWindow* w : FormWindow::All()) {
    if (w != modal && w->isVisible()) return w;
  }
  return nullptr;
}

}  // namespace

void QtApp::ShowModal(forms::Form& form) {
  if (ended_) throw forms::ProgramEnded();
  FormWindow* window = FormWindow::For(form);
  QEventLoop loop;
  const int id = form.Subscribe([&loop](forms::Form& f, forms::FormChange) {
    if (!f.Visible() || !f.Loaded()) loop.quit();
  });
  modalLoops_.push_back(&loop);
  window->setWindowModality(Qt::ApplicationModal);
  // The window it was opened from owns it: a window manager minimises and restores the two
  // together and keeps the modal one above.
  if (QWidget* owner = ModalOwner(window)) {
    window->winId();
    if (QWindow* handle = window->windowHandle()) handle->setTransientParent(owner->windowHandle());
  }
  window->show();
  window->raise();
  window->activateWindow();
  if (form.Visible() && form.Loaded()) loop.exec();
  modalLoops_.pop_back();
  form.Unsubscribe(id);
  if (FormWindow* still = FormWindow::For(form, false)) still->setWindowModality(Qt::NonModal);
  if (ended_) throw forms::ProgramEnded();
}

int QtApp::DoEvents() {
  pacer_.Pass();
  if (ended_) throw forms::ProgramEnded();
  return static_cast<int>(forms::Forms().size());
}

void QtApp::End() {
  ended_ = true;
  // No unload events: the windows just go away.
  for (FormWindow* window : FormWindow::All()) window->hide();
  for (QEventLoop* loop : modalLoops_) loop->quit();
  if (overrideCursor_) {
    QGuiApplication::restoreOverrideCursor();
    overrideCursor_ = false;
  }
  QCoreApplication::quit();
  throw forms::ProgramEnded();
}

int QtApp::ScreenWidth() const {
  return PixelsToTwips(ScreenPixels().width());
}
int QtApp::ScreenHeight() const {
  return PixelsToTwips(ScreenPixels().height());
}
int QtApp::TwipsPerPixelX() const {
  return TwipsPerPixelInt();
}
int QtApp::TwipsPerPixelY() const {
  return TwipsPerPixelInt();
}

void QtApp::SetMousePointer(int pointer) {
  pointer_ = pointer;
  if (overrideCursor_) {
    QGuiApplication::restoreOverrideCursor();
    overrideCursor_ = false;
  }
  if (pointer != 0) {
    QGuiApplication::setOverrideCursor(QCursor(CursorFor(pointer)));
    overrideCursor_ = true;
  }
}

// Any top-level window of ours counts (message boxes too), the exact title before a prefix;
// the program's own title finds the program's window through the forms.
bool QtApp::BringToFront(const std::string& title) {
  const QString wanted = QString::fromStdString(title);
  QWidget* found = nullptr;
  for (QWidget* w : QApplication::topLevelWidgets()) {
    if (!w->isVisible()) continue;
    if (w->windowTitle() == wanted) {
      found = w;
      break;
    }
    if (!found && !wanted.isEmpty() && w->windowTitle().startsWith(wanted)) found = w;
  }
  if (!found && title == info_.title) {
    if (forms::Form* own = forms::OwnWindowTitled(title, info_.title))
      found = FormWindow::For(*own, false);
  }
  if (!found) return false;
  if (found->isMinimized()) found->showNormal();
  found->raise();
  found->activateWindow();
  return true;
}

long QtApp::ShellOpen(const std::string& target, const std::string& workingDir,
                      int /*showCommand*/) {
  if (target.empty()) return kShellFileNotFound;
  std::string hostTarget = target;
  if (!IsAddress(target)) {
    hostTarget = HostOf(target);
    if (hostTarget.empty()) return kShellPathNotFound;
    const QFileInfo file(QString::fromStdString(hostTarget));
    if (!file.exists()) return file.dir().exists() ? kShellFileNotFound : kShellPathNotFound;
    if (!HasDesktopViewer(file.absoluteFilePath())) return kShellNoAssociation;
  }
  QString cwd;
  if (!workingDir.empty()) {
    const std::string hostDir = HostOf(workingDir);
    if (!hostDir.empty() && QDir(QString::fromStdString(hostDir)).exists()) {
      cwd = QString::fromStdString(hostDir);
    }
  }
  return RunOpener(QString::fromStdString(hostTarget), cwd, openerAnswered_);
}

namespace {
int& HandlerDepth() {
  static int depth = 0;
  return depth;
}
}  // namespace

HandlerScope::HandlerScope() {
  ++HandlerDepth();
}

HandlerScope::~HandlerScope() {
  if (--HandlerDepth() == 0) FormWindow::DeleteRetired();
}

bool HandlerScope::Active() {
  return HandlerDepth() > 0;
}

void Dispatch(const std::function<void()>& handler) {
  HandlerScope running;
  try {
    handler();
  } catch (const forms::ProgramEnded&) {
    QCoreApplication::quit();
  } catch (const vb::VbError& e) {
    forms::ReportUnhandledError(e.Number(), e.DescriptionAndFile());
  } catch (const std::exception& e) {
    try {
      forms::App::Current().MsgBox(std::string("Run-time error:\n\n") + e.what(),
                                   forms::vbCritical);
    } catch (...) {
    }
  }
}

}  // namespace qtui
