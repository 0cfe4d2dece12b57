#include "platform/qtui/ControlView.h"

#include <QFocusEvent>
#include <QGuiApplication>
#include <QMouseEvent>
#include <algorithm>
#include <cmath>

#include "platform/qtui/Colors.h"
#include "platform/qtui/Fonts.h"
#include "platform/qtui/FormWindow.h"
#include "platform/qtui/QtApp.h"
#include "platform/qtui/Units.h"

namespace qtui {

class SyncGuard {
 public:
  explicit SyncGuard(ControlView& v) : v_(v) { ++v_.syncing_; }
  ~SyncGuard() { --v_.syncing_; }

 private:
  ControlView& v_;
};

QPoint MapInto(const QWidget* area, const QWidget* w, QPoint p) {
  if (w == area || !area || !w) return p;
  return area->isAncestorOf(w) ? w->mapTo(area, p) : area->mapFromGlobal(w->mapToGlobal(p));
}

float PixelsToTwipsF(int pixels) {
  return static_cast<float>(pixels * TwipsPerPixel());
}

int VbShift(Qt::KeyboardModifiers mods) {
  int shift = 0;
  if (mods & Qt::ShiftModifier) shift |= forms::vbShiftMask;
  if (mods & Qt::ControlModifier) shift |= forms::vbCtrlMask;
  if (mods & Qt::AltModifier) shift |= forms::vbAltMask;
  return shift;
}

int VbButton(Qt::MouseButtons buttons) {
  int b = 0;
  if (buttons & Qt::LeftButton) b |= forms::vbLeftButton;
  if (buttons & Qt::RightButton) b |= forms::vbRightButton;
  if (buttons & Qt::MiddleButton) b |= forms::vbMiddleButton;
  return b;
}

ControlView::ControlView(forms::Control& control, FormWindow& window)
    : control_(control), window_(window) {}

ControlView::~ControlView() {
  Detach();
  delete widget_.data();
}

void ControlView::Detach() {
  if (observer_ != 0) control_.Unsubscribe(observer_);
  observer_ = 0;
}

void ControlView::Build(QWidget* parent) {
  widget_ = CreateWidget(parent);
  for (QWidget* w : InputWidgets()) {
    w->installEventFilter(this);
    w->setMouseTracking(true);
    w->setAcceptDrops(true);
  }
  observer_ = control_.Subscribe([this](forms::Control&, forms::Prop p) { Sync(p); });
  SyncAll();
}

void ControlView::SyncAll() {
  for (forms::Prop p :
       {forms::Prop::Geometry, forms::Prop::Enabled, forms::Prop::Caption, forms::Prop::Text,
        forms::Prop::List, forms::Prop::Selection, forms::Prop::TopIndex, forms::Prop::Value,
        forms::Prop::Picture, forms::Prop::Font, forms::Prop::Color, forms::Prop::ToolTip,
        forms::Prop::MousePointer, forms::Prop::Tabs, forms::Prop::Style}) {
    Sync(p);
  }
  SyncShown();
}

void ControlView::Sync(forms::Prop p) {
  if (!widget_) return;
  SyncGuard guard(*this);
  using forms::Prop;
  switch (p) {
    case Prop::Geometry:
      SyncGeometry();
      break;
    case Prop::Visible:
    case Prop::Tabs:
    case Prop::Container:
      window_.RefreshShown();  // containers hide and show their contents
      break;
    case Prop::Enabled:
      widget_->setEnabled(control_.Enabled());
      break;
    case Prop::Font:
      widget_->setFont(ScaledFont());
      break;
    case Prop::ToolTip:
      widget_->setToolTip(QString::fromStdString(control_.ToolTipText()));
      break;
    case Prop::ZOrder:
      Restack();
      break;
    case Prop::MousePointer:
      if (control_.MousePointer() == 0) {
        widget_->unsetCursor();
      } else if (control_.MousePointer() == 11) {
        widget_->setCursor(Qt::WaitCursor);
      }
      break;
    default:
      break;
  }
  SyncOwn(p);
}

void ControlView::SyncShown() {
  if (widget_) widget_->setVisible(control_.IsShown());
}

void ControlView::SyncGeometry() {
  widget_->setGeometry(
      TwipsToRect(control_.Left(), control_.Top(), control_.Width(), control_.Height()));
}

void ControlView::Restack() {
  if (!widget_ || !widget_->parentWidget()) return;
  std::vector<ControlView*> siblings = window_.ViewsUnder(widget_->parentWidget());
  std::stable_sort(siblings.begin(), siblings.end(), [](ControlView* a, ControlView* b) {
    return a->control().ZRank() < b->control().ZRank();
  });
  for (ControlView* v : siblings) {
    if (v->widget()) v->widget()->raise();
  }
}

QFont ControlView::ScaledFont() const {
  const forms::Font& f = control_.GetFont();
  FontSpec spec{f.Name,         f.Size * window_.FontScale(), f.Bold, f.Italic, f.Underline,
                f.Strikethrough};
  return MakeFont(spec);
}

void ControlView::User(const std::function<void()>& action) {
  if (syncing()) return;  // the widget is only showing the model's state
  Dispatch(action);
}

bool ControlView::eventFilter(QObject* watched, QEvent* event) {
  auto* w = qobject_cast<QWidget*>(watched);
  if (!w) return false;
  switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::DragLeave:
    case QEvent::Drop:
      return window_.DragEvent(*this, w, event);
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
      return MouseEvent(w, event);
    case QEvent::KeyPress:
      if (window_.KeyEvent(event)) return true;
      return !syncing() && KeyAction(*static_cast<QKeyEvent*>(event));
    case QEvent::KeyRelease:
      return window_.KeyEvent(event);
    case QEvent::FocusIn:
      if (!syncing())
        window_.ControlFocused(control_, FocusReason(*static_cast<QFocusEvent*>(event)));
      return false;
    default:
      return false;
  }
}

