#pragma once
// The main window brought up headless once per fuzz run, on a throw-away prefix, beside a KEP
// that runs in this process and answers what the fuzz input tells it.  Each input then runs the
// report refresh, the road on which the program reads the reference data file and KEP's replies.

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "core/modVelmod.h"
#include "photo_pages/frmMain.h"
#include "platform/dde/Server.h"
#include "platform/forms/App.h"
#include "platform/forms/HeadlessApp.h"
#include "platform/imaging/Imaging.h"
#include "platform/winfs/WinFs.h"

namespace fuzz {

namespace fs = std::filesystem;

inline const fs::path kData = fs::path(VELMORA_SOURCE_DIR) / "tests" / "integration" / "data";
inline constexpr const char* kReportName = R"(C:\KEPDATA\REPORTS\FUZZ.ZAP)";
inline constexpr const char* kForms = "UA5,SUBPHOTO,UA5XCMP,PH3CMP1,PH3G01,PHT3501,";

inline std::string Slurp(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

// A KEP with one report open: every field holds an address, "IMAGES" answers images().
class FuzzKep : public dde::Handler {
 public:
  void SetImages(std::string reply) {
    std::lock_guard<std::mutex> lock(mutex_);
    images_ = std::move(reply);
  }

  dde::Answer Connect(const dde::Conversation&) override { return dde::Answer::Ok(); }
  dde::Answer Request(const dde::Conversation&, const std::string& item) override {
    const std::string upper = Upper(item);
    if (upper == "ACTIVEREPORTS") return dde::Answer::Ok(std::string(kReportName) + ",");
    if (upper == "LISTFORMS") return dde::Answer::Ok(kForms);
    if (upper == "USERID") return dde::Answer::Ok("FUZZ");
    if (upper == "IMAGES") {
      std::lock_guard<std::mutex> lock(mutex_);
      return dde::Answer::Ok(images_);
    }
    return dde::Answer::Ok("12 Fuzz Lane");
  }
  dde::Answer Execute(const dde::Conversation&, const std::string&) override {
    return dde::Answer::Ok();
  }
  dde::Answer Poke(const dde::Conversation&, const std::string&, const std::string&) override {
    return dde::Answer::Ok();
  }

 private:
  static std::string Upper(std::string s) {
    for (char& c : s) c = static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
    return s;
  }
  std::mutex mutex_;
  std::string images_ = R"(SUB_1_3X5|C:\Velmora\empty.jpg;)";
};

class MainWindowHarness {
 public:
  MainWindowHarness()
      : root_(fs::temp_directory_path() / ("velmora-fuzz-" + std::to_string(::getpid()))) {
    fs::remove_all(root_);
    ::setenv("VELMORA_DDE_DIR", (root_ / "dde").c_str(), 1);
    winfs::CreatePrefix(root_ / "prefix");
    winfs::UsePrefix(root_ / "prefix");
    core::ResetGlobals();
    winfs::SetCommandLine("");
    app_.SetPath("C:\\Velmora");
    Write("C:\\APPRAISE\\KEP.INI", Slurp(kData / "KEP.INI"));
    Write("C:\\Velmora\\velmod.dat", Slurp(kData / "velmod.dat"));
    // Small pictures: every slot the refresh clears shows the placeholder.
    TinyPicture("C:\\Velmora\\empty.jpg");
    TinyPicture("C:\\GLENVUE\\IMG_0001.JPG");
    fs::create_directories(winfs::ToHost("C:\\Velmora\\User"));
    Write("C:\\APPRAISE\\VELMORA.INI",
          "[DIRECTORIES]\r\nAPPDIR=C:\\Velmora\r\nUSERDIR=C:\\Velmora\\User\r\n"
          "CAPTUREDIR=C:\\GLENVUE\r\n[PREFERENCES]\r\nSCREENSIZE=0\r\n");
    server_ = std::make_unique<dde::Server>("KEP", kep_);
    thread_ = std::thread([this] { server_->Run(); });
    form_ = std::make_unique<photo_pages::frmMain>();
    form_->Load();
    form_->RXResizer1_Resized();
  }
  ~MainWindowHarness() {
    server_->Stop();
    thread_.join();
    std::error_code ec;
    fs::remove_all(root_, ec);
  }

  // The report refresh as the KEP button runs it, with the reference data read afresh.
  // A file the program cannot use ends it, as it should; the window stays for the next input.
  void Refresh() {
    form_->lstAddr.Clear();
    try {
      form_->RefreshReport(false);
    } catch (const forms::ProgramEnded&) {
      app_.ResetEnded();
    }
    app_.ClearBoxes();
  }
  void Write(const std::string& winPath, const std::string& bytes) {
    const fs::path host = winfs::ToHost(winPath);
    fs::create_directories(host.parent_path());
    std::ofstream(host, std::ios::binary | std::ios::trunc) << bytes;
  }
  void TinyPicture(const std::string& winPath) {
    Write(winPath, "");
    imaging::SaveJpeg(
        imaging::Picture::FromPixels(8, 6, std::vector<std::uint32_t>(48, 0xFF808080)),
        winfs::ToHost(winPath), 80);
  }
  FuzzKep& Kep() { return kep_; }
  photo_pages::frmMain& Form() { return *form_; }

 private:
  fs::path root_;
  forms::HeadlessApp app_;
  FuzzKep kep_;
  std::unique_ptr<dde::Server> server_;
  std::thread thread_;
  std::unique_ptr<photo_pages::frmMain> form_;
};

inline MainWindowHarness& Harness() {
  static MainWindowHarness harness;
  return harness;
}

}  // namespace fuzz
