#pragma once
// The picture ledger: a headless session beside KEP (the kep stand-in, or kep.exe under Wine
// when the fixture sets kep_launcher_) runs a few hundred random user
// actions (drops on slots, copy-back, trash, copy from a card whose names clash, compress, crop,
// cancel, bulk delete answered No, a KEP that switches report, hangs or goes away (also while the
// user answers a drop's question), read-only pictures in the user folder, a full trash, capture or
// user folder, the capture folder inside KEP's store, TRASHCAN on or off; names with two dots or
// letters beyond ASCII, a report folder with a dot, a TIFF, a report of a form type the reference
// file lacks, typed general captions).  Every picture has its own colour, so its own bytes.  After
// each action every picture's bytes seen before still lie somewhere under the capture, user or KEP
// picture folders (trash folder included) unless the user deleted every file that held them, every
// photo object of both reports names an existing file that holds the picture last dropped on it,
// and every thumbnail shows its file's picture.  With KEP answering, a typed caption is in the
// report and after a refresh every general caption box shows the report's. VELMORA_LEDGER_SEED=n
// replays one seed; a failure prints its seed and its actions.

#include <cstdlib>
#include <functional>
#include <map>
#include <random>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "core/PictureKeeper.h"
#include "core/modVelmod.h"
#include "platform/imaging/Imaging.h"
#include "platform/vbrt/Strings.h"
#include "platform/winfs/Faults.h"
#include "tests/integration/MainWindowFixture.h"
#include "tests/unit/tools/PictureFiles.h"
#include "tools/frmDelPics.h"
#include "tools/frmDouble.h"
#include "tools/frmGenView.h"
#include "tools/frmPath.h"

namespace mainwindow {

inline constexpr const char* kFront = R"(C:\KEPDATA\PHOTOS\1427MAPLE\FRONT.JPG)";

class LedgerTest : public MainWindowFixture {
 protected:
  // The seed VELMORA_LEDGER_SEED names, else `seed`.
  static unsigned Seed(unsigned seed) {
    const char* replay = std::getenv("VELMORA_LEDGER_SEED");
    return replay != nullptr ? static_cast<unsigned>(std::strtoul(replay, nullptr, 10)) : seed;
  }
  void Run(unsigned seed, int actions) {
    rng_.seed(seed);
    Prepare();
    if (HasFatalFailure()) return;
    for (int step = 0; step < actions; ++step) {
      const std::string what = Act();
      trail_ += std::to_string(step) + ": " + what + "\n";
      if (!Check()) {
        ADD_FAILURE() << "seed " << seed << " (VELMORA_LEDGER_SEED=" << seed
                      << " to replay), after step " << step << "\n"
                      << problem_ << "\nboxes: " << Boxes() << "\nactions:\n"
                      << trail_;
        return;
      }
    }
  }

 private:
  int Roll(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng_); }

