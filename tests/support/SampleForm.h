#pragma once
// A window built from tests/support/sample.layout with one control of every
// kind.  Its handlers append what happened to `log`, so tests (headless and Qt)
// can check which events ran, in which order.

#include <string>
#include <vector>

#include "platform/forms/App.h"
#include "platform/forms/Control.h"
#include "platform/forms/ControlArray.h"
#include "platform/forms/Controls.h"
#include "platform/forms/DatePicker.h"
#include "platform/forms/Drag.h"
#include "platform/forms/FileControls.h"
#include "platform/forms/Form.h"
#include "platform/forms/Gear.h"
#include "platform/forms/ListControls.h"
#include "platform/forms/Picture.h"
#include "platform/forms/TabControl.h"
#include "platform/forms/TextBox.h"

class SampleForm : public forms::Form {
 public:
  SampleForm();

  forms::ControlArray<forms::Menu> mnuFile_Entry{*this, "mnuFile_Entry"};
  forms::Menu mnuFile{*this, "mnuFile"};
  forms::Label lblTitle{*this, "lblTitle"};
  forms::TextBox txtName{*this, "txtName"};
  forms::TextBox txtDDE{*this, "txtDDE"};
  forms::ControlArray<forms::ComboBox> cboGeneral{*this, "cboGeneral"};
  forms::ListBox lstFavorites{*this, "lstFavorites"};
  forms::FileListBox filCapture{*this, "filCapture"};
  forms::DriveListBox drvFind{*this, "drvFind"};
  forms::DirListBox dirFind{*this, "dirFind"};
  forms::Frame fraScreen{*this, "fraScreen"};
  forms::ControlArray<forms::OptionButton> optScreen{*this, "optScreen"};
  forms::CheckBox ckbPicPreview{*this, "ckbPicPreview"};
  forms::HScrollBar hsbquality{*this, "hsbquality"};
  forms::CommandButton cmdOK{*this, "cmdOK"};
  forms::CommandButton cmdCancel{*this, "cmdCancel"};
  forms::Image imaTrash{*this, "imaTrash"};
  forms::ControlArray<forms::Image> imaDragDrop{*this, "imaDragDrop"};
  forms::Line linSep{*this, "linSep"};
  forms::DatePicker DTPicker1{*this, "DTPicker1"};
  forms::ControlArray<forms::Gear> GeaThumb{*this, "GeaThumb"};
  forms::TabControl TabComp{*this, "TabComp"};
  forms::ControlArray<forms::Gear> imaComp{*this, "imaComp"};

  std::vector<std::string> log;
  // When set, Form_QueryUnload refuses the close.
  bool refuseClose = false;
  // The modal dialog opened by cmdOK (see SampleDialog).
  std::string dialogResult;

 protected:
  void Form_Load() override { log.push_back("Form_Load"); }
  void Form_Resize() override { log.push_back("Form_Resize"); }
  void Form_Activate() override { log.push_back("Form_Activate"); }
  void Form_QueryUnload(int& Cancel, int UnloadMode) override;
  void Form_Unload(int& Cancel) override;
  void Form_KeyDown(int& KeyCode, int Shift) override;

 private:
  void Log(std::string s) { log.push_back(std::move(s)); }
  void GeaThumb_MouseDown(int Index, int Button);
  void GeaThumb_DragOver(int Index, forms::Control& Source, int State);
  void GeaThumb_DragDrop(int Index, forms::Control& Source);
  void imaComp_DragDrop(int Index, forms::Control& Source);
  void cmdOK_Click();
};

// A small dialog without a layout file: a text box and two buttons.
class SampleDialog : public forms::Form {
 public:
  SampleDialog();
  forms::TextBox txtAnswer{*this, "txtAnswer"};
  forms::CommandButton cmdDone{*this, "cmdDone"};
  std::string answer;

 protected:
  void Form_Load() override;
  void Form_Unload(int& Cancel) override;
};
