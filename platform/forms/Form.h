#pragma once
// The form model: one window, its controls and its life cycle, as VB runs it.
//
//   class frmAbout : public forms::Form {
//    public:
//     frmAbout() : Form("frmAbout") {   // layout: resources/layouts/frmAbout.layout
//       cmdOK.Click = [this] { cmdOK_Click(); };
//     }
//     forms::Label lblVersion{*this, "lblVersion"};
//     forms::CommandButton cmdOK{*this, "cmdOK"};
//    protected:
//     void Form_Load() override { ... }
//    private:
//     void cmdOK_Click() { Unload(); }
//   };
//
//   forms::FormInstance<frmAbout>().Show(forms::vbModal);
//
// Life cycle (VB order): Load() applies the layout (first load only), raises
// Form_Load; Show() makes it visible and raises Form_Resize then Form_Activate;
// Unload() raises Form_QueryUnload(Cancel, UnloadMode) then Form_Unload(Cancel)
// and, unless cancelled, hides the form and takes it out of Forms().
// FormInstance<F>() gives the one instance of a window, created and loaded on
// first use; after an Unload the next FormInstance<F>() makes a fresh instance
// (controls back at their design state; form-level members start anew too,
// unlike VB where they survive until `Set frm = Nothing`).

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/forms/Control.h"
#include "platform/forms/Observers.h"
#include "platform/forms/Resizer.h"

namespace forms {

class ControlArrayBase;

enum UnloadModeKind : int {
  vbFormControlMenu = 0,
  vbFormCode = 1,
  vbAppWindows = 2,
  vbAppTaskManager = 3,
  vbFormMDIForm = 4,
  vbFormOwner = 5
};
enum WindowStateKind : int { vbNormal = 0, vbMinimized = 1, vbMaximized = 2 };
enum ShowKind : int { vbModeless = 0, vbModal = 1 };
// Key codes the windows test.
enum KeyCodeKind : int {
  vbKeyReturn = 13,
  vbKeyEscape = 27,
  vbKeyR = 82,
  vbKeyF1 = 112,
};

enum class FormChange {
  Caption,
  Geometry,
  Visible,
  WindowState,
  MousePointer,
  Icon,
  Enabled,
  Focus,     // ActiveControl changed
  Controls,  // a control was added or removed
  Loaded,    // loaded or unloaded
  Style,     // BorderStyle, ControlBox, BackColor ...
};

class Form {
 public:
  using Observer = std::function<void(Form&, FormChange)>;

  // layoutName "" uses the form's name; "-" means no layout file.
  explicit Form(std::string name, std::string layoutName = {});
  virtual ~Form();
  Form(const Form&) = delete;
  Form& operator=(const Form&) = delete;

  const std::string& Name() const { return name_; }
  // resources/layouts/<LayoutName()>.layout; "" when the form has none.
  std::string LayoutName() const;

  // ---- properties
  const std::string& Caption() const { return caption_; }
  void SetCaption(std::string c);
  int Left() const { return left_; }
  int Top() const { return top_; }
  int Width() const { return width_; }
  int Height() const { return height_; }
  void SetLeft(int v) { Move(v, top_, width_, height_); }
  void SetTop(int v) { Move(left_, v, width_, height_); }
  void SetWidth(int v) { Move(left_, top_, v, height_); }
  void SetHeight(int v) { Move(left_, top_, width_, v); }
  // A size change of a shown form raises Form_Resize.  Negative size: 380.
  void Move(int left, int top, int width, int height);
  // The client area in twips (the renderer keeps it current; until then the
  // outer size less VB's default border and caption).
  int ScaleWidth() const;
  int ScaleHeight() const;
  void SetClientSize(int scaleWidth, int scaleHeight);
  const StdPicture& Icon() const { return icon_; }
  void SetIcon(StdPicture p);
  bool Visible() const { return visible_; }
  // True shows the form (modeless); False hides it.
  void SetVisible(bool v);
  int WindowState() const { return windowState_; }
  void SetWindowState(int s);  // 0..2 else 380
  int MousePointer() const { return mousePointer_; }
  void SetMousePointer(int p);
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool v);
  bool KeyPreview() const { return keyPreview_; }
  int BorderStyle() const { return borderStyle_; }  // 0 none, 1 fixed, 2 sizable, 3 fixed dialog
  bool ControlBox() const { return controlBox_; }
  bool MaxButton() const { return maxButton_; }
  bool MinButton() const { return minButton_; }
  OleColor BackColor() const { return backColor_; }
  void SetBackColor(OleColor c);
  const forms::Font& GetFont() const { return font_; }
  void SetFont(const forms::Font& f) { font_ = f; }
  // 0 manual, 1 centre owner, 2 centre screen, 3 Windows default.
  int StartUpPosition() const { return startUpPosition_; }

  // ---- life cycle
  bool Loaded() const { return loaded_; }
  // Load statement: applies the layout (once) and raises Form_Load.  A layout
  // error raises vb::VbError (see Layout.h).
  void Load();
  // Loads when needed and shows the form; vbModal returns once the form is
  // unloaded or hidden (App::ShowModal).
  void Show(int modal = vbModeless);
  void Hide();
  bool IsModal() const { return modal_; }
  // Unload statement: false when Form_QueryUnload or Form_Unload cancelled it.
  bool Unload(int unloadMode = vbFormCode);
  // How many times the form has been unloaded (FormInstance uses it).
  int UnloadCount() const { return unloadCount_; }

