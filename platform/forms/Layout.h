#pragma once
// Window layouts as data: resources/layouts/<form>.layout.
//
// Format (UTF-8 text, one statement per line; blank lines and lines starting
// with "#" or "'" are ignored; indentation is free):
//
//   Form frmMain                        # first block: the form's own properties
//     Caption = "Velmora"
//     Width = 15360
//   Control Frame fraButtons            # Control <Type> <Name>[(<Index>)]
//     Left = 120                        # Property = Value
//     Caption = "Buttons"
//   Control TabControl TabComp
//     Tabs = 3
//     TabCaption(0) = "Comps 1-3"
//   Control Gear imaComp(1)
//     Parent = TabComp:0                # container: a Frame, a tab page "Tab:page", a Menu
//   Control ListBox lstHow2
//     List = "first line"               # List lines append entries
//     List = "second line"
//
// Values: a number (-12, 8.25, &H8000000F& or &HFF for colours), True/False, or
// a text in double quotes where "" stands for one quote (backslashes are plain
// characters, so Windows paths need no escapes).  Picture properties (Picture,
// Icon, DragIcon) name a file under the resources folder ("buttons/ok.bmp").
// Types: Label TextBox ComboBox ListBox FileListBox DirListBox DriveListBox
// CheckBox OptionButton HScrollBar CommandButton Image Frame Line Menu
// TabControl DatePicker Gear.  Common properties: Left Top Width Height Visible
// Enabled ToolTipText Tag TabIndex TabStop FontName FontSize FontBold
// FontItalic FontUnderline BackColor ForeColor MousePointer DragMode DragIcon
// Parent; each type adds its own (see its SetDesignProperty).
//
// The window class declares its controls by name (members constructed with
// the form and the name; arrays as ControlArray<T>); the loader finds them,
// creates array elements, and sets their properties.  A name the class does
// not declare, a type that differs from the declaration, an unknown property,
// a bad value, a parent that is not a container or not yet defined: each is an
// error naming the file and the line.

#include <filesystem>
#include <istream>
#include <string>

#include "platform/vbrt/VbError.h"

namespace forms {

class Form;

// Raised for a missing layout (53, "cannot open <file>") or a malformed one
// (321 "Invalid file format"): the description reads "<file>:<line>: <what>".
class LayoutError : public vb::VbError {
 public:
  LayoutError(int number, std::string file, int line, const std::string& what);
  const std::string& File() const { return file_; }
  int Line() const { return line_; }

 private:
  std::string file_;
  int line_;
};

// resources/layouts/<name>.layout, or the file itself when name is a full path.
std::filesystem::path LayoutPath(const std::string& name);

void LoadLayoutFile(Form& form, const std::filesystem::path& file);
// label names the source in errors.
void LoadLayout(Form& form, std::istream& in, const std::string& label);

}  // namespace forms
