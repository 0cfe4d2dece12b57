#pragma once
// The main window brought up headless on a throw-away prefix against the kep stand-in, for the
// tests of its slots, captions, tabs, buttons and menus.  The report has comparables, a
// listing, rentals, general pages 1 and 2 and extended pages 1 and 2.

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "core/modVelmod.h"
#include "photo_pages/frmMain.h"
#include "platform/forms/App.h"
#include "platform/forms/HeadlessApp.h"
#include "platform/winfs/WinFs.h"
#include "tests/integration/KepProcess.h"
#include "tests/support/TempPrefix.h"

namespace mainwindow {

namespace fs = std::filesystem;

inline const fs::path kData = fs::path(VELMORA_SOURCE_DIR) / "tests" / "integration" / "data";
inline constexpr const char* kReport = R"(C:\KEPDATA\REPORTS\22OAK.ZAP)";
inline constexpr const char* kStore = R"(C:\KEPDATA\PHOTOS\22OAK\)";
inline constexpr const char* kForms =
    "UA5,SUBPHOTO,UA5XCMP,PH3CMP1,PH3CMP2,PH3CMP3,ALTPH1,PH3G01,PH3G02,PH3LST1,PH3REO1,"
    "PH3RNT1,PH3RNT2,PHT3501,PHT3502,";

inline std::string Slurp(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

class MainWindowFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    core::ResetGlobals();
    winfs::SetCommandLine("");
    ddeDir_ = prefix_.Root() / "dde";
    ::setenv("VELMORA_DDE_DIR", ddeDir_.c_str(), 1);
    app_.SetPath("C:\\Velmora");
    const std::string photo = Slurp(kData / "photo.jpg");
    prefix_.WriteFile("C:\\APPRAISE\\VELMORA.INI", Ini());
    prefix_.WriteFile("C:\\APPRAISE\\KEP.INI", Slurp(kData / "KEP.INI"));
    prefix_.WriteFile("C:\\Velmora\\velmod.dat", Slurp(kData / "velmod.dat"));
    prefix_.WriteFile("C:\\Velmora\\empty.jpg", photo);
    prefix_.MakeDir("C:\\Velmora\\User");
    for (const char* name : {"IMG_0001.JPG", "IMG_0002.JPG", "IMG_0003.JPG"}) {
      prefix_.WriteFile(std::string("C:\\GLENVUE\\") + name, photo);
    }
    for (const char* name : {"SUB_1_3X5.JPG", "CMP_1_3X5.JPG", "GN_2_3X5.JPG", "XP_2_3X5.JPG"}) {
      prefix_.WriteFile(std::string(kStore) + name, photo);
    }
  }
  void TearDown() override {
    if (form_ && form_->Loaded() && !app_.Ended()) {
      try {
        form_->Unload();
      } catch (const forms::ProgramEnded&) {
      }
    }
    form_.reset();
    kep_.reset();
    ::unsetenv("VELMORA_DDE_DIR");
    core::ResetGlobals();
  }

  virtual std::string Ini() const {
    return "[PRODUCT INFO]\r\nCOMPANY NAME=Ostrel, Inc.\r\n"
           "[DIRECTORIES]\r\nAPPDIR=C:\\Velmora\r\nUSERDIR=C:\\Velmora\\User\r\n"
           "CAPTUREDIR=C:\\GLENVUE\r\n"
           "[PREFERENCES]\r\nSCREENSIZE=2\r\nTRASHCAN=1\r\nAUTODELETE=1\r\n"
           "[GENERAL VIEWS]\r\nGENERALVIEW1=Street Scene\r\nGENERALVIEW2=Kitchen\r\n";
  }

  void StartKep() {
    const fs::path file = prefix_.Root() / "report.rpt";
    std::ofstream(file) << "[report]\nname=" << kReport << "\nuserid=KMARLOW\nforms=" << kForms
                        << "\nstore=C:\\KEPDATA\\PHOTOS\\22OAK\n"
                        << "[fields]\n"
                           "UA5|SUBADDR|1=22 Oak Lane\n"
                           "UA5|CMPADDR|10=30 Oak Lane\n"
                           "PH3G01|GENCAP|2=Front\n"
                           "PHT3501|XPTEXT|2=22 Oak Lane%0D%0AGarden\n"
                        << "[images]\n"
                        << "SUB_1_3X5=" << kStore << "SUB_1_3X5.JPG\n"
                        << "CMP_1_3X5=" << kStore << "CMP_1_3X5.JPG\n"
                        << "GN_2_3X5=" << kStore << "GN_2_3X5.JPG\n"
                        << "XP_2_3X5=" << kStore << "XP_2_3X5.JPG\n";
    kep_ = std::make_unique<KepProcess>(
        ddeDir_, std::vector<std::string>{"--prefix", prefix_.Prefix().string(), "--log",
                                          (prefix_.Root() / "kep.log").string(), file.string()});
  }

  // Loads the window as the renderer would show it (the first resizer notice ends the loading
  // state).  False when the program ended during start-up.
  bool Start() {
    form_ = std::make_unique<photo_pages::frmMain>();
    try {
      form_->Load();
    } catch (const forms::ProgramEnded&) {
      return false;
    }
    form_->RXResizer1_Resized();
    app_.ClearBoxes();
    return true;
  }

  // The lines of the stand-in's log that begin with `kind` ("POKE", "EXECUTE" ...).
  std::vector<std::string> Log(const std::string& kind) const {
    std::vector<std::string> out;
    for (const auto& line : ReadLines(prefix_.Root() / "kep.log")) {
      if (line.rfind(kind, 0) == 0) out.push_back(line);
    }
    return out;
  }
  static std::string Poke(const std::string& item, const std::string& data,
                          const std::string& result = "OK") {
    std::string topic;
    for (const char c : std::string(kReport))
      topic += c == '\\' ? std::string(2, c) : std::string(1, c);
    return R"(POKE topic=")" + topic + R"(" item=")" + item + R"(" data=")" + data + R"(" -> )" +
           result;
  }

  photo_pages::frmMain& f() { return *form_; }

  TempPrefix prefix_;
  forms::HeadlessApp app_;
  fs::path ddeDir_;
  std::unique_ptr<KepProcess> kep_;
  std::unique_ptr<photo_pages::frmMain> form_;
};

}  // namespace mainwindow