  void Prepare() {
    WriteIni("SCREENSIZE=0\r\nTRASHCAN=" + std::to_string(Roll(4) ? 1 : 0) +
                 "\r\nAUTODELETE=" + std::to_string(Roll(2)) + "\r\n",
             "GENERALVIEW1=Street Scene\r\nGENERALVIEW2=Kitchen\r\n");
    for (int i = 1; i <= 6; ++i) {
      const std::string ext = i == 6 ? ".BMP" : ".JPG";
      WritePicture("C:\\GLENVUE\\IMG_000" + std::to_string(i) + ext, 64, 48, Colour());
    }
    WritePicture("C:\\GLENVUE\\house.front.jpg", 64, 48, Colour());
    WriteTiff("C:\\GLENVUE\\IMG_0007.TIF", Colour());
    WritePicture("C:\\GLENVUE\\\u0141\u00f3d\u017a.jpg", 64, 48, Colour());
    prefix_.LinkExtraDrive('E');  // the card, whose names clash with the capture folder's
    winfs::SetRemovable('E', true);
    for (int i = 1; i <= 4; ++i) {
      WritePicture("E:\\DCIM\\IMG_000" + std::to_string(i) + ".JPG", 48, 64, Colour());
    }
    WritePicture("E:\\DCIM\\house.front.jpg", 48, 64, Colour());
    Report oak = OakReport();
    oak.store = "C:\\KEPDATA\\PHOTOS\\22.OAK\\";  // a folder name with a dot
    for (const std::string& name : oak.pictures) {
      WritePicture(oak.store + name + ".JPG", 64, 48, Colour());
    }
    report_.pictures = {"CMP_1_3X5"};  // the store holds no picture that no object names
    for (const std::string& name : report_.pictures) {
      WritePicture(report_.store + name + ".JPG", 64, 48, Colour());
    }
    const int oddForm = Roll(4);  // 1: Oak, 2: Maple of a form type the reference file lacks
    if (oddForm == 1) oak.forms = "FR4" + oak.forms.substr(3);
    if (oddForm == 2) report_.forms = "FR4" + report_.forms.substr(3);
    WriteReport(oak);
    fs::rename(prefix_.Root() / "report.rpt", oak_);
    WritePicture(kFront, 80, 60, Colour());
    report_.images = {std::string("SUB_TITLE=") + kFront, std::string("SUB_1_3X5=") + kFront};
    WriteReport(report_);
    fs::rename(prefix_.Root() / "report.rpt", maple_);
    RunKep(true);
    ASSERT_TRUE(StartShown()) << Boxes();
    f().txtDDE.SetLinkTimeout(10);  // a hung KEP costs a second, not a minute
    core::gLastCopy = "E:\\DCIM\\";
    app_.SetDefaultAnswer([this](const forms::MsgBoxRecord& box) { return Answer(box); });
    app_.OnModal("frmGenView", [this](forms::Form& form) { CaptionWindow(form); });
    app_.OnModal("frmDouble", [this](forms::Form& form) { Editor(form); });
    app_.OnModal("frmPath", [](forms::Form& form) {
      auto& w = dynamic_cast<tools::frmPath&>(form);
      w.cmdSelectAll.UserClick();
      w.cmdCopy.UserClick();
    });
    app_.OnModal("frmDelPics", [](forms::Form& form) {
      auto& w = dynamic_cast<tools::frmDelPics&>(form);
      w.cmdSelectAll.UserClick();
      w.cmdDelete.UserClick();  // answered No
      w.cmdCancel.UserClick();
    });
    Check();
  }

  // A 2 x 2 TIFF of one colour.
  void WriteTiff(const std::string& winPath, std::uint32_t colour) {
    std::string bytes = TinyTiff();
    for (std::size_t i = bytes.size() - 12; i < bytes.size(); i += 3) {
      bytes[i] = static_cast<char>(colour >> 16);
      bytes[i + 1] = static_cast<char>(colour >> 8);
      bytes[i + 2] = static_cast<char>(colour);
    }
    prefix_.WriteFile(winPath, bytes);
  }

  std::uint32_t Colour() { return 0xFF000000u | static_cast<std::uint32_t>(rng_() & 0xFFFFFF); }

  // KEP with both reports open, the Maple report active (or the Oak one).
  void RunKep(bool maple, bool hung = false) {
    kep_.reset();
    hung_ = hung;
    std::vector<std::string> args{
        "--prefix",         prefix_.Prefix().string(),        "--log",
        LogFile().string(), (maple ? maple_ : oak_).string(), (maple ? oak_ : maple_).string()};
    if (hung) args.insert(args.end(), {"--hang-at", std::to_string(1 + Roll(8))});
    kep_ = std::make_unique<KepProcess>(dde_dir_, args, kep_launcher_);
  }

  int Answer(const forms::MsgBoxRecord& box) {
    const std::string& p = box.prompt;
    if (p.rfind("Overwrite ", 0) == 0 || p.rfind("Replace ", 0) == 0) {
      if (Roll(8) == 0) kep_.reset();  // KEP dies while the user answers
      return Roll(4) ? forms::vbYes : forms::vbNo;
    }
    if (p.find("Select the area to crop") != std::string::npos) return forms::vbNo;
    if (p == "Save the results?") return Roll(2) ? forms::vbYes : forms::vbNo;
    if (p.rfind("Change ", 0) == 0) return forms::vbYes;        // to or from the trash folder
    if (box.ButtonSet() == forms::vbYesNo) return forms::vbNo;  // the bulk delete among them
    if (box.ButtonSet() == forms::vbAbortRetryIgnore) return forms::vbAbort;
    return forms::AnswersFor(box.buttons)[static_cast<std::size_t>(box.DefaultButton())];
  }

  void CaptionWindow(forms::Form& form) {
    auto& w = dynamic_cast<tools::frmGenView&>(form);
    if (Roll(4) == 0) {
      w.cmdCancel.UserClick();
      return;
    }
    w.txtView.UserSetText("View " + std::to_string(Roll(9)));
    w.cmdOK.UserClick();
  }

