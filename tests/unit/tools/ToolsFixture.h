#pragma once
// Fixture of the dialog tests: a throw-away prefix, the headless App, a main window without a
// layout that carries the controls the dialogs set, and the program INI file in C:\APPRAISE.

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "core/frmMainControls.h"
#include "core/modOpSys.h"
#include "core/modVelmod.h"
#include "platform/forms/FileControls.h"
#include "platform/forms/Form.h"
#include "tests/support/CoreFixture.h"

class ToolsFixture : public CoreFixture {
 protected:
  // The main window as the dialogs see it: its size, position and icon.
  class MainWindow : public core::MainFormControls {
   public:
    MainWindow() : MainFormControls("frmMain", "-") {}
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

  // The capture directory of the copy tests: C:\CAPTURE, empty.
  void UseCaptureFolder() {
    prefix.MakeDir("C:\\CAPTURE");
    core::gCaptureDir = "C:\\CAPTURE\\";
  }
  // The names of the files in C:\CAPTURE, sorted.
  std::vector<std::string> Captured() {
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(prefix.Host("C:\\CAPTURE")))
      names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }

  MainWindow main;
};
