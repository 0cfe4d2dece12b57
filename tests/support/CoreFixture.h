#pragma once
// Test fixture for the core services: a throw-away prefix (C: and C:\WINDOWS), the headless App
// (scripted message boxes), an empty command line, and every program-wide variable at its start
// value before and after each test.  Header only: it is used by executables that link vel_core.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "core/modVelmod.h"
#include "platform/forms/HeadlessApp.h"
#include "platform/winfs/WinFs.h"
#include "tests/support/TempPrefix.h"

class CoreFixture : public ::testing::Test {
 protected:
  CoreFixture() {
    core::ResetGlobals();
    winfs::SetCommandLine("");
    app.SetPath("C:\\Velmora");
  }
  ~CoreFixture() override {
    core::ResetGlobals();
    winfs::SetCommandLine("");
  }

  // The bytes of a file by Windows path ("" when it cannot be read).
  std::string ReadFile(const std::string& winPath) const {
    std::ifstream in(prefix.Host(winPath), std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
  }

  // The prompts of the message boxes shown so far, in order.
  std::vector<std::string> Prompts() const {
    std::vector<std::string> out;
    for (const auto& b : app.Boxes()) out.push_back(b.prompt);
    return out;
  }

  // Gives drive C: a volume label, so that the platform reports one.
  void LabelDriveC(const std::string& label = "SYSTEM") {
    prefix.WriteFile("C:\\.windows-label", label + "\n");
  }

  TempPrefix prefix;
  forms::HeadlessApp app;
};