  void Editor(forms::Form& form) {
    auto& w = dynamic_cast<tools::frmDouble&>(form);
    if (crop_) {
      w.cmdcrop.UserClick();
      w.bmpDouble.UserSelectionDone({0, 0, 1 + Roll(40), 1 + Roll(40)});
    } else {
      w.cmdCompress.UserClick();
      if (Roll(3) == 0) w.cmdCancel.UserClick();
    }
    if (w.Loaded()) w.cmdExit.UserClick();
  }

  // A thumbnail that shows a picture, or nullptr.
  forms::Gear* Thumb() {
    std::vector<forms::Gear*> shown;
    for (int i = 0; i < 12; ++i) {
      if (f().GeaThumb[i].Visible() && !f().GeaThumb[i].ThumbPath().empty()) {
        shown.push_back(&f().GeaThumb[i]);
      }
    }
    return shown.empty() ? nullptr
                         : shown[static_cast<std::size_t>(Roll(static_cast<int>(shown.size())))];
  }
  forms::Gear& Slot() {
    switch (Roll(4)) {
      case 0:
        return f().imaSubject[1 + Roll(3)];
      case 1:
        return f().imaComp[1 + Roll(3)];
      case 2:
        return f().imaGeneral[1 + Roll(3)];
      default:
        return f().imaExtended[1 + Roll(6)];
    }
  }

  std::string Act() {
    // Now and then a folder's disk fails during the action (Abort to the error's box).
    static const char* const kFailing[] = {"C:\\GLENVUE\\TRASHCAN", "C:\\GLENVUE",
                                           "C:\\Velmora\\User"};
    std::string failing;
    if (Roll(8) == 0) failing = kFailing[Roll(3)];
    winfs::InjectWriteError(failing, 61);
    app_.ClearBoxes();
    typed_ = {};
    refreshed_ = false;
    std::string what = Action();
    winfs::InjectWriteError("", 0);
    return failing.empty() ? what : what + " (" + failing + " full)";
  }

  std::string Action() {
    forms::Gear* thumb = Thumb();
    forms::Gear& slot = Slot();
    const std::string names = (thumb ? thumb->ThumbPath() : std::string("-")) + " / " +
                              slot.Name() + "(" + std::to_string(slot.Index()) + ")";
    switch (Roll(16)) {
      case 0:
      case 1:
      case 2:
        if (thumb) {
          dropped_ = Colour(thumb->ThumbPath());
          DragAndDrop(*thumb, slot);
        }
        return "drop " + names;
      case 3:
        DragAndDrop(slot, thumb && Roll(2) ? static_cast<forms::Control&>(*thumb) : f().lblFill);
        return "copy back " + names;
      case 4:
        if (thumb == nullptr) return "-";
        // A picture of the trash folder thrown away is the user's own delete of that file.
        if (core::IsInTrash(thumb->ThumbPath())) {
          deleted_.insert(winfs::ToHost(thumb->ThumbPath()).string());
        }
        DragAndDrop(*thumb, f().imaTrash);
        return "trash thumbnail " + names;
      case 5:
        // With TRASHCAN off, the slot's picture thrown away is the user's own delete of it.
        if (!core::gbTrashcan && winfs::FileExists(slot.ThumbPath())) {
          const fs::path file = winfs::ToHost(slot.ThumbPath());
          thrown_.insert(file.string() + "#" +
                         std::to_string(std::hash<std::string>{}(Slurp(file))));
        }
        DragAndDrop(slot, f().imaTrash);
        return "trash slot " + names;
      case 6:
        f().imaCamera.UserClick();
        return "copy from the card";
      case 7:
      case 8:
        crop_ = Roll(2) == 0;
        if (thumb) thumb->UserDblClick();
        return std::string(crop_ ? "crop " : "compress ") + names;
      case 9:
        f().mnuTools_Entry_Maint[0].UserClick();
        return "bulk delete, answered No";
      case 10:
        if (Roll(3) == 0) {
          kep_.reset();
          return "KEP gone";
        }
        if (Roll(4) == 0) {
          RunKep(Roll(2) == 0, true);
          return "KEP hangs";
        }
        RunKep(Roll(2) == 0);
        return "KEP back / switched";
      case 11:
        f().imaTrash.UserClick();
        return "strip to or from the trash folder";
      case 12:
        return ReadOnlyUserPicture();
      case 13:
        return CaptureFolder();
      case 14:
        return TypeCaption();
      default:
        f().imaKep.Click();
        refreshed_ = true;
        return "refresh";
    }
  }

