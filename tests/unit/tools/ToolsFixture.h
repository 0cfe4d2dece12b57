#pragma once
// Fixture of the dialog tests: a throw-away prefix, the headless App, a main window without a
// layout that carries the controls the dialogs set, and the program INI file in C:\APPRAISE.

#include <string>

#include "core/frmMainControls.h"
#include "core/modOpSys.h"
#include "core/modVelmod.h"
#include "platform/forms/FileControls.h"
#include "platform/forms/Form.h"
#include "tests/support/CoreFixture.h"

class ToolsFixture : public CoreFixture {
 protected:
  // The main window as the dialogs find it: its capture label and file list by name.
  class MainWindow : public core::MainFormControls {
   public:
    MainWindow() : MainFormControls("frmMain", "-") {}
    forms::Label lblCapDir{*this, "lblCapDir"};
    forms::FileListBox filCapture{*this, "filCapture"};
  };

  ToolsFixture() {
    prefix.MakeDir("C:\\APPRAISE");
    core::gIniDir = "C:\\APPRAISE\\";
    core::gMainIniPath = "C:\\APPRAISE\\VELMORA.INI";
    main.Move(600, 300, 12000, 9000);
    core::SetMainForm(&main);
  }
  ~ToolsFixture() override {
    forms::ResetFormInstances();
    core::SetMainForm(nullptr);
  }

  std::string Ini(const std::string& section, const std::string& key) {
    return core::ReadIni(core::gMainIniPath, section, key, "<missing>");
  }
  void SetIni(const std::string& section, const std::string& key, const std::string& value) {
    core::WriteIni(core::gMainIniPath, section, key, value);
  }
  std::string IniBytes() { return ReadFile(core::gMainIniPath); }

  MainWindow main;
};
