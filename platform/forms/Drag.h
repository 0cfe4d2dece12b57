#pragma once
// Manual drag and drop as VB runs it.  A control's Drag() (usually from its
// MouseDown handler) begins a drag; the pointer then moves over targets and
// the drag ends with a drop or a cancel.
//
//   target.DragOver(Source, X, Y, State): State 0 (vbEnter) when the pointer
//     enters a target, 2 (vbOver) while it moves over it, 1 (vbLeave) when it
//     leaves it (or the drag is cancelled over it);
//   target.DragDrop(Source, X, Y) when the button is released over it.
//
// The Qt renderer and the tests drive it the same way:
//   src.UserMouseDown(vbLeftButton, 0, 10, 10);   // handler calls src.Drag()
//   auto& d = forms::DragDriver::Instance();
//   d.MoveOver(&slot, 50, 40);  d.MoveOver(&slot, 60, 40);  d.Drop(60, 40);
// X and Y are twips inside the target.  A target may be a control or a form
// background (MoveOverForm).  Errors escaping a handler are reported once.

#include <functional>
#include <utility>
#include <vector>

#include "platform/forms/Control.h"
#include "platform/forms/Observers.h"

namespace forms {

class Form;

class DragDriver {
 public:
  enum class Phase { Began, Ended };
  using Observer = std::function<void(Phase, Control& source)>;

  static DragDriver& Instance();

  bool Active() const { return source_ != nullptr; }
  Control* Source() const { return source_; }
  Control* Over() const { return overControl_; }

  // Control::Drag(vbBeginDrag) calls this.  A drag already running is
  // cancelled first.
  void Begin(Control& source);
  // Moves the pointer over target (nullptr: over nothing that accepts drops).
  void MoveOver(Control* target, float x, float y);
  void MoveOverForm(Form* target, float x, float y);
  // Releases the button: DragDrop on the target under the pointer, if any.
  void Drop(float x, float y);
  // Ends without a drop (Escape, Drag vbCancel): State 1 to the current target.
  void Cancel();

  int Subscribe(Observer fn) { return observers_.Add(std::move(fn)); }
  void Unsubscribe(int id) { observers_.Remove(id); }

  // A control or form being destroyed leaves the drag.
  void Forget(Control& c);
  void Forget(Form& f);

 private:
  void Leave();
  void End();
  void Tell(Phase p, Control& source);

  Control* source_ = nullptr;
  Control* overControl_ = nullptr;
  Form* overForm_ = nullptr;
  Observers<Phase, Control&> observers_;
};

}  // namespace forms