// A press on a control of a window that is not active yet gives that control Qt's focus at once,
// but the focus event waits for the window's activation, which may come while the button is
// still held (the window manager or the X server is slow to hand over the input focus).  That
// focus is the press's, not the window's coming back: taken for the window's, it would go back
// to the control that had it before, and the held button, losing the focus, would drop the click.
Qt::FocusReason ControlView::FocusReason(const QFocusEvent& event) const {
  if (event.reason() == Qt::ActiveWindowFocusReason && pressed_ &&
      QGuiApplication::mouseButtons() != Qt::NoButton)
    return Qt::MouseFocusReason;
  return event.reason();
}

bool ControlView::MouseEvent(QWidget* w, QEvent* event) {
  auto* me = static_cast<QMouseEvent*>(event);
  const QPoint local = MapInto(widget_, w, me->position().toPoint());
  const float x = PixelsToTwipsF(local.x());
  const float y = PixelsToTwipsF(local.y());
  const int shift = VbShift(me->modifiers());
  switch (event->type()) {
    case QEvent::MouseButtonPress:
      // The previous control's LostFocus comes first; when it kept the focus (a refused
      // value), the press goes nowhere.
      if (window_.TakePendingFocus() == &control_ &&
          control_.Parent().ActiveControl() != &control_) {
        return true;
      }
      pressed_ = true;
      doubleClicked_ = false;
      User([&] { control_.UserMouseDown(VbButton(me->button()), shift, x, y); });
      break;
    case QEvent::MouseButtonDblClick:
      doubleClicked_ = true;
      User([&] { control_.UserDblClick(); });
      break;
    case QEvent::MouseMove:
      User([&] { control_.UserMouseMove(VbButton(me->buttons()), shift, x, y); });
      break;
    case QEvent::MouseButtonRelease: {
      const bool wasPressed = pressed_;
      pressed_ = false;
      QPointer<QWidget> guard(w);
      // A focus move the press made while the window was becoming active runs before the
      // release, as it runs before the press in an active window.
      window_.TakePendingFocus();
      if (!guard) return true;
      User([&] { control_.UserMouseUp(VbButton(me->button()), shift, x, y); });
      if (guard && ClickOnRelease() && wasPressed && !doubleClicked_ &&
          me->button() == Qt::LeftButton && widget_->rect().contains(local)) {
        User([&] { control_.UserClick(); });
      }
      break;
    }
    default:
      break;
  }
  return false;
}

}  // namespace qtui
