#include "platform/qtui/FormWindow.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPainter>
#include <QScreen>
#include <QWindow>

#include "platform/forms/Controls.h"
#include "platform/forms/Drag.h"
#include "platform/qtui/Colors.h"
#include "platform/qtui/ControlView.h"
#include "platform/qtui/DragBridge.h"
#include "platform/qtui/FrameExtents.h"
#include "platform/qtui/Keys.h"
#include "platform/qtui/Pixmaps.h"
#include "platform/qtui/QtApp.h"
#include "platform/qtui/Units.h"
#include "platform/qtui/Views.h"

namespace qtui {
namespace {

std::map<const forms::Form*, FormWindow*>& Registry() {
  static std::map<const forms::Form*, FormWindow*> windows;
  return windows;
}

std::vector<QPointer<FormWindow>>& RetiredWindows() {
  static std::vector<QPointer<FormWindow>> windows;
  return windows;
}

SettingsStore*& ResizerStore() {
  static SettingsStore* store = nullptr;
  return store;
}

class Guard {
 public:
  explicit Guard(int& n) : n_(n) { ++n_; }
  ~Guard() { --n_; }

 private:
  int& n_;
};

}  // namespace

std::unique_ptr<ControlView> MakeView(forms::Control& c, FormWindow& w) {
  for (auto make : {MakeSimpleView, MakeListView, MakeTabView, MakeDateView, MakeGearView}) {
    if (auto view = make(c, w)) return view;
  }
  return nullptr;
}

FormWindow::FormWindow(forms::Form& form) : QWidget(nullptr), form_(form) {
  Registry()[&form_] = this;
  WatchFrameExtents([](WId id, QMargins frame) {
    for (FormWindow* w : All()) {
      if (w->internalWinId() == id) w->FrameKnown(frame);
    }
  });
  InstallDragBridge();
  setAcceptDrops(true);
  setFocusPolicy(Qt::StrongFocus);
  frameWidth_ = std::max(0, form_.Width() - form_.ScaleWidth());
  frameHeight_ = std::max(0, form_.Height() - form_.ScaleHeight());
  if (form_.BorderStyle() == 0) setWindowFlag(Qt::FramelessWindowHint, true);
  if (form_.BorderStyle() == 3) setWindowFlag(Qt::Dialog, true);
  SetTitleBarButtons();
  client_ = new QWidget(this);
  client_->setAutoFillBackground(true);
  setWindowTitle(QString::fromStdString(form_.Caption()));
  OnFormChange(forms::FormChange::Style);
  OnFormChange(forms::FormChange::Icon);
  BuildMenus();
  BuildViews();
  SyncGeometry();
  normalBounds_ = Geometry{form_.Left(), form_.Top(), form_.Width(), form_.Height()};
  formObserver_ =
      form_.Subscribe([this](forms::Form&, forms::FormChange what) { OnFormChange(what); });
}

FormWindow::~FormWindow() {
  StopObserving();
  views_.clear();
}

void FormWindow::StopObserving() {
  if (formObserver_ != 0) form_.Unsubscribe(formObserver_);
  formObserver_ = 0;
  for (auto& [control, view] : views_) view->Detach();
  for (auto& [menu, id] : menuObservers_) menu->Unsubscribe(id);
  menuObservers_.clear();
  auto it = Registry().find(&form_);
  if (it != Registry().end() && it->second == this) Registry().erase(it);
}

void FormWindow::Retire() {
  // An unloaded form gets a new window when it is shown again; this one goes.
  SaveWindowPlacement();
  hide();
  StopObserving();
  RetiredWindows().emplace_back(this);
  if (!HandlerScope::Active()) DeleteRetired();
}

void FormWindow::DeleteRetired() {
  std::vector<QPointer<FormWindow>> retired;
  retired.swap(RetiredWindows());
  for (const QPointer<FormWindow>& w : retired) {
    if (w) w->deleteLater();
  }
  if (!retired.empty() && !AnyFormShown()) QCoreApplication::quit();  // the last window is gone
}

bool FormWindow::AnyFormShown() {
  for (forms::Form* f : forms::Forms()) {
    if (f->Visible()) return true;
  }
  return false;
}

FormWindow* FormWindow::For(forms::Form& form, bool create) {
  auto it = Registry().find(&form);
  if (it != Registry().end()) return it->second;
  if (!create) return nullptr;
  auto* window = new FormWindow(form);
  if (forms::FormResizer* model = form.WindowResizer()) window->BindResizer(*model);
  return window;
}

void FormWindow::Release(forms::Form& form) {
  if (FormWindow* w = For(form, false)) {
    w->hide();
    delete w;
  }
}

std::vector<FormWindow*> FormWindow::All() {
  std::vector<FormWindow*> all;
  for (auto& [form, window] : Registry()) all.push_back(window);
  return all;
}

// ---- views

void FormWindow::BuildViews() {
  for (forms::Control* c : form_.Controls()) BuildView(*c);
  for (auto& [control, view] : views_) view->Restack();
  RefreshShown();
}

ControlView* FormWindow::BuildView(forms::Control& c) {
  if (ControlView* existing = ViewOf(&c)) return existing;
  if (dynamic_cast<forms::Menu*>(&c)) return nullptr;
  QWidget* parent = client_;
  if (forms::Control* container = c.Container()) {
    if (ControlView* cv = BuildView(*container)) parent = cv->ChildArea();
  }
  std::unique_ptr<ControlView> view = MakeView(c, *this);
  if (!view) return nullptr;
  ControlView* raw = view.get();
  views_[&c] = std::move(view);
  raw->Build(parent);
  return raw;
}

void FormWindow::SyncControls() {
  const std::vector<forms::Control*>& now = form_.Controls();
  for (auto it = views_.begin(); it != views_.end();) {
    if (std::find(now.begin(), now.end(), it->first) == now.end()) {
      it = views_.erase(it);
    } else {
      ++it;
    }
  }
  for (forms::Control* c : now) {
    if (!ViewOf(c)) {
      if (ControlView* v = BuildView(*c)) v->Restack();
    }
  }
  RefreshShown();
  BuildMenus();
}

ControlView* FormWindow::ViewOf(const forms::Control* c) const {
  auto it = views_.find(c);
  return it == views_.end() ? nullptr : it->second.get();
}

QWidget* FormWindow::WidgetOf(const forms::Control* c) const {
  ControlView* v = ViewOf(c);
  return v ? v->widget() : nullptr;
}

std::vector<ControlView*> FormWindow::ViewsUnder(QWidget* parent) const {
  std::vector<ControlView*> result;
  for (forms::Control* c : form_.Controls()) {
    ControlView* v = ViewOf(c);
    if (v && v->widget() && v->widget()->parentWidget() == parent) result.push_back(v);
  }
  return result;
}

void FormWindow::RefreshShown() {
  for (auto& [control, view] : views_) view->SyncShown();
}

double FormWindow::FontScale() const {
  return resizer_ ? resizer_->FontScale() : 1.0;
}

// ---- the form's state

void FormWindow::OnFormChange(forms::FormChange what) {
  using forms::FormChange;
  switch (what) {
    case FormChange::Caption:
      setWindowTitle(QString::fromStdString(form_.Caption()));
      break;
    case FormChange::Geometry:
      if (fromWindow_ != Geometry{form_.Left(), form_.Top(), form_.Width(), form_.Height()})
        SyncGeometry();
      break;
    case FormChange::Visible:
    case FormChange::Loaded:
      if (!form_.Loaded()) {
        Retire();
        return;
      }
      SyncVisible();
      break;
    case FormChange::WindowState:
      if (isVisible() && followingState_ == 0) SyncVisible();
      break;
    case FormChange::MousePointer:
      if (form_.MousePointer() == 0)
        unsetCursor();
      else
        setCursor(form_.MousePointer() == 11 ? Qt::WaitCursor : Qt::ArrowCursor);
      break;
    case FormChange::Icon:
      setWindowIcon(form_.Icon().Empty() ? QIcon() : QIcon(ToPixmap(form_.Icon())));
      break;
    case FormChange::Enabled:
      setEnabled(form_.Enabled());
      break;
    case FormChange::Focus:
      if (QWidget* w = WidgetOf(form_.ActiveControl()); w && !w->hasFocus()) w->setFocus();
      break;
    case FormChange::Controls:
      SyncControls();
      break;
    case FormChange::Style: {
      QPalette pal = client_->palette();
      pal.setColor(QPalette::Window, ToQColor(form_.BackColor()));
      client_->setPalette(pal);
      break;
    }
  }
}

int FormWindow::MenuHeightTwips() const {
  if (!menuBar_ || menuBar_->isHidden()) return 0;
  return PixelsToTwips(menuBar_->sizeHint().height());
}

// A maximised or minimised window keeps its place and size: the form's new ones are the normal
// state's, which the window takes when the form goes back to it.
void FormWindow::SyncGeometry() {
  if (isMaximized() || isMinimized()) return;
  Guard guard(syncing_);
  const int clientW = std::max(1, TwipsToPixels(form_.Width() - frameWidth_));
  const int clientH = std::max(1, TwipsToPixels(form_.Height() - frameHeight_ - MenuHeightTwips()));
  const int menuH = menuBar_ && !menuBar_->isHidden() ? menuBar_->sizeHint().height() : 0;
  resize(clientW, clientH + menuH);
  if (form_.BorderStyle() == 1 || form_.BorderStyle() == 3) setFixedSize(clientW, clientH + menuH);
  move(FramePosition());
  PlaceFrame();
  LayoutChildren();
}

void FormWindow::SyncVisible() {
  if (!form_.Visible() || !form_.Loaded()) {
    hide();
    return;
  }
  switch (form_.WindowState()) {
    case forms::vbMaximized:
      showMaximized();
      break;
    case forms::vbMinimized:
      showMinimized();
      break;
    default:
      showNormal();
      PlaceFrame();
  }
}

// The window manager framed the window (after it was placed): where Qt did not know the frame,
// the frame stands above and left of the place; the window goes where its frame belongs.
void FormWindow::FrameKnown(QMargins frame) {
  frame_ = frame;
  QWindow* handle = windowHandle();
  if (!handle || !isVisible() || isMaximized() || isMinimized()) return;
  const QPoint client = FramePosition() + QPoint(frame.left(), frame.top());
  if (geometry().topLeft() != client) handle->setPosition(client);
}

QPoint FormWindow::FrameTopLeft() const {
  const QPoint qtFrame = frameGeometry().topLeft();
  if (!frame_ || qtFrame != geometry().topLeft()) return qtFrame;
  return geometry().topLeft() - QPoint(frame_->left(), frame_->top());
}

// A window made on the screen is placed by its frame's corner: a window manager that has not
// told the frame's size yet puts the corner there itself (placed by its client area, the frame
// would stand above and left of the place, the title bar off the screen).
void FormWindow::PlaceFrame() {
  QWindow* handle = windowHandle();
  if (handle && !isMaximized() && !isMinimized()) handle->setFramePosition(FramePosition());
}

void FormWindow::LayoutChildren() {
  int top = 0;
  if (menuBar_ && !menuBar_->isHidden()) {
    top = menuBar_->sizeHint().height();
    menuBar_->setGeometry(0, 0, width(), top);
  }
  client_->setGeometry(0, top, width(), std::max(0, height() - top));
}

Resizer& FormWindow::EnableResizer() {
  if (resizer_) return *resizer_;
  resizer_ = std::make_unique<Resizer>(form_.ScaleWidth(), form_.ScaleHeight());
  resizer_->section = form_.Name();
  for (forms::Control* c : form_.Controls()) {
    if (dynamic_cast<forms::Menu*>(c)) continue;
    resizer_->Add({[c] {
                     return Geometry{c->Left(), c->Top(), c->Width(), c->Height()};
                   },
                   [c](const Geometry& g) { c->Move(g.left, g.top, g.width, g.height); }});
  }
  return *resizer_;
}

void FormWindow::SetResizerStore(SettingsStore* store) {
  ResizerStore() = store;
}

// The form's resizer model takes its settings to the real resizer, which reports back through
// the model's callbacks and its Resized event.
void FormWindow::BindResizer(forms::FormResizer& model) {
  Resizer& resizer = EnableResizer();
  resizer.section = "WINDOW " + form_.Name();
  resizer.SetStore(ResizerStore());
  TakeResizerSettings();
  model.width = [this, &resizer] {
    TakeResizerSettings();
    return std::min(resizer.StoredWidth(), AvailableTwips().width());
  };
  model.height = [this, &resizer] {
    TakeResizerSettings();
    return std::min(resizer.StoredHeight(), AvailableTwips().height());
  };
  // Laid out for the size the form has now: a size just set has not reached the window yet.
  model.relayout = [this, &resizer] {
    resizer.Relayout(form_.Width() - frameWidth_,
                     form_.Height() - frameHeight_ - MenuHeightTwips());
  };
  resizer.onResized = [&model] {
    if (model.Resized) model.Resized();
  };
}

QRect FormWindow::AvailableArea() const {
  const QScreen* s = screen() ? screen() : QGuiApplication::primaryScreen();
  return s ? s->availableGeometry() : QRect(0, 0, 1024, 768);
}

QSize FormWindow::AvailableTwips() const {
  const QRect area = AvailableArea();
  return {PixelsToTwips(area.width()), PixelsToTwips(area.height())};
}

// Left and Top place the frame's top-left corner; a corner above or left of the screen's area
// for windows (off the screen, under a panel) would hide the title bar: it stays in the area.
QPoint FormWindow::FramePosition() const {
  const QRect area = AvailableArea();
  return {std::max(area.left(), TwipsToPixels(form_.Left())),
          std::max(area.top(), TwipsToPixels(form_.Top()))};
}

// The form's code may switch the settings off after the binding (a small screen at start-up).
void FormWindow::TakeResizerSettings() {
  const forms::FormResizer* model = form_.WindowResizer();
  if (!resizer_ || !model) return;
  resizer_->storeState = model->storeState;
  resizer_->storeSizePosition = model->storeSizePosition;
  resizer_->minWidth = model->minWidth;
  resizer_->minHeight = model->minHeight;
}

// A minimum larger than the screen would keep the window from fitting: the screen limits it.
void FormWindow::ApplyResizerSettings() {
  if (!resizer_) return;
  TakeResizerSettings();
  const int menuH = menuBar_ && !menuBar_->isHidden() ? menuBar_->sizeHint().height() : 0;
  if (resizer_->minWidth > 0 || resizer_->minHeight > 0) {
    const QSize screenTwips = AvailableTwips();
    const int minWidth = std::min(resizer_->minWidth, screenTwips.width());
    const int minHeight = std::min(resizer_->minHeight, screenTwips.height());
    setMinimumSize(
        std::max(0, TwipsToPixels(minWidth - frameWidth_)),
        std::max(0, TwipsToPixels(minHeight - frameHeight_ - MenuHeightTwips())) + menuH);
  }
  const std::optional<WindowPlacement> placement = resizer_->Load();
  if (!placement) return;
  if (placement->bounds) {
    // A size stored on a larger screen is cut to this one's area for windows.
    const Geometry& b = *placement->bounds;
    const QSize area = AvailableTwips();
    form_.Move(b.left, b.top, std::min(b.width, area.width()), std::min(b.height, area.height()));
    normalBounds_ = Geometry{form_.Left(), form_.Top(), form_.Width(), form_.Height()};
  }
  if (placement->windowState == forms::vbMaximized) form_.SetWindowState(forms::vbMaximized);
}

// A maximised or minimised window stores its state and the place and size it had in the normal
// state.
void FormWindow::SaveWindowPlacement() {
  if (!resizer_) return;
  WindowPlacement placement;
  placement.windowState = isMaximized() ? 2 : isMinimized() ? 1 : 0;
  if (placement.windowState == 0 || !normalBounds_) {
    const QPoint outer = FrameTopLeft();
    placement.bounds =
        Geometry{PixelsToTwips(outer.x()), PixelsToTwips(outer.y()), form_.Width(), form_.Height()};
  } else {
    placement.bounds = normalBounds_;
  }
  resizer_->Save(placement);
}

void FormWindow::RecordNormalBounds() {
  if (recordQueued_) return;
  recordQueued_ = true;
  QMetaObject::invokeMethod(
      this,
      [this] {
        recordQueued_ = false;
        if (!isVisible() || isMaximized() || isMinimized()) return;
        const QPoint outer = FrameTopLeft();
        normalBounds_ = Geometry{PixelsToTwips(outer.x()), PixelsToTwips(outer.y()), form_.Width(),
                                 form_.Height()};
      },
      Qt::QueuedConnection);
}

// ---- window events

void FormWindow::closeEvent(QCloseEvent* event) {
  forms::App& app = forms::App::Current();
  if (app.Ended() || !form_.Loaded()) {
    event->accept();
    return;
  }
  event->ignore();  // the form decides: its unload hides this window
  Dispatch([this] { form_.UserClose(); });
}

void FormWindow::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  LayoutChildren();
  const int clientW = PixelsToTwips(client_->width());
  const int clientH = PixelsToTwips(client_->height());
  form_.SetClientSize(clientW, clientH);
  if (syncing_ == 0) {
    const int outerW = clientW + frameWidth_;
    const int outerH = clientH + frameHeight_ + MenuHeightTwips();
    fromWindow_ = Geometry{form_.Left(), form_.Top(), outerW, outerH};
    Dispatch([&] { form_.UserResize(outerW, outerH); });
    fromWindow_.reset();
  }
  RecordNormalBounds();
  if (resizer_) {
    Dispatch([&] { resizer_->Relayout(clientW, clientH); });
    for (auto& [control, view] : views_) view->Sync(forms::Prop::Font);
  }
}

