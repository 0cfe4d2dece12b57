#pragma once
// The base of every control model.
//
// How a renderer works with these models
// ---------------------------------------
// * Enumeration.  Form::Controls() lists every control of a form in creation
//   order (layout order; control-array elements loaded at run time are added at
//   the end and announced through Form::Subscribe with FormChange::Controls).
//   TypeName() tells the kind ("Label", "TextBox", "Gear", ...); dynamic_cast to
//   the class in Controls.h / ListControls.h / FileControls.h / TabControl.h /
//   DatePicker.h / Gear.h for the kind's own properties.
// * Observation.  Subscribe(fn) registers fn(Control&, Prop); every property
//   change made by code or by the model itself calls it with the group of
//   properties that changed (Prop below), after the change.  The renderer
//   re-reads what it needs and redraws.  Unsubscribe(id) removes it.
// * Geometry.  Left/Top/Width/Height in twips, relative to the container's
//   client area (the form, a Frame, or a tab control; see Container()).
//   Container() is nullptr for the form itself; TabPage() is the page of a tab
//   control container (-1 otherwise).  IsShown() folds Visible, the container
//   chain and the current tab page together.  ZRank(): larger is in front.
// * Fonts and colours.  GetFont() gives name/size/bold/italic/underline;
//   BackColor/ForeColor are VB OLE colours (0x00BBGGRR, or 0x800000nn for a
//   system colour; see IsSystemColor).
// * Pictures.  StdPicture (Picture.h) holds shared 0xAARRGGBB pixels.  Image
//   controls have Picture(), the imaging control DisplayImage(); DragIcon() is
//   the cursor during a drag of this control.
// * User input.  The User*() members act as the user would, raising the same
//   events as VB in the same order: UserClick(), UserDblClick(),
//   UserMouseDown/Move/Up(), UserKeyDown/Press/Up() (through the form),
//   TextBox::UserSetText(), list UserSelect()/UserSetTopIndex(),
//   CheckBox/OptionButton via UserClick(), HScrollBar::UserSetValue(),
//   TabControl::UserSelectTab(), DatePicker::UserSetValue()/UserCloseUp(),
//   Gear::UserSelectionDone().  They catch a vb::VbError that a handler lets
//   escape and report it once (ReportUnhandledError), like an event procedure
//   without a trap; forms::ProgramEnded passes through to the caller (the
//   renderer quits, the test observes it).
// * Drag and drop.  DragDriver (Drag.h): a control's Drag() begins a drag; the
//   renderer follows the pointer and calls DragDriver::MoveOver(target, x, y)
//   and Drop(x, y); DragDriver::Subscribe tells it when a drag begins or ends.
//
// Code in the windows uses the VB names: `Caption()` reads, `SetCaption(x)`
// writes.  Events are Event<> members named like VB's (`Click`, `DragDrop`).

#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "platform/forms/Event.h"
#include "platform/forms/Observers.h"
#include "platform/forms/Picture.h"