  // The capture folder moves to a report's picture folder in KEP's store, or back.
  std::string CaptureFolder() {
    const std::string store = Roll(2) ? "C:\\KEPDATA\\PHOTOS\\22.OAK\\" : kPhotos;
    const std::string dir = core::gCaptureDir == "C:\\GLENVUE\\" ? store : "C:\\GLENVUE\\";
    core::gCaptureDir = dir;
    f().lblCapDir.SetCaption(dir);
    f().filCapture.SetPath(dir);
    f().errdisplayThumbs();
    return "capture folder " + dir;
  }

  // A caption typed into a general box, which sends it to the report.
  std::string TypeCaption() {
    const int i = 1 + Roll(6);
    typed_ = {GeneralCaption(i), "Note " + std::to_string(Roll(9))};
    f().cboGeneral[i].UserSetText(typed_.second);
    f().cboGeneral[i].LostFocus();
    return "caption " + std::to_string(i) + " " + typed_.second;
  }
  // The report field of general caption box i (the reports have two general pages).
  static std::string GeneralCaption(int i) {
    return "PH3G0" + std::to_string((i + 2) / 3) + "|GENCAP|" + std::to_string((i - 1) % 3 + 1);
  }

  // With KEP answering and no box but the form type's: a typed caption is in the report shown,
  // and after a refresh every general caption box shows what that report holds.
  bool CheckCaptions() {
    const std::string shown = f().lblRPT.Caption();
    bool quiet = kep_ && !hung_ && (shown == kReport || shown == kReportName);
    for (const auto& box : app_.Boxes())
      quiet = quiet && box.title == "No Matches to Form Type Found";
    if (!quiet) return true;
    std::map<std::string, std::string> fields;
    for (const std::string& line : ReadLines(shown == kReport ? oak_ : maple_)) {
      const std::size_t eq = line.find('=');
      if (eq != std::string::npos) fields[line.substr(0, eq)] = line.substr(eq + 1);
    }
    if (!typed_.first.empty() && fields[typed_.first] != typed_.second) {
      return Fail(shown + " holds \"" + fields[typed_.first] + "\" in " + typed_.first);
    }
    for (int i = 1; refreshed_ && i <= 36; ++i) {
      const std::string want = i > 6 ? std::string() : fields[GeneralCaption(i)];
      if (f().cboGeneral[i].Text() != want) {
        return Fail("caption box " + std::to_string(i) + " shows \"" + f().cboGeneral[i].Text() +
                    "\", " + shown + " holds \"" + want + "\"");
      }
    }
    return true;
  }

  // A picture of the user folder made read-only (or writable again).
  std::string ReadOnlyUserPicture() {
    std::vector<std::string> names = winfs::ListFiles("C:\\Velmora\\User\\", "*.*");
    if (names.empty()) return "-";
    const std::string path = "C:\\Velmora\\User\\" +
                             names[static_cast<std::size_t>(Roll(static_cast<int>(names.size())))];
    const bool on = Roll(2) == 0;
    winfs::SetAttr(path, on ? winfs::kReadOnly : winfs::kNormal);
    return std::string(on ? "read-only " : "writable ") + path;
  }

