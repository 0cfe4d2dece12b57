#pragma once
// The main window brought up headless on a throw-away prefix, with the kep stand-in running as
// a separate process, for tests that work with the thumbnail strip, the slots and the trash:
// real JPEG files of a chosen size, the settings written into VELMORA.INI, drags through the
// DragDriver, and the stand-in's log of what it was asked.

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/mount.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "core/modVelmod.h"
#include "photo_pages/frmMain.h"
#include "platform/forms/App.h"
#include "platform/forms/Drag.h"
#include "platform/forms/HeadlessApp.h"
#include "platform/imaging/Imaging.h"
#include "platform/winfs/WinFs.h"
#include "tests/integration/KepProcess.h"
#include "tests/support/TempPrefix.h"

namespace harness {

namespace fs = std::filesystem;

inline const fs::path kData = fs::path(VELMORA_SOURCE_DIR) / "tests" / "integration" / "data";
inline constexpr const char* kReportName = R"(C:\KEPDATA\REPORTS\1427MAPLE.ZAP)";
inline constexpr const char* kPhotos = R"(C:\KEPDATA\PHOTOS\1427MAPLE\)";
inline constexpr const char* kForms =
    "UA5,SUBPHOTO,UA5XCMP,PH3CMP1,PH3CMP2,PH3CMP3,ALTPH1,PH3G01,PH3G02,PH3LST1,PH3REO1,"
    "PH3RNT1,PH3RNT2,PHT3501,PHT3502,";

inline std::string Slurp(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

// A small tmpfs mounted over a folder for the life of the object (a full disk); Mounted() is
// false where the test may not mount.
class FullDisk {
 public:
  FullDisk(const fs::path& folder, const std::string& size) : folder_(folder) {
    fs::create_directories(folder);
    mounted_ = ::mount("tmpfs", folder.c_str(), "tmpfs", 0, ("size=" + size).c_str()) == 0;
  }
  ~FullDisk() {
    if (mounted_) ::umount2(folder_.c_str(), MNT_DETACH);
  }
  FullDisk(const FullDisk&) = delete;
  FullDisk& operator=(const FullDisk&) = delete;
  bool Mounted() const { return mounted_; }

 private:
  fs::path folder_;
  bool mounted_ = false;
};

class MainWindowHarness : public ::testing::Test {
 protected:
  void SetUp() override {
    core::ResetGlobals();
    winfs::SetCommandLine("");
    dde_dir_ = prefix_.Root() / "dde";
    ::setenv("VELMORA_DDE_DIR", dde_dir_.c_str(), 1);
    app_.SetPath("C:\\Velmora");
    const std::string photo = Slurp(kData / "photo.jpg");
    prefix_.WriteFile("C:\\APPRAISE\\KEP.INI", Slurp(kData / "KEP.INI"));
    prefix_.WriteFile("C:\\Velmora\\velmod.dat", Slurp(kData / "velmod.dat"));
    prefix_.WriteFile("C:\\Velmora\\empty.jpg", photo);
    prefix_.MakeDir("C:\\Velmora\\User");
    prefix_.MakeDir("C:\\GLENVUE");
    for (const char* name : {"SUB_1_3X5.JPG", "CMP_1_3X5.JPG"}) {
      prefix_.WriteFile(std::string(kPhotos) + name, photo);
    }
    WriteIni("");
  }
  void TearDown() override {
    if (forms::DragDriver::Instance().Active()) forms::DragDriver::Instance().Cancel();
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

  // VELMORA.INI with extra [PREFERENCES] lines ("REDUX=0\r\nQUALITY=100\r\n").
  void WriteIni(const std::string& preferences) {
    prefix_.WriteFile("C:\\APPRAISE\\VELMORA.INI",
                      "[PRODUCT INFO]\r\nCOMPANY NAME=Ostrel, Inc.\r\n"
                      "[DIRECTORIES]\r\nAPPDIR=C:\\Velmora\r\nUSERDIR=C:\\Velmora\\User\r\n"
                      "CAPTUREDIR=C:\\GLENVUE\r\n"
                      "[PREFERENCES]\r\nSCREENSIZE=0\r\n" +
                          preferences);
  }

  // A real JPEG (or BMP) picture of w x h pixels; returns its host path.
  fs::path WritePicture(const std::string& winPath, int w, int h, std::uint32_t colour = 0) {
    const fs::path host = prefix_.WriteFile(winPath, "");
    std::vector<std::uint32_t> px(static_cast<std::size_t>(w) * static_cast<std::size_t>(h));
    for (std::size_t i = 0; i < px.size(); ++i) {
      px[i] = colour != 0 ? colour : 0xFF000000u | static_cast<std::uint32_t>(i * 2654435761u);
    }
    const auto pic = imaging::Picture::FromPixels(w, h, std::move(px));
    if (winPath.size() > 4 && (winPath.substr(winPath.size() - 4) == ".BMP" ||
                               winPath.substr(winPath.size() - 4) == ".bmp")) {
      imaging::SaveBmp(pic, host);
    } else {
      imaging::SaveJpeg(pic, host, 90);
    }
    return host;
  }

  // The stand-in with the test report: CMP_1 holds a picture of the report's own folder.
  void StartKep() {
    const fs::path file = prefix_.Root() / "report.rpt";
    std::ofstream(file) << "[report]\nname=" << kReportName << "\nuserid=KMARLOW\nforms=" << kForms
                        << "\nstore=C:\\KEPDATA\\PHOTOS\\1427MAPLE\n"
                        << "[fields]\n"
                           "UA5|SUBADDR|1=1427 Maple Court\n"
                           "UA5|CMPADDR|10=1502 Maple Court\n"
                        << "[images]\n"
                        << "SUB_1_3X5=" << kPhotos << "SUB_1_3X5.JPG\n"
                        << "CMP_1_3X5=" << kPhotos << "CMP_1_3X5.JPG\n";
    log_ = prefix_.Root() / "kep.log";
    kep_ = std::make_unique<KepProcess>(
        dde_dir_, std::vector<std::string>{"--prefix", prefix_.Prefix().string(), "--log",
                                           log_.string(), file.string()});
  }

  // Loads the main window; false when the program ended during start-up.
  bool Start() {
    form_ = std::make_unique<photo_pages::frmMain>();
    try {
      form_->Load();
    } catch (const forms::ProgramEnded&) {
      return false;
    }
    return true;
  }
  photo_pages::frmMain& Form() { return *form_; }

  // Presses the left button on `source` (which starts its drag) and drops it on `target`.
  void DragAndDrop(forms::Control& source, forms::Control& target) {
    source.UserMouseDown(forms::vbLeftButton, 0, 30, 30);
    auto& d = forms::DragDriver::Instance();
    ASSERT_TRUE(d.Active()) << source.Name() << " started no drag";
    d.MoveOver(&target, 60, 60);
    d.Drop(60, 60);
  }

  // The SetImage macros the stand-in executed (it is stopped first).
  std::vector<std::string> SetImages() {
    kep_->Stop();
    std::vector<std::string> out;
    for (auto& l : ReadLines(log_)) {
      if (l.find("SetImage") != std::string::npos) out.push_back(l);
    }
    return out;
  }

  bool Exists(const std::string& winPath) const { return winfs::FileExists(winPath); }
  imaging::PictureInfo Size(const std::string& winPath) const {
    return imaging::Probe(winfs::ToHost(winPath));
  }
  std::string Boxes() const {
    std::string out;
    for (const auto& b : app_.Boxes()) out += "[" + b.title + ": " + b.prompt + "] ";
    return out;
  }

  TempPrefix prefix_;
  forms::HeadlessApp app_;
  fs::path dde_dir_;
  fs::path log_;
  std::unique_ptr<KepProcess> kep_;
  std::unique_ptr<photo_pages::frmMain> form_;
};

}  // namespace harness
