#pragma once
// The top-level window of one form: a menu bar and a client area holding a
// widget per control at its twips position.  The window follows the form
// model (caption, size, visibility, pointer, icon) and turns the user's
// closing, resizing, moving and keys into the form's events.

#include <QMargins>
#include <QPointer>
#include <QWidget>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <vector>

#include "platform/forms/Form.h"
#include "platform/qtui/Resizer.h"

class QMenuBar;
class QMenu;

namespace qtui {

class ControlView;

class FormWindow : public QWidget {
  Q_OBJECT
 public:
  explicit FormWindow(forms::Form& form);
  ~FormWindow() override;

  // The window of a form, made on first use; nullptr when create is false and
  // there is none.
  static FormWindow* For(forms::Form& form, bool create = true);
  // Closes and deletes the window of a form (before the form is destroyed).
  static void Release(forms::Form& form);
  // Deletes the windows of unloaded forms and, when no form is shown any more, ends the
  // program (HandlerScope runs it when the outermost handler has returned).
  static void DeleteRetired();
  // Every window currently alive.
  static std::vector<FormWindow*> All();
  // True while a loaded form is visible: the program runs until the last one is unloaded.
  static bool AnyFormShown();

  forms::Form& form() const { return form_; }
  QWidget* client() const { return client_; }
  ControlView* ViewOf(const forms::Control* c) const;
  std::vector<ControlView*> ViewsUnder(QWidget* parent) const;
  QWidget* WidgetOf(const forms::Control* c) const;

  // Shows the form's state: hides the contents of hidden containers and of
  // the tab pages that are not current.
  void RefreshShown();
  double FontScale() const;

  // The window's resizer, made on first use with the current client size as
  // the design size and every control of the form as its items.
  Resizer& EnableResizer();
  // Binds a form's resizer model (done for every form that has one when its window is made).
  void BindResizer(forms::FormResizer& model);
  // Where every bound resizer keeps its stored placement (not owned).
  static void SetResizerStore(SettingsStore* store);
  Resizer* resizer() const { return resizer_.get(); }
  // After the resizer's settings and store are set: applies its minimum size
  // (no larger than the screen) and the placement stored by an earlier run to
  // the form.  The program calls it for its main window before the first show.
  void ApplyResizerSettings();

  // Drag-and-drop events arriving on a control's widget.
  bool DragEvent(ControlView& view, QWidget* w, QEvent* event);
  // Key presses on a control's widget (also the form's own).
  bool KeyEvent(QEvent* event);
  // Qt moved the keyboard focus onto a control's widget.
  void ControlFocused(forms::Control& c, Qt::FocusReason reason);
  // Carries out a focus move that Qt has made but the form has not taken yet: the form's
  // events (LostFocus before a click, keys) then find the control the user sees focused.  The
  // control the move went to; nullptr when there was none.
  forms::Control* TakePendingFocus();

  // Renders the window (menu bar and client area) into an image.
  QImage Render();

 protected:
  void closeEvent(QCloseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void moveEvent(QMoveEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void changeEvent(QEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dragMoveEvent(QDragMoveEvent* event) override;
  void dragLeaveEvent(QDragLeaveEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  void BuildViews();
  ControlView* BuildView(forms::Control& c);
  void SyncControls();
  void OnFormChange(forms::FormChange what);
  void SyncGeometry();
  void SyncVisible();
  void LayoutChildren();
  void BuildMenus();
  void FillMenu(QMenu* menu, forms::Control& parent);
  int MenuHeightTwips() const;
  // The screen's area for windows (without panels), pixels and twips.
  QRect AvailableArea() const;
  QSize AvailableTwips() const;
  // Where the frame's top-left corner goes for the form's Left and Top, pixels.
  QPoint FramePosition() const;
  void PlaceFrame();
  // A window manager framed the window with these widths.
  void FrameKnown(QMargins frame);
  // The frame's top-left corner on the screen, pixels.
  QPoint FrameTopLeft() const;
  void SaveWindowPlacement();
  // Keeps the normal state's place and size (twips) once the window manager is done with a
  // move or resize: a maximise reports its new size before the state.
  void RecordNormalBounds();
  void TakeResizerSettings();
  void StopObserving();
  void Retire();
  void FocusActiveControl();
  void SetTitleBarButtons();
  // A modal window of this program that is open over this one comes back (restored, raised and
  // active) when this one is activated or restored: it is the one that takes the input.
  void BringBackModal();
  void FollowModalState();

  forms::Form& form_;
  QWidget* client_ = nullptr;
  QMenuBar* menuBar_ = nullptr;
  std::map<const forms::Control*, std::unique_ptr<ControlView>> views_;
  std::vector<std::pair<forms::Control*, int>> menuObservers_;
  std::unique_ptr<Resizer> resizer_;
  int formObserver_ = 0;
  int syncing_ = 0;
  int frameWidth_ = 0;  // outer minus client, twips
  int frameHeight_ = 0;
  bool menusDirty_ = false;
  forms::Control* pendingFocus_ = nullptr;
  // What the window manager did to the window, being taken over by the form: not sent back.
  std::optional<Geometry> fromWindow_;
  int followingState_ = 0;
  std::optional<Geometry> normalBounds_;
  bool recordQueued_ = false;
  std::optional<QMargins> frame_;  // as the window manager told it, where Qt did not learn it
};

}  // namespace qtui
