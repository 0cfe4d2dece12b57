#pragma once
// The simple intrinsic controls: Label, CommandButton, CheckBox, OptionButton,
// HScrollBar, Image (picture button), Frame, Line, Menu.

#include <string>
#include <vector>

#include "platform/forms/Control.h"

namespace forms {

enum AlignmentKind : int { vbLeftJustify = 0, vbRightJustify = 1, vbCenter = 2 };
enum CheckValue : int { vbUnchecked = 0, vbChecked = 1, vbGrayed = 2 };

class Label : public Control {
 public:
  static constexpr const char* kTypeName = "Label";
  Label(Form& f, std::string name, int index = -1);

  const std::string& Caption() const { return caption_; }
  void SetCaption(std::string c);
  int Alignment() const { return alignment_; }
  void SetAlignment(int a);
  int BackStyle() const { return backStyle_; }  // 0 transparent, 1 opaque
  int BorderStyle() const { return borderStyle_; }
  bool UseMnemonic() const { return useMnemonic_; }
  // Repaints at once (the renderer redraws on the notification).
  void Refresh();

  bool SetDesignProperty(const std::string& key, const std::string& value) override;
  void CopyDesignFrom(const Control& model) override;

 private:
  std::string caption_;
  int alignment_ = vbLeftJustify;
  int backStyle_ = 1;
  int borderStyle_ = 0;
  bool useMnemonic_ = true;
};

class CommandButton : public Control {
 public:
  static constexpr const char* kTypeName = "CommandButton";
  CommandButton(Form& f, std::string name, int index = -1);

  // With "&" before the access key ("&Compress Picture").
  const std::string& Caption() const { return caption_; }
  void SetCaption(std::string c);
  // The access key, upper-cased; 0 when the caption has none.
  char AccessKey() const;
  bool Default() const { return default_; }
  void SetDefault(bool v);
  bool Cancel() const { return cancel_; }
  void SetCancel(bool v);
  // Value = True clicks the button (raises Click).
  void SetValue(bool v);
  const StdPicture& Picture() const { return picture_; }
  void SetPicture(StdPicture p);
  int Style() const { return style_; }  // 0 standard, 1 graphical

  bool CanFocus() const override { return true; }
  void UserClick() override;  // only when enabled
  bool SetDesignProperty(const std::string& key, const std::string& value) override;
  void CopyDesignFrom(const Control& model) override;
  void ReleaseResources() override { picture_ = {}; }

 private:
  std::string caption_;
  bool default_ = false;
  bool cancel_ = false;
  StdPicture picture_;
  int style_ = 0;
};

class CheckBox : public Control {
 public:
  static constexpr const char* kTypeName = "CheckBox";
  CheckBox(Form& f, std::string name, int index = -1);

  const std::string& Caption() const { return caption_; }
  void SetCaption(std::string c);
  int Value() const { return value_; }
  // 0, 1 or 2 (else 380); a change raises Click.
  void SetValue(int v);
  int Alignment() const { return alignment_; }

  bool CanFocus() const override { return true; }
  void UserClick() override;  // unchecked -> checked, otherwise -> unchecked
  bool SetDesignProperty(const std::string& key, const std::string& value) override;
  void CopyDesignFrom(const Control& model) override;

 private:
  std::string caption_;
  int value_ = vbUnchecked;
  int alignment_ = vbLeftJustify;
};

// Option buttons form a group per container (form, frame or tab page):
// selecting one clears the others of the group.
class OptionButton : public Control {
 public:
  static constexpr const char* kTypeName = "OptionButton";
  OptionButton(Form& f, std::string name, int index = -1);

  const std::string& Caption() const { return caption_; }
  void SetCaption(std::string c);
  bool Value() const { return value_; }
  // True clears the group's other buttons and raises Click, only when this
  // one was not already selected; False just clears it.
  void SetValue(bool v);

  // The visible, enabled options of this one's group (same container and tab page), in the
  // form's order.
  std::vector<OptionButton*> Group() const;
  // A group is one Tab stop, as on Windows: its selected option, or its first when none is.
  bool GroupTabStop() const;
  // The arrow keys: the focus moves to the group's previous (-1) or next (+1) option, round
  // the group, and selects it.
  void UserArrow(int step);

  bool CanFocus() const override { return true; }
  void UserClick() override;
  bool SetDesignProperty(const std::string& key, const std::string& value) override;
  void CopyDesignFrom(const Control& model) override;