  // The colour of a picture (each is of one colour); 0 when it cannot be read.
  static std::uint32_t Colour(const std::string& winPath) {
    try {
      const imaging::Picture pic = imaging::Load(winfs::ToHost(winPath));
      return pic.Pixel(pic.Width() / 2, pic.Height() / 2);
    } catch (const std::exception&) {
      return 0;
    }
  }
  static bool Near(std::uint32_t a, std::uint32_t b) {
    for (int shift : {0, 8, 16}) {
      const int d = static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF);
      if (d > 24 || d < -24) return false;
    }
    return a != 0 && b != 0;
  }

  // Every picture's bytes seen so far still lie somewhere, unless the user deleted every file
  // that held them; every photo object names a file with the picture dropped on it; every
  // thumbnail shows its file's picture.
  bool Check() {
    std::map<std::size_t, std::set<std::string>> now;
    for (const char* root : {"C:\\GLENVUE", "C:\\Velmora\\User", "C:\\KEPDATA\\PHOTOS"}) {
      for (const auto& e : fs::recursive_directory_iterator(winfs::ToHost(root))) {
        if (e.is_regular_file()) {
          now[std::hash<std::string>{}(Slurp(e.path()))].insert(e.path().string());
        }
      }
    }
    for (const auto& [hash, paths] : ledger_) {
      if (now.count(hash)) continue;
      bool deleted = true;
      for (const std::string& path : paths) {
        deleted = deleted && (deleted_.count(path) > 0 || orphans_.count(path) > 0 ||
                              thrown_.count(path + "#" + std::to_string(hash)) > 0);
      }
      if (!deleted) return Fail("the bytes of " + *paths.begin() + " are gone");
    }
    ledger_ = now;
    deleted_.clear();
    // A file of KEP's store that no photo object names is KEP's to replace.
    orphans_.clear();
    std::set<std::string> named;
    for (const fs::path& report : {maple_, oak_}) {
      for (const std::string& line : ReadLines(report)) {
        const std::size_t eq = line.find('=');
        if (eq != std::string::npos && winfs::FileExists(line.substr(eq + 1))) {
          named.insert(winfs::ToHost(line.substr(eq + 1)).string());
        }
      }
    }
    for (const auto& [hash, paths] : now) {
      for (const std::string& path : paths) {
        const bool store = path.find("/KEPDATA/PHOTOS/") != std::string::npos &&
                           path.find("/TRASHCAN/") == std::string::npos;
        if (store && !named.count(path)) orphans_.insert(path);
      }
    }
    for (int i = 0; i < 12; ++i) {  // a thumbnail shows the picture its file holds
      const forms::Gear& thumb = f().GeaThumb[i];
      if (!thumb.Visible() || !thumb.HasImage() || !winfs::FileExists(thumb.ThumbPath())) continue;
      const imaging::Picture& shown = thumb.DisplayImage();
      if (!Near(shown.Pixel(shown.Width() / 2, shown.Height() / 2), Colour(thumb.ThumbPath()))) {
        return Fail("thumbnail " + std::to_string(i) + " is stale: " + thumb.ThumbPath());
      }
    }
    return CheckReports() && CheckCaptions();
  }

  // The photo objects of both reports: each names an existing file; one that changed during a
  // drop holds the dropped picture from then on.
  bool CheckReports() {
    for (const fs::path& report : {maple_, oak_}) {
      bool images = false;
      std::map<std::string, std::string> objects;
      for (const std::string& line : ReadLines(report)) {
        if (line.rfind('[', 0) == 0) images = line == "[images]";
        const std::size_t eq = line.find('=');
        if (!images || eq == std::string::npos || eq + 1 == line.size()) continue;
        const std::string picture = line.substr(eq + 1);
        if (!winfs::FileExists(picture)) return Fail(report.string() + ": " + line);
        // The file and its bytes: KEP may write a new picture under the old name.
        objects[line.substr(0, eq)] =
            picture + "|" + std::to_string(std::hash<std::string>{}(Slurp(winfs::ToHost(picture))));
      }
      auto& before = objects_[report.string()];
      for (const auto& [object, file] : objects) {
        const std::string key = report.string() + ":" + object;
        const std::string picture = file.substr(0, file.rfind('|'));
        if (before[object] != file) held_[key] = dropped_;  // 0: not a drop, not checked
        const auto held = held_.find(key);
        if (held != held_.end() && held->second != 0 && !Near(Colour(picture), held->second)) {
          return Fail(key + " names " + picture +
                      ", which does not hold the picture dropped there");
        }
      }
      before = objects;
    }
    dropped_ = 0;
    return true;
  }
  bool Fail(const std::string& problem) {
    problem_ = problem;
    return false;
  }

  std::mt19937 rng_;
  bool crop_ = false;
  bool hung_ = false;                          // KEP hangs at one of its next requests
  bool refreshed_ = false;                     // the action was the KEP button
  std::pair<std::string, std::string> typed_;  // the caption field typed into, and its text
  std::map<std::size_t, std::set<std::string>> ledger_;  // bytes and the files holding them
  std::set<std::string> deleted_;                        // files the user deleted during the action
  std::set<std::string> thrown_;   // "file#bytes" the user threw away while they lay in a report
  std::set<std::string> orphans_;  // store files no photo object names
  std::uint32_t dropped_ = 0;      // the colour of the picture dropped during the action
  std::map<std::string, std::map<std::string, std::string>> objects_;  // report: object=file
  std::map<std::string, std::uint32_t> held_;  // "report:object": the colour dropped there
  std::string trail_, problem_;
  fs::path maple_ = prefix_.Root() / "maple.rpt";
  fs::path oak_ = prefix_.Root() / "oak.rpt";
};

}  // namespace mainwindow
