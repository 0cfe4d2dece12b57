#pragma once
// The main window brought up headless on a throw-away prefix, with the kep stand-in running as
// a separate process: the program's files, VELMORA.INI, the capture directory (camera pictures
// or real JPEG files of a chosen size), the report the stand-in holds open and its log of what
// it was asked, and drags through the DragDriver.

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

namespace mainwindow {

namespace fs = std::filesystem;

inline const fs::path kData = fs::path(VELMORA_SOURCE_DIR) / "tests" / "integration" / "data";
inline constexpr const char* kForms =
    "UA5,SUBPHOTO,UA5XCMP,PH3CMP1,PH3CMP2,PH3CMP3,ALTPH1,PH3G01,PH3G02,PH3LST1,PH3REO1,"
    "PH3RNT1,PH3RNT2,PHT3501,PHT3502,";
// The 1427 Maple Court report (the default) and its picture folder.
inline constexpr const char* kReportName = R"(C:\KEPDATA\REPORTS\1427MAPLE.ZAP)";
inline constexpr const char* kPhotos = R"(C:\KEPDATA\PHOTOS\1427MAPLE\)";
// The 22 Oak Lane report and its picture folder.
inline constexpr const char* kReport = R"(C:\KEPDATA\REPORTS\22OAK.ZAP)";
inline constexpr const char* kStore = R"(C:\KEPDATA\PHOTOS\22OAK\)";

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

// The report the stand-in holds open.
struct Report {
  std::string name;
  std::string store;                  // its picture folder, ending in "\"
  std::vector<std::string> fields;    // "FORM|FIELD|n=value"
  std::vector<std::string> pictures;  // image names whose picture is <store><name>.JPG
  std::vector<std::string> images;    // further "IMAGE=picture" lines
  std::string forms = kForms;
};

inline Report MapleReport() {
  return {kReportName,
          kPhotos,
          {"UA5|SUBADDR|1=1427 Maple Court", "UA5|CMPADDR|10=1502 Maple Court"},
          {"SUB_1_3X5", "CMP_1_3X5"},
          {}};
}

inline Report OakReport() {
  return {kReport,
          kStore,
          {"UA5|SUBADDR|1=22 Oak Lane", "UA5|CMPADDR|10=30 Oak Lane", "PH3G01|GENCAP|2=Front",
           "PHT3501|XPTEXT|2=22 Oak Lane%0D%0AGarden"},
          {"SUB_1_3X5", "CMP_1_3X5", "GN_2_3X5", "XP_2_3X5"},
          {}};
}

class MainWindowFixture : public ::testing::Test {
 protected:
  // The program installed, an empty capture directory, VELMORA.INI with preset 0 and the Maple
  // report for the stand-in.
  void SetUp() override {
    core::ResetGlobals();
    winfs::SetCommandLine("");
    dde_dir_ = prefix_.Root() / "dde";
    ::setenv("VELMORA_DDE_DIR", dde_dir_.c_str(), 1);
    app_.SetPath("C:\\Velmora");
    prefix_.WriteFile("C:\\APPRAISE\\KEP.INI", Slurp(kData / "KEP.INI"));
    prefix_.WriteFile("C:\\Velmora\\velmod.dat", Slurp(kData / "velmod.dat"));
    prefix_.WriteFile("C:\\Velmora\\empty.jpg", Slurp(kData / "photo.jpg"));
    prefix_.MakeDir("C:\\Velmora\\User");
    prefix_.MakeDir("C:\\GLENVUE");
    WriteIni("SCREENSIZE=0\r\n");
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

  // The setting of the caption, drop and button tests: preset 2, trash and auto-delete on, two
  // general views, three camera pictures, and the Oak Lane report.
  void UseOakLane() {
    WriteIni("SCREENSIZE=2\r\nTRASHCAN=1\r\nAUTODELETE=1\r\n",
             "GENERALVIEW1=Street Scene\r\nGENERALVIEW2=Kitchen\r\n");
    FillCapture();
    report_ = OakReport();
  }

  // VELMORA.INI: `preferences` lines under [PREFERENCES], `views` under [GENERAL VIEWS].
  void WriteIni(const std::string& preferences, const std::string& views = "",
                const std::string& captureDir = "C:\\GLENVUE") {
    prefix_.WriteFile("C:\\APPRAISE\\VELMORA.INI",
                      "[PRODUCT INFO]\r\nCOMPANY NAME=Ostrel, Inc.\r\n"
                      "[DIRECTORIES]\r\nAPPDIR=C:\\Velmora\r\nUSERDIR=C:\\Velmora\\User\r\n"
                      "CAPTUREDIR=" +
                          captureDir + "\r\n[PREFERENCES]\r\n" + preferences +
                          (views.empty() ? std::string() : "[GENERAL VIEWS]\r\n" + views));
  }
  // The settings file as it stands now.
  std::string Ini() const { return Slurp(prefix_.Host("C:\\APPRAISE\\VELMORA.INI")); }

  // IMG_0001.JPG .. IMG_0003.JPG, the same camera picture, in the capture directory.
  void FillCapture() {
    const std::string photo = Slurp(kData / "photo.jpg");
    for (const char* name : {"IMG_0001.JPG", "IMG_0002.JPG", "IMG_0003.JPG"}) {
      prefix_.WriteFile(std::string("C:\\GLENVUE\\") + name, photo);
    }
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

  // The stand-in's report file; the report's pictures are put in its store folder.
  fs::path WriteReport(const Report& report) {
    const std::string photo = Slurp(kData / "photo.jpg");
    std::ostringstream text;
    text << "[report]\nname=" << report.name << "\nuserid=KMARLOW\nforms=" << report.forms
         << "\nstore=" << report.store.substr(0, report.store.size() - 1) << "\n[fields]\n";
    for (const auto& field : report.fields) text << field << "\n";
    text << "[images]\n";
    for (const auto& image : report.pictures) {
      const std::string picture = report.store + image + ".JPG";
      text << image << "=" << picture << "\n";
      if (!winfs::FileExists(picture)) prefix_.WriteFile(picture, photo);
    }
    for (const auto& line : report.images) text << line << "\n";
    const fs::path file = prefix_.Root() / "report.rpt";
    std::ofstream(file) << text.str();
    return file;
  }

  // The stand-in with report_ open, or with the report file given.
  void StartKep() { StartKep(WriteReport(report_)); }
  void StartKep(const fs::path& reportFile) {
    kep_ = std::make_unique<KepProcess>(
        dde_dir_,
        std::vector<std::string>{"--prefix", prefix_.Prefix().string(), "--log", LogFile().string(),
                                 reportFile.string()},
        kep_launcher_);
  }
  void StartKepWithoutReport() {
    kep_ = std::make_unique<KepProcess>(
        dde_dir_, std::vector<std::string>{"--prefix", prefix_.Prefix().string(), "--none"},
        kep_launcher_);
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
  // Loads the window as the renderer would show it: the first resizer notice ends the loading
  // state, and the boxes of start-up are forgotten.
  bool StartShown() {
    if (!Start()) return false;
    form_->RXResizer1_Resized();
    app_.ClearBoxes();
    return true;
  }
  void Close() { form_->Unload(forms::vbFormControlMenu); }
  photo_pages::frmMain& f() { return *form_; }
  photo_pages::frmMain& Form() { return *form_; }

  // Presses the left button on `source` (which starts its drag) and drops it on `target`.
  void DragAndDrop(forms::Control& source, forms::Control& target) {
    source.UserMouseDown(forms::vbLeftButton, 0, 10, 10);
    auto& d = forms::DragDriver::Instance();
    ASSERT_TRUE(d.Active()) << source.Name() << " started no drag";
    d.MoveOver(&target, 40, 40);
    d.MoveOver(&target, 50, 40);
    d.Drop(50, 40);
  }

  fs::path LogFile() const { return prefix_.Root() / "kep.log"; }
  // The lines of the stand-in's log that begin with `kind` ("POKE", "EXECUTE" ...).
  std::vector<std::string> Log(const std::string& kind) const {
    std::vector<std::string> out;
    for (const auto& line : ReadLines(LogFile())) {
      if (line.rfind(kind, 0) == 0) out.push_back(line);
    }
    return out;
  }
  // The SetImage macros the stand-in executed.
  std::vector<std::string> SetImages() const {
    std::vector<std::string> out;
    for (const auto& line : Log("EXECUTE")) {
      if (line.find("SetImage") != std::string::npos) out.push_back(line);
    }
    return out;
  }
  // The log line of a poke into report_.
  std::string Poke(const std::string& item, const std::string& data,
                   const std::string& result = "OK") const {
    std::string topic;
    for (const char c : report_.name) topic += c == '\\' ? std::string(2, c) : std::string(1, c);
    return R"(POKE topic=")" + topic + R"(" item=")" + item + R"(" data=")" + data + R"(" -> )" +
           result;
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
  bool HasBox(const std::string& title) const {
    for (const auto& b : app_.Boxes()) {
      if (b.title == title) return true;
    }
    return false;
  }

  TempPrefix prefix_;
  forms::HeadlessApp app_;
  fs::path dde_dir_;
  Report report_ = MapleReport();
  std::unique_ptr<KepProcess> kep_;
  std::vector<std::string> kep_launcher_;  // empty: the kep stand-in; else how to run kep.exe
  std::unique_ptr<photo_pages::frmMain> form_;
};

}  // namespace mainwindow