void FormWindow::moveEvent(QMoveEvent* event) {
  QWidget::moveEvent(event);
  if (syncing_ != 0 || !isVisible()) return;
  const QPoint pos = FrameTopLeft();
  const int left = PixelsToTwips(pos.x());
  const int top = PixelsToTwips(pos.y());
  fromWindow_ = Geometry{left, top, form_.Width(), form_.Height()};
  Dispatch([&] { form_.UserMove(left, top); });
  fromWindow_.reset();
  RecordNormalBounds();
}

// The form's WindowState follows what the window manager (or the user through it) did.
void FormWindow::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  if (event->type() == QEvent::WindowStateChange) {
    FollowModalState();
    if (form_.Loaded()) {
      const int state = isMinimized()   ? forms::vbMinimized
                        : isMaximized() ? forms::vbMaximized
                                        : forms::vbNormal;
      Guard following(followingState_);
      Dispatch([&] { form_.SetWindowState(state); });
    }
  }
  if (event->type() == QEvent::ActivationChange && isActiveWindow()) {
    BringBackModal();
    Dispatch([this] { form_.UserActivate(); });
  }
}

void FormWindow::BringBackModal() {
  QWidget* modal = QApplication::activeModalWidget();
  if (!modal || modal == this || !qobject_cast<FormWindow*>(modal)) return;
  if (modal->isMinimized()) modal->setWindowState(modal->windowState() & ~Qt::WindowMinimized);
  modal->show();
  modal->raise();
  modal->activateWindow();
}

