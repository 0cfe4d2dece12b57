#include "platform/forms/Drag.h"

#include <algorithm>

#include "platform/forms/Form.h"

namespace forms {

DragDriver& DragDriver::Instance() {
  static DragDriver driver;
  return driver;
}

void DragDriver::Begin(Control& source) {
  if (source_) Cancel();
  source_ = &source;
  Tell(Phase::Began, source);
}

void DragDriver::Leave() {
  Control* src = source_;
  if (overControl_) {
    Control* t = overControl_;
    overControl_ = nullptr;
    RunAsUser([&] { t->DragOver(*src, 0, 0, vbLeave); });
  } else if (overForm_) {
    Form* f = overForm_;
    overForm_ = nullptr;
    RunAsUser([&] { f->DragOver(*src, 0, 0, vbLeave); });
  }
}

void DragDriver::MoveOver(Control* target, float x, float y) {
  if (!source_) return;
  Control* src = source_;
  if (target != overControl_ || overForm_) {
    Leave();
    if (!source_) return;  // a handler cancelled the drag
    overControl_ = target;
    if (target) RunAsUser([&] { target->DragOver(*src, x, y, vbEnter); });
    return;
  }
  if (target) RunAsUser([&] { target->DragOver(*src, x, y, vbOver); });
}

void DragDriver::MoveOverForm(Form* target, float x, float y) {
  if (!source_) return;
  Control* src = source_;
  if (target != overForm_ || overControl_) {
    Leave();
    if (!source_) return;
    overForm_ = target;
    if (target) RunAsUser([&] { target->DragOver(*src, x, y, vbEnter); });
    return;
  }
  if (target) RunAsUser([&] { target->DragOver(*src, x, y, vbOver); });
}

void DragDriver::Drop(float x, float y) {
  if (!source_) return;
  Control* src = source_;
  Control* t = overControl_;
  Form* f = overForm_;
  End();
  // The drag is over before the drop handler runs: a handler may start a new one.
  if (t)
    RunAsUser([&] { t->DragDrop(*src, x, y); });
  else if (f)
    RunAsUser([&] { f->DragDrop(*src, x, y); });
}

void DragDriver::Cancel() {
  if (!source_) return;
  Leave();
  End();
}

void DragDriver::End() {
  Control* src = source_;
  source_ = nullptr;
  overControl_ = nullptr;
  overForm_ = nullptr;
  if (src) Tell(Phase::Ended, *src);
}

void DragDriver::Tell(Phase p, Control& source) {
  observers_.Notify(p, source);
}

void DragDriver::Forget(Control& c) {
  if (overControl_ == &c) overControl_ = nullptr;
  if (source_ == &c) {
    source_ = nullptr;
    overControl_ = nullptr;
    overForm_ = nullptr;
    Tell(Phase::Ended, c);  // c is being destroyed: only its base part is left
  }
}

void DragDriver::Forget(Form& f) {
  if (overForm_ == &f) overForm_ = nullptr;
  if (overControl_ && &overControl_->Parent() == &f) overControl_ = nullptr;
  if (source_ && &source_->Parent() == &f) {
    Control* src = source_;
    source_ = nullptr;
    overControl_ = nullptr;
    overForm_ = nullptr;
    Tell(Phase::Ended, *src);
  }
}

}  // namespace forms