 private:
  std::string caption_;
  bool value_ = false;
};

class HScrollBar : public Control {
 public:
  static constexpr const char* kTypeName = "HScrollBar";
  HScrollBar(Form& f, std::string name, int index = -1);

  int Min() const { return min_; }
  int Max() const { return max_; }
  int SmallChange() const { return smallChange_; }
  int LargeChange() const { return largeChange_; }
  int Value() const { return value_; }
  // Min may exceed Max (a reversed bar).  The value is pulled into range.
  void SetMin(int v);
  void SetMax(int v);
  void SetSmallChange(int v);  // 1..32767 else 380
  void SetLargeChange(int v);
  // Outside Min..Max: 380.  Raises Change only when the value changes.
  void SetValue(int v);

  Event<> Change;
  Event<> Scroll;

  bool CanFocus() const override { return true; }
  // The user moved the bar (arrow, page or thumb released): Change.
  void UserSetValue(int v);
  // The user is dragging the thumb: Scroll with the new value.
  void UserDragThumb(int v);
  bool SetDesignProperty(const std::string& key, const std::string& value) override;
  void CopyDesignFrom(const Control& model) override;

 private:
  int Clamp(int v) const;
  int min_ = 0, max_ = 32767, smallChange_ = 1, largeChange_ = 1, value_ = 0;
};

// The Image control used as a picture button.
class Image : public Control {
 public:
  static constexpr const char* kTypeName = "Image";
  Image(Form& f, std::string name, int index = -1);

  const StdPicture& Picture() const { return picture_; }
  void SetPicture(StdPicture p);
  bool Stretch() const { return stretch_; }
  void SetStretch(bool v);
  int BorderStyle() const { return borderStyle_; }

  bool SetDesignProperty(const std::string& key, const std::string& value) override;
  void CopyDesignFrom(const Control& model) override;
  void ReleaseResources() override { picture_ = {}; }

 private:
  StdPicture picture_;
  bool stretch_ = false;
  int borderStyle_ = 0;
};

class Frame : public Control {
 public:
  static constexpr const char* kTypeName = "Frame";
  Frame(Form& f, std::string name, int index = -1);

  const std::string& Caption() const { return caption_; }
  void SetCaption(std::string c);
  int BorderStyle() const { return borderStyle_; }

  bool IsContainer() const override { return true; }
  bool SetDesignProperty(const std::string& key, const std::string& value) override;
  void CopyDesignFrom(const Control& model) override;

 private:
  std::string caption_;
  int borderStyle_ = 1;
};

class Line : public Control {
 public:
  static constexpr const char* kTypeName = "Line";
  Line(Form& f, std::string name, int index = -1);

  int X1() const { return x1_; }
  int Y1() const { return y1_; }
  int X2() const { return x2_; }
  int Y2() const { return y2_; }
  void SetEnds(int x1, int y1, int x2, int y2);
  OleColor BorderColor() const { return borderColor_; }
  int BorderWidth() const { return borderWidth_; }
  int BorderStyle() const { return borderStyle_; }

  // Move() sets the bounding box: the line keeps its direction inside it.
  void Move(int left, int top, int width, int height) override;
  bool SetDesignProperty(const std::string& key, const std::string& value) override;
  void CopyDesignFrom(const Control& model) override;

 private:
  void SyncBox();
  int x1_ = 0, y1_ = 0, x2_ = 0, y2_ = 0;
  OleColor borderColor_ = vbWindowText;
  int borderWidth_ = 1;
  int borderStyle_ = 1;
};

// A menu title or entry.  Container() is the parent menu (nullptr for a title
// on the menu bar); a Caption of "-" is a separator line.  Entries keep the
// order in which they were created (the layout's order).
class Menu : public Control {
 public:
  static constexpr const char* kTypeName = "Menu";
  Menu(Form& f, std::string name, int index = -1);

  const std::string& Caption() const { return caption_; }
  void SetCaption(std::string c);
  bool IsSeparator() const { return caption_ == "-"; }
  bool Checked() const { return checked_; }
  void SetChecked(bool v);
  // "^R", "{F1}" ... as VB's menu editor writes them; "" for none.
  const std::string& Shortcut() const { return shortcut_; }
  // The entries whose Container() is this menu, in creation order.
  std::vector<Menu*> Items() const;

  bool IsContainer() const override { return true; }
  void UserClick() override;  // only when enabled and not a separator
  bool SetDesignProperty(const std::string& key, const std::string& value) override;
  void CopyDesignFrom(const Control& model) override;

 private:
  std::string caption_;
  bool checked_ = false;
  std::string shortcut_;
};

}  // namespace forms