// A modal window minimised on its own would leave its owner shown but taking no input (a window
// manager hands the owner's activation to the minimised window): the owner goes with it, and
// the modal window comes back with the owner.
void FormWindow::FollowModalState() {
  if (!isMinimized()) {
    BringBackModal();
    return;
  }
  if (QApplication::activeModalWidget() != this || !windowHandle()) return;
  if (QWindow* owner = windowHandle()->transientParent(); owner && owner->isVisible())
    owner->showMinimized();
}

// The title bar carries what the form asks for: the system menu and close box with the control
// box, the minimise and maximise buttons only with it, as on Windows.
void FormWindow::SetTitleBarButtons() {
  if (form_.BorderStyle() == 0) return;
  Qt::WindowFlags flags = windowFlags() | Qt::CustomizeWindowHint | Qt::WindowTitleHint;
  const bool box = form_.ControlBox();
  flags.setFlag(Qt::WindowSystemMenuHint, box);
  flags.setFlag(Qt::WindowCloseButtonHint, box);
  flags.setFlag(Qt::WindowMinimizeButtonHint, box && form_.MinButton());
  flags.setFlag(Qt::WindowMaximizeButtonHint, box && form_.MaxButton());
  setWindowFlags(flags);
}

// Only a focus move between the form's own controls is the form's: the focus coming back from a
// message box, a menu or another window changes nothing.  The form's move (LostFocus with its
// checks, GotFocus) runs once Qt's move is over, never inside it: a handler that shows a box or
// gives the focus back would leave Qt showing the focus on one control and the form using
// another.
void FormWindow::ControlFocused(forms::Control& c, Qt::FocusReason reason) {
  const bool returning = reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason;
  if (returning && form_.ActiveControl()) {
    if (form_.ActiveControl() != &c) FocusActiveControl();
    return;
  }
  const bool queued = pendingFocus_ != nullptr;
  pendingFocus_ = &c;
  if (!queued) {
    QMetaObject::invokeMethod(
        this, [this] { TakePendingFocus(); }, Qt::QueuedConnection);
  }
}