namespace forms {

class Form;

// Which group of properties changed.
enum class Prop {
  Geometry,  // Left Top Width Height (Line: X1 Y1 X2 Y2)
  Visible,
  Enabled,
  Caption,    // Caption of labels, buttons, frames, menus, check/option boxes
  Text,       // Text of text and combo boxes; DDE link fields
  List,       // list entries (added, removed, re-read)
  Selection,  // ListIndex, Selected(i), SelStart/SelLength, rubber band
  TopIndex,
  Value,    // CheckBox/OptionButton/HScrollBar/DatePicker value, range
  Picture,  // Picture, ThumbPath, displayed image, brightness preview
  Font,
  Color,
  ToolTip,
  ZOrder,
  DragIcon,
  MousePointer,
  Tabs,   // tab control: current tab, captions, enabled pages
  Style,  // other design-time looks (Alignment, BorderStyle, Checked ...)
  Container,
};

struct Font {
  std::string Name = "MS Sans Serif";
  double Size = 8.25;  // points
  bool Bold = false;
  bool Italic = false;
  bool Underline = false;
  bool Strikethrough = false;
  bool operator==(const Font&) const = default;
};

// VB OLE colours.
using OleColor = std::uint32_t;
constexpr OleColor vbButtonFace = 0x8000000F;
constexpr OleColor vbButtonText = 0x80000012;
constexpr OleColor vbWindowBackground = 0x80000005;
constexpr OleColor vbWindowText = 0x80000008;
constexpr OleColor vbBlack = 0x000000;
constexpr OleColor vbWhite = 0xFFFFFF;
constexpr OleColor vbRed = 0x0000FF;
inline bool IsSystemColor(OleColor c) {
  return (c & 0x80000000u) != 0;
}

// Mouse buttons and shift states as VB passes them.
enum MouseButton : int { vbLeftButton = 1, vbRightButton = 2, vbMiddleButton = 4 };
enum ShiftState : int { vbShiftMask = 1, vbCtrlMask = 2, vbAltMask = 4 };
// DragOver State, Drag action, DragMode.
enum DragState : int { vbEnter = 0, vbLeave = 1, vbOver = 2 };
// VB calls the first one vbCancel too; that name is the MsgBox result here.
enum DragAction : int { vbDragCancel = 0, vbBeginDrag = 1, vbEndDrag = 2 };
enum DragModeKind : int { vbManual = 0, vbAutomatic = 1 };

class Control {
 public:
  using Observer = std::function<void(Control&, Prop)>;

  Control(Form& form, std::string typeName, std::string name, int index);
  virtual ~Control();
  Control(const Control&) = delete;
  Control& operator=(const Control&) = delete;

  // ---- identity
  const std::string& TypeName() const { return type_; }
  const std::string& Name() const { return name_; }
  int Index() const { return index_; }  // -1 when not part of a control array
  bool IsArrayElement() const { return index_ >= 0; }
  Form& Parent() const { return form_; }

  // ---- container (form, Frame, tab control page, or parent menu)
  Control* Container() const { return container_; }
  int TabPage() const { return tabPage_; }
  // Raises 5 when c cannot contain controls or would contain itself.
  void SetContainer(Control* c, int tabPage = -1);
  virtual bool IsContainer() const { return false; }
  // Whether a child on page `page` of this container is shown (tab controls).
  virtual bool PageShown(int /*page*/) const { return true; }
  // Visible, and every container visible, and on the container's current page.
  bool IsShown() const;

  // ---- geometry, twips
  int Left() const { return left_; }
  int Top() const { return top_; }
  int Width() const { return width_; }
  int Height() const { return height_; }
  void SetLeft(int v) { Move(v, top_, width_, height_); }
  void SetTop(int v) { Move(left_, v, width_, height_); }
  void SetWidth(int v) { Move(left_, top_, v, height_); }
  void SetHeight(int v) { Move(left_, top_, width_, v); }
  // Negative width or height: 380.
  virtual void Move(int left, int top, int width, int height);

  // ---- common properties
  bool Visible() const { return visible_; }
  void SetVisible(bool v);
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool v);
  const std::string& ToolTipText() const { return toolTip_; }
  void SetToolTipText(std::string v);
  const std::string& Tag() const { return tag_; }
  void SetTag(std::string v) { tag_ = std::move(v); }
  const forms::Font& GetFont() const { return font_; }
  void SetFont(const forms::Font& f);
  OleColor BackColor() const { return backColor_; }
  void SetBackColor(OleColor c);
  OleColor ForeColor() const { return foreColor_; }
  void SetForeColor(OleColor c);
  int MousePointer() const { return mousePointer_; }
  void SetMousePointer(int p);
  int TabIndex() const { return tabIndex_; }
  void SetTabIndex(int v) { tabIndex_ = v; }
  bool TabStop() const { return tabStop_; }
  void SetTabStop(bool v) { tabStop_ = v; }
  // Whether the control can hold the keyboard focus at all (labels, frames,
  // lines, images, menus cannot).
  virtual bool CanFocus() const { return false; }

