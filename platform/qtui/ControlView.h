#pragma once
// The binding between one control model and its widget: the view re-reads the
// model on every change notification and turns user input on the widget into
// the model's User*() calls.

#include <QObject>
#include <QPointer>
#include <QWidget>

class QFocusEvent;
class QKeyEvent;
#include <functional>
#include <memory>

#include "platform/forms/Control.h"

namespace qtui {

class FormWindow;

class ControlView : public QObject {
  Q_OBJECT
 public:
  ControlView(forms::Control& control, FormWindow& window);
  ~ControlView() override;

  forms::Control& control() const { return control_; }
  FormWindow& window() const { return window_; }
  QWidget* widget() const { return widget_; }

  // Creates the widget inside parent and shows the model's state.
  void Build(QWidget* parent);
  // Where controls contained in this one are placed (frames, tab controls).
  virtual QWidget* ChildArea() { return widget_; }
  // Re-reads one group of properties.
  void Sync(forms::Prop p);
  void SyncAll();
  void SyncShown();
  // Stops observing the model (the window is going away).
  void Detach();
  // Stacks this widget among its siblings by the model's ZRank.
  void Restack();

 protected:
  virtual QWidget* CreateWidget(QWidget* parent) = 0;
  // The kind's own properties; called for every group.
  virtual void SyncOwn(forms::Prop p) = 0;
  virtual void SyncGeometry();
  // Widgets whose mouse events are the control's (the widget and its viewport).
  virtual QList<QWidget*> InputWidgets() { return {widget_}; }
  // Controls that raise Click when the mouse is released over them (labels,
  // images, frames); widgets with a clicked signal raise it themselves.
  virtual bool ClickOnRelease() const { return false; }
  // A key press the control acts on itself (after the form's KeyDown); true when it took it.
  virtual bool KeyAction(const QKeyEvent&) { return false; }

  bool eventFilter(QObject* watched, QEvent* event) override;
  // Runs a user action against the model with End handled.
  void User(const std::function<void()>& action);
  // True while the view writes the model's state into the widget.
  bool syncing() const { return syncing_ > 0; }
  QFont ScaledFont() const;

 private:
  bool MouseEvent(QWidget* w, QEvent* event);
  Qt::FocusReason FocusReason(const QFocusEvent& event) const;

  forms::Control& control_;
  FormWindow& window_;
  QPointer<QWidget> widget_;
  int observer_ = 0;
  int syncing_ = 0;
  bool pressed_ = false;
  bool doubleClicked_ = false;
  friend class SyncGuard;
};

// Creates the view for a control model by its kind; nullptr for a kind with
// no widget (menus are drawn by the window's menu bar).
std::unique_ptr<ControlView> MakeView(forms::Control& control, FormWindow& window);

// Mouse position in twips, VB's shift and button masks.
float PixelsToTwipsF(int pixels);
// A point of w in the coordinates of area (w is area or inside it).
QPoint MapInto(const QWidget* area, const QWidget* w, QPoint p);
int VbShift(Qt::KeyboardModifiers mods);
int VbButton(Qt::MouseButtons buttons);

}  // namespace qtui