forms::Control* FormWindow::TakePendingFocus() {
  forms::Control* c = pendingFocus_;
  pendingFocus_ = nullptr;
  if (!c || !ViewOf(c)) return nullptr;
  Dispatch([&] { form_.UserFocus(*c); });
  return c;
}

void FormWindow::FocusActiveControl() {
  QWidget* w = WidgetOf(form_.ActiveControl());
  if (w && w->isVisible() && w->isEnabled()) w->setFocus(Qt::OtherFocusReason);
}

// A press on a control that takes no focus (a picture, a label) or on the window leaves the
// focus where it was.
void FormWindow::focusInEvent(QFocusEvent* event) {
  QWidget::focusInEvent(event);
  if (event->reason() == Qt::MouseFocusReason) FocusActiveControl();
}

bool FormWindow::KeyEvent(QEvent* event) {
  TakePendingFocus();
  auto* ke = static_cast<QKeyEvent*>(event);
  const int code = VbKeyCode(ke->key());
  const int shift = VbShift(ke->modifiers());
  if (event->type() == QEvent::KeyRelease) {
    if (code != 0 && !ke->isAutoRepeat()) Dispatch([&] { form_.UserKeyUp(code, shift); });
    return false;
  }
  if (code != 0) Dispatch([&] { form_.UserKeyDown(code, shift); });
  const int ascii = VbKeyAscii(*ke);
  if (ascii != 0) Dispatch([&] { form_.UserKeyPress(ascii); });
  // Enter and Escape belong to the form (default and cancel buttons).
  return code == 13 || code == 27;
}