  // ---- drawing order: ZOrder(0) brings to the front, ZOrder(1) sends to the back
  void ZOrder(int position = 0);
  long ZRank() const { return zRank_; }

  // ---- drag and drop
  const StdPicture& DragIcon() const { return dragIcon_; }
  void SetDragIcon(StdPicture p);
  int DragMode() const { return dragMode_; }
  void SetDragMode(int m);
  // vbBeginDrag starts a manual drag of this control, vbDragCancel ends it without
  // a drop, vbEndDrag drops it where it is.
  void Drag(int action = vbBeginDrag);

  // ---- focus
  // Raises 5 when the control is hidden, disabled, or cannot take the focus.
  void SetFocus();

  // ---- events every control may raise
  Event<> Click;
  Event<> DblClick;
  Event<Control& /*Source*/, float /*X*/, float /*Y*/> DragDrop;
  Event<Control& /*Source*/, float /*X*/, float /*Y*/, int /*State*/> DragOver;
  Event<int /*Button*/, int /*Shift*/, float /*X*/, float /*Y*/> MouseDown;
  Event<int /*Button*/, int /*Shift*/, float /*X*/, float /*Y*/> MouseMove;
  Event<int /*Button*/, int /*Shift*/, float /*X*/, float /*Y*/> MouseUp;
  Event<> GotFocus;
  Event<> LostFocus;
  Event<int& /*KeyCode*/, int /*Shift*/> KeyDown;
  Event<int& /*KeyCode*/, int /*Shift*/> KeyUp;
  Event<int& /*KeyAscii*/> KeyPress;

  // ---- user input (renderer and tests)
  virtual void UserClick();
  virtual void UserDblClick();
  void UserMouseDown(int button, int shift, float x, float y);
  void UserMouseMove(int button, int shift, float x, float y);
  void UserMouseUp(int button, int shift, float x, float y);

  // ---- observation
  int Subscribe(Observer fn) { return observers_.Add(std::move(fn)); }
  void Unsubscribe(int id) { observers_.Remove(id); }

  // ---- layout files: sets one design-time property from its text.  Returns
  // false for a property this control does not have; raises vb::VbError 380
  // for a value it cannot take.
  virtual bool SetDesignProperty(const std::string& key, const std::string& value);
  // VB's Load of a control-array element copies the lowest element's
  // design-time properties (geometry, container, font, colours, captions ...).
  virtual void CopyDesignFrom(const Control& model);
  // Releases pictures and other resources when the form unloads.
  virtual void ReleaseResources() {}

 protected:
  void Notify(Prop p);
  // Runs a user-driven action: a VbError escaping it is reported once.
  void AsUser(const std::function<void()>& action);

 private:
  friend class Form;
  Form& form_;
  std::string type_;
  std::string name_;
  int index_;
  Control* container_ = nullptr;
  int tabPage_ = -1;
  int left_ = 0, top_ = 0, width_ = 0, height_ = 0;
  bool visible_ = true;
  bool enabled_ = true;
  std::string toolTip_;
  std::string tag_;
  forms::Font font_;
  OleColor backColor_ = vbButtonFace;
  OleColor foreColor_ = vbButtonText;
  int mousePointer_ = 0;
  int tabIndex_ = 0;
  bool tabStop_ = true;
  long zRank_ = 0;
  StdPicture dragIcon_;
  int dragMode_ = vbManual;
  Observers<Control&, Prop> observers_;
};

// Reports an error that escaped an event procedure: a critical message box
// "Run-time error 'n':" with the description, through App::Current().
void ReportUnhandledError(int number, const std::string& description);

// Runs an event procedure on behalf of the user: a VbError (or another
// std::exception) it lets escape is reported once and ends only that event.
// ProgramEnded passes through.
void RunAsUser(const std::function<void()>& action);

}  // namespace forms
