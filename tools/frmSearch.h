#pragma once
// The picture search ("Photo Finder"): searches a drive or folder tree for folders holding
// pictures, lists each with its picture count, previews the first picture of a listed folder,
// and copies the open folder's pictures into the capture directory or makes that folder the
// capture directory.
//
// In:  gCaptureDir (start folder), gKepDataDir (its IMAGES folder is never listed), gIniDir,
//      gbUseButtons, gScreenSize.
// Out: gbRefreshThumbs := True by either copy button (the opener clears it before and reloads
//      its thumbnail strip when it is set); gCaptureDir := the open folder with "\" by "Change
//      Capture Dir" (in memory only; the main window stores it at exit).
//
// The window resizer belongs to the renderer: it binds RXResizer1 (the stored size it reports and
// a relayout) and raises its Resized after each layout.  Without a renderer (tests) the stored
// size is the window's own.

#include <cstddef>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "core/ErrTrap.h"
#include "platform/forms/ControlArray.h"
#include "platform/forms/Controls.h"
#include "platform/forms/FileControls.h"
#include "platform/forms/Form.h"
#include "platform/forms/Gear.h"
#include "platform/forms/ListControls.h"

namespace tools {

class frmSearch : public forms::Form {
 public:
  frmSearch();

  // ---- Browsing
  forms::DriveListBox drvFind{*this, "drvFind"};
  forms::DirListBox dirFind{*this, "dirFind"};
  forms::Label lblFill{*this, "lblFill"};
  forms::FileListBox filFind{*this, "filFind"};

  // ---- Settings
  forms::ControlArray<forms::Line> linDatabook{*this, "linDatabook"};  // 0 above, 1 below
  forms::Frame fraSettings{*this, "fraSettings"};
  forms::Frame fraExtensions{*this, "fraExtensions"};
  forms::ControlArray<forms::CheckBox> ckbPicExt{*this, "ckbPicExt"};  // 0 BMP, 1 JPEG
  forms::Frame fraSkip{*this, "fraSkip"};
  forms::ControlArray<forms::CheckBox> ckbSkip{*this, "ckbSkip"};  // 0 Windows, 1 Program Files

  // ---- Results and preview
  forms::Label lblDirectory{*this, "lblDirectory"};
  forms::ListBox lstFound{*this, "lstFound"};
  forms::Label lblSort{*this, "lblSort"};
  forms::Label lblFil2{*this, "lblFil2"};
  forms::CheckBox ckbPicPreview{*this, "ckbPicPreview"};
  forms::Gear geaPreview{*this, "geaPreview"};

  // ---- Commands: each text button with its picture button
  forms::Frame frabuttons{*this, "frabuttons"};
  forms::Image imaSearch{*this, "imaSearch"};
  forms::CommandButton cmdSearch{*this, "cmdSearch"};
  forms::Image imaStop{*this, "imaStop"};
  forms::CommandButton cmdStop{*this, "cmdStop"};
  forms::ControlArray<forms::Image> imaCopy{*this, "imaCopy"};  // 0 copy, 1 change capture dir
  forms::ControlArray<forms::CommandButton> cmdCopy{*this, "cmdCopy"};
  forms::Image imaCancel{*this, "imaCancel"};
  forms::CommandButton cmdCancel{*this, "cmdCancel"};

  forms::FormResizer RXResizer1;
  forms::FormResizer* WindowResizer() override { return &RXResizer1; }
  // Places the separator lines along the settings frame again (after each resize).
  void RXResizer1_Resized();

  // The search goes on only while this is True (Stop, its picture and Esc clear it).
  bool bSearching = false;
  // The file pattern of the extension boxes: set at opening and whenever a box is clicked; the
  // file list (and so the copy) always uses the same.
  std::string searchPattern;

  // Entries of the found list at most (the list box's limit).
  static constexpr int kMaxFoundEntries = 32767;
  static constexpr int kLineGap = 240;

 protected:
  void Form_Load() override;
  void Form_Unload(int& Cancel) override;
  void Form_KeyPress(int& KeyAscii) override;

 private:
  void BindEvents();
  void LoadSteps();
  std::string PatternOfBoxes() const;
  void SetSearchPattern();
  void SearchFrom(const std::string& path);
  bool SearchFolder(const std::string& path, const std::filesystem::path& host);
  bool IsSkipped(const std::string& upperFolder) const;
  void StartVisits();
  bool FirstVisit(const std::filesystem::path& host);
  void CountFolder(const std::string& path, std::size_t count);
  bool VisitError(const vb::VbError& e);
  void CopyFromSearchFolder();
  void PutListsOnIniDrive();

  void cmdSearch_Click();
  void cmdStop_Click();
  void cmdCopy_Click(int Index);
  void cmdCancel_Click();
  void lstFound_Click();
  void filFind_Click();
  void ckbPicPreview_Click();
  void ckbPicExt_Click();
  void dirFind_Change();
  void drvFind_Change();

  int StoredWidth() const;
  int StoredHeight() const;

  bool searchRunning_ = false;
  // Why the running search ended before its last folder ("" while it goes on or ran through);
  // the status line says so over the partial list.
  std::string cutShort_;
  std::string winDirUpper_;
  std::string progFilesUpper_;
  // Host folders (device, inode) the running search has visited: each is visited once, however
  // many links lead to it; the host's /proc, /sys and /dev count as visited from the start.
  using FolderId = std::pair<unsigned long long, unsigned long long>;
  std::set<FolderId> visited_;
  // Devices seen so far: true for the devices of /proc, /sys and /dev and of any kernel file
  // system, wherever it is mounted.
  std::map<unsigned long long, bool> systemDevices_;
};

// Shows the picture search modally.  The caller clears gbRefreshThumbs first and reloads its
// thumbnails afterwards when it is set.
void ShowPictureSearch();

}  // namespace tools