void FormWindow::keyPressEvent(QKeyEvent* event) {
  QWidget* focus = focusWidget();
  if (focus && focus != this) return;  // the control's filter has seen it
  KeyEvent(event);
}

void FormWindow::keyReleaseEvent(QKeyEvent* event) {
  QWidget* focus = focusWidget();
  if (focus && focus != this) return;
  KeyEvent(event);
}

// ---- drag and drop

bool FormWindow::DragEvent(ControlView& view, QWidget* w, QEvent* event) {
  return HandleDragEvent(&view.control(), nullptr, view.widget(), w, event);
}

void FormWindow::dragEnterEvent(QDragEnterEvent* event) {
  HandleDragEvent(nullptr, &form_, client_, this, event);
}

void FormWindow::dragMoveEvent(QDragMoveEvent* event) {
  HandleDragEvent(nullptr, &form_, client_, this, event);
}

void FormWindow::dragLeaveEvent(QDragLeaveEvent* event) {
  HandleDragEvent(nullptr, &form_, client_, this, event);
}

void FormWindow::dropEvent(QDropEvent* event) {
  HandleDragEvent(nullptr, &form_, client_, this, event);
}

// ---- menus

void FormWindow::BuildMenus() {
  std::vector<forms::Menu*> titles;
  for (forms::Control* c : form_.Controls()) {
    auto* m = dynamic_cast<forms::Menu*>(c);
    if (m && !m->Container()) titles.push_back(m);
  }
  if (titles.empty() && !menuBar_) return;
  if (!menuBar_) {
    menuBar_ = new QMenuBar(this);
    menuBar_->setNativeMenuBar(false);
    for (forms::Control* c : form_.Controls()) {
      if (dynamic_cast<forms::Menu*>(c)) {
        const int id = c->Subscribe([this](forms::Control&, forms::Prop) {
          if (menusDirty_) return;
          menusDirty_ = true;
          QMetaObject::invokeMethod(
              this, [this] { BuildMenus(); }, Qt::QueuedConnection);
        });
        menuObservers_.emplace_back(c, id);
      }
    }
  }
  menusDirty_ = false;
  menuBar_->clear();
  for (forms::Menu* title : titles) {
    if (!title->Visible()) continue;
    QMenu* menu = menuBar_->addMenu(QString::fromStdString(title->Caption()));
    menu->setEnabled(title->Enabled());
    FillMenu(menu, *title);
  }
  menuBar_->setVisible(!titles.empty());
  LayoutChildren();
}