  // ---- controls
  const std::vector<Control*>& Controls() const { return controls_; }
  // By name (any case) and index (-1 for a control that is not in an array).
  Control* FindControl(const std::string& name, int index = -1) const;
  ControlArrayBase* FindArray(const std::string& name) const;
  // Moves c to the end of Controls() and to the front of the drawing order
  // (the layout loader keeps the file's order this way).
  void PlaceLast(Control& c);

  // ---- focus
  Control* ActiveControl() const { return active_; }

  // ---- user input (renderer and tests)
  void UserKeyDown(int keyCode, int shift);
  void UserKeyUp(int keyCode, int shift);
  void UserKeyPress(int keyAscii);
  void UserFocus(Control& c);              // the user clicked or tabbed into c
  void UserClose();                        // the close box: Unload with vbFormControlMenu
  void UserResize(int width, int height);  // outer size in twips
  void UserMove(int left, int top);
  void UserActivate();

  // ---- form-level drop target (drops on the form background)
  Event<Control& /*Source*/, float, float> DragDrop;
  Event<Control& /*Source*/, float, float, int /*State*/> DragOver;

  // ---- observation
  int Subscribe(Observer fn) { return observers_.Add(std::move(fn)); }
  void Unsubscribe(int id) { observers_.Remove(id); }

  // ---- the window resizer the form carries, if any (bound by the renderer)
  virtual FormResizer* WindowResizer() { return nullptr; }

  // ---- layout files: one design-time property of the form; false when unknown
  virtual bool SetDesignProperty(const std::string& key, const std::string& value);

 protected:
  virtual void Form_Load() {}
  virtual void Form_Activate() {}
  virtual void Form_Resize() {}
  virtual void Form_QueryUnload(int& /*Cancel*/, int /*UnloadMode*/) {}
  virtual void Form_Unload(int& /*Cancel*/) {}
  virtual void Form_KeyDown(int& /*KeyCode*/, int /*Shift*/) {}
  virtual void Form_KeyUp(int& /*KeyCode*/, int /*Shift*/) {}
  virtual void Form_KeyPress(int& /*KeyAscii*/) {}

 private:
  friend class Control;
  friend class ControlArrayBase;
  friend class HeadlessApp;
  void AddControl(Control& c);
  void RemoveControl(Control& c);
  void RegisterArray(ControlArrayBase& a);
  void UnregisterArray(ControlArrayBase& a);
  long NextFrontRank() { return ++frontRank_; }
  long NextBackRank() { return --backRank_; }
  void ChangeFocus(Control* c);
  void Notify(FormChange what);
  void ApplyLayoutOnce();
  bool PressDefaultOrCancel(int keyCode);

  std::string name_;
  std::string layoutName_;
  std::string caption_;
  int left_ = 0, top_ = 0, width_ = 4800, height_ = 3600;
  int scaleWidth_ = -1, scaleHeight_ = -1;
  StdPicture icon_;
  bool visible_ = false;
  int windowState_ = vbNormal;
  int mousePointer_ = 0;
  bool enabled_ = true;
  bool keyPreview_ = false;
  int borderStyle_ = 2;
  bool controlBox_ = true, maxButton_ = true, minButton_ = true;
  OleColor backColor_ = vbButtonFace;
  forms::Font font_;
  int startUpPosition_ = 3;
  bool loaded_ = false;
  bool layoutApplied_ = false;
  bool shownOnce_ = false;
  bool modal_ = false;
  int unloadCount_ = 0;
  std::vector<Control*> controls_;
  std::map<std::string, Control*> byName_;  // upper-cased name
  std::map<std::string, ControlArrayBase*> arrays_;
  Control* active_ = nullptr;
  long frontRank_ = 0, backRank_ = 0;
  Observers<Form&, FormChange> observers_;
};

// The Forms collection: loaded forms, in load order.
std::vector<Form*> Forms();

namespace detail {
// Keeps an unloaded instance alive until the program ends (code may still be
// running inside it) and registers a reset for ResetFormInstances.
void RetireInstance(std::unique_ptr<Form> old);
void RegisterInstanceSlot(std::function<void()> reset);
}  // namespace detail

// The one instance of window F ("created on first use"): made and loaded when
// there is none or the last one was unloaded.
// The instances live until ResetFormInstances, never until the static destructors: a program
// ended by exit() (its display gone) would destroy them while their windows exist.
template <class F>
F& FormInstance() {
  static std::unique_ptr<F>& slot = *new std::unique_ptr<F>;
  static bool registered = false;
  if (!registered) {
    registered = true;
    detail::RegisterInstanceSlot([] { slot.reset(); });
  }
  if (slot && slot->UnloadCount() > 0 && !slot->Loaded())
    detail::RetireInstance(std::exchange(slot, nullptr));
  if (!slot) slot = std::make_unique<F>();
  if (!slot->Loaded()) slot->Load();
  return *slot;
}

// Tests: destroys every instance FormInstance made (and retired ones).
void ResetFormInstances();

}  // namespace forms
