#include "platform/forms/Control.h"

#include <algorithm>
#include <exception>

#include "platform/forms/App.h"
#include "platform/forms/Design.h"
#include "platform/forms/Drag.h"
#include "platform/forms/Form.h"
#include "platform/vbrt/VbError.h"

namespace forms {

Control::Control(Form& form, std::string typeName, std::string name, int index)
    : form_(form), type_(std::move(typeName)), name_(std::move(name)), index_(index) {
  zRank_ = form_.NextFrontRank();
  form_.AddControl(*this);
}

Control::~Control() {
  DragDriver::Instance().Forget(*this);
  form_.RemoveControl(*this);
}

void Control::SetContainer(Control* c, int tabPage) {
  if (c) {
    if (!c->IsContainer() || &c->form_ != &form_) vb::Raise(vb::kInvalidProcedureCall);
    for (Control* p = c; p; p = p->container_)
      if (p == this) vb::Raise(vb::kInvalidProcedureCall);
  }
  container_ = c;
  tabPage_ = c ? tabPage : -1;
  Notify(Prop::Container);
}

bool Control::IsShown() const {
  if (!visible_) return false;
  const Control* child = this;
  for (const Control* c = container_; c; child = c, c = c->container_) {
    if (!c->visible_) return false;
    if (child->tabPage_ >= 0 && !c->PageShown(child->tabPage_)) return false;
  }
  return true;
}

void Control::Move(int left, int top, int width, int height) {
  if (width < 0 || height < 0) vb::Raise(vb::kInvalidPropertyValue);
  if (left == left_ && top == top_ && width == width_ && height == height_) return;
  left_ = left;
  top_ = top;
  width_ = width;
  height_ = height;
  Notify(Prop::Geometry);
}

void Control::SetVisible(bool v) {
  if (v == visible_) return;
  visible_ = v;
  if (!v && form_.ActiveControl() == this) form_.ChangeFocus(nullptr);
  Notify(Prop::Visible);
}

void Control::SetEnabled(bool v) {
  if (v == enabled_) return;
  enabled_ = v;
  Notify(Prop::Enabled);
}

void Control::SetToolTipText(std::string v) {
  if (v == toolTip_) return;
  toolTip_ = std::move(v);
  Notify(Prop::ToolTip);
}

void Control::SetFont(const forms::Font& f) {
  if (f == font_) return;
  font_ = f;
  Notify(Prop::Font);
}

void Control::SetBackColor(OleColor c) {
  if (c == backColor_) return;
  backColor_ = c;
  Notify(Prop::Color);
}

void Control::SetForeColor(OleColor c) {
  if (c == foreColor_) return;
  foreColor_ = c;
  Notify(Prop::Color);
}

void Control::SetMousePointer(int p) {
  if ((p < 0 || p > 15) && p != 99) vb::Raise(vb::kInvalidPropertyValue);
  mousePointer_ = p;
  Notify(Prop::MousePointer);
}

void Control::ZOrder(int position) {
  if (position != 0 && position != 1) vb::Raise(vb::kInvalidProcedureCall);
  zRank_ = position == 0 ? form_.NextFrontRank() : form_.NextBackRank();
  Notify(Prop::ZOrder);
}

void Control::SetDragIcon(StdPicture p) {
  dragIcon_ = std::move(p);
  Notify(Prop::DragIcon);
}

void Control::SetDragMode(int m) {
  if (m != vbManual && m != vbAutomatic) vb::Raise(vb::kInvalidPropertyValue);
  dragMode_ = m;
}

void Control::Drag(int action) {
  DragDriver& d = DragDriver::Instance();
  switch (action) {
    case vbBeginDrag:
      d.Begin(*this);
      break;
    case vbDragCancel:
      if (d.Source() == this) d.Cancel();
      break;
    case vbEndDrag:
      if (d.Source() == this) d.Drop(0, 0);
      break;
    default:
      vb::Raise(vb::kInvalidProcedureCall);
  }
}

void Control::SetFocus() {
  if (!CanFocus() || !enabled_ || !IsShown() || !form_.Loaded())
    vb::Raise(vb::kInvalidProcedureCall);
  form_.ChangeFocus(this);
}

void Control::UserClick() {
  if (!enabled_) return;
  AsUser([this] { Click(); });
}

void Control::UserDblClick() {
  if (!enabled_) return;
  AsUser([this] { DblClick(); });
}

void Control::UserMouseDown(int button, int shift, float x, float y) {
  if (!enabled_) return;
  if (dragMode_ == vbAutomatic && button == vbLeftButton) {
    DragDriver::Instance().Begin(*this);
    return;
  }
  AsUser([&] { MouseDown(button, shift, x, y); });
}

void Control::UserMouseMove(int button, int shift, float x, float y) {
  if (!enabled_) return;
  AsUser([&] { MouseMove(button, shift, x, y); });
}

void Control::UserMouseUp(int button, int shift, float x, float y) {
  if (!enabled_) return;
  AsUser([&] { MouseUp(button, shift, x, y); });
}

void Control::Notify(Prop p) {
  observers_.Notify(*this, p);
}

void Control::AsUser(const std::function<void()>& action) {
  RunAsUser(action);
}

bool Control::SetDesignProperty(const std::string& key, const std::string& value) {
  using namespace design;
  forms::Font f = font_;
  if (FontProperty(f, key, value)) {
    if (f.Size <= 0) vb::Raise(vb::kInvalidPropertyValue);
    SetFont(f);
  } else if (KeyIs(key, "Left"))
    SetLeft(Int(value));
  else if (KeyIs(key, "Top"))
    SetTop(Int(value));
  else if (KeyIs(key, "Width"))
    SetWidth(Int(value));
  else if (KeyIs(key, "Height"))
    SetHeight(Int(value));
  else if (KeyIs(key, "Visible"))
    SetVisible(Bool(value));
  else if (KeyIs(key, "Enabled"))
    SetEnabled(Bool(value));
  else if (KeyIs(key, "ToolTipText"))
    SetToolTipText(value);
  else if (KeyIs(key, "Tag"))
    SetTag(value);
  else if (KeyIs(key, "TabIndex"))
    SetTabIndex(Int(value));
  else if (KeyIs(key, "TabStop"))
    SetTabStop(Bool(value));
  else if (KeyIs(key, "BackColor"))
    SetBackColor(Color(value));
  else if (KeyIs(key, "ForeColor"))
    SetForeColor(Color(value));
  else if (KeyIs(key, "MousePointer"))
    SetMousePointer(Int(value));
  else if (KeyIs(key, "DragMode"))
    SetDragMode(Int(value));
  else if (KeyIs(key, "DragIcon"))
    SetDragIcon(design::Picture(value));
  else
    return false;
  return true;
}

void Control::CopyDesignFrom(const Control& m) {
  Move(m.left_, m.top_, m.width_, m.height_);
  if (m.container_) SetContainer(m.container_, m.tabPage_);
  SetEnabled(m.enabled_);
  SetToolTipText(m.toolTip_);
  tag_ = m.tag_;
  SetFont(m.font_);
  SetBackColor(m.backColor_);
  SetForeColor(m.foreColor_);
  mousePointer_ = m.mousePointer_;
  tabStop_ = m.tabStop_;
  dragIcon_ = m.dragIcon_;
  dragMode_ = m.dragMode_;
}

void ReportUnhandledError(int number, const std::string& description) {
  App::Current().MsgBox("Run-time error '" + std::to_string(number) + "':\n\n" + description,
                        vbCritical);
}

namespace {

// A failure of the report itself (a box the test did not script) must not
// escape the event either.
void Report(int number, const std::string& description) {
  try {
    ReportUnhandledError(number, description);
  } catch (const ProgramEnded&) {
    throw;
  } catch (const std::exception&) {
  }
}

}  // namespace

void RunAsUser(const std::function<void()>& action) {
  try {
    action();
  } catch (const ProgramEnded&) {
    throw;
  } catch (const vb::VbError& e) {
    Report(e.Number(), e.DescriptionAndFile());
  } catch (const std::exception& e) {
    Report(51, std::string("Internal error: ") + e.what());
  }
}

}  // namespace forms