void FormWindow::FillMenu(QMenu* menu, forms::Control& parent) {
  auto* parentMenu = dynamic_cast<forms::Menu*>(&parent);
  if (!parentMenu) return;
  for (forms::Menu* item : parentMenu->Items()) {
    if (!item->Visible()) continue;
    if (item->IsSeparator()) {
      menu->addSeparator();
      continue;
    }
    const QString caption = QString::fromStdString(item->Caption());
    if (!item->Items().empty()) {
      QMenu* sub = menu->addMenu(caption);
      sub->setEnabled(item->Enabled());
      FillMenu(sub, *item);
      continue;
    }
    QAction* action = menu->addAction(caption);
    action->setEnabled(item->Enabled());
    action->setCheckable(item->Checked());
    action->setChecked(item->Checked());
    const QKeySequence keys = ShortcutKeys(item->Shortcut());
    if (!keys.isEmpty()) action->setShortcut(keys);
    connect(action, &QAction::triggered, this, [item] { Dispatch([item] { item->UserClick(); }); });
  }
}

// ---- rendering

QImage FormWindow::Render() {
  ensurePolished();
  LayoutChildren();
  QImage image(size(), QImage::Format_ARGB32_Premultiplied);
  image.fill(palette().color(QPalette::Window));
  QPainter painter(&image);
  render(&painter, QPoint(), QRegion(), QWidget::DrawWindowBackground | QWidget::DrawChildren);
  painter.end();
  return image;
}

}  // namespace qtui
