#pragma once
// The capture-directory chooser ("Current Camera Folder"): browse drives and folders or pick a
// favourite folder, and make the choice the capture directory.
//
// Opened modally from the main window's folder button and capture-directory label, with
// nothing passed in: it reads gCaptureDir, gMainIniPath and gIniDir.  OK hands the highlighted
// folder back in gCaptureDir (with a trailing "\"), refusing a folder that cannot be listed (on
// a drive that is not ready the capture folder stays, and the message names the drive); it
// also stores the favourites (program INI file, section "CAMERA DIRECTORIES", keys 1, 2 ...).
// "Set Default" writes [DIRECTORIES] CAPTUREDIR at once.  Cancel changes nothing.  The main
// window shows gCaptureDir and reloads its thumbnails after the window closes, whatever the
// user did; the chooser never touches the main window's controls.

#include <string>

#include "core/modVelmod.h"
#include "platform/forms/Controls.h"
#include "platform/forms/FileControls.h"
#include "platform/forms/Form.h"
#include "platform/forms/ListControls.h"

namespace tools {

class frmCamera : public forms::Form {
 public:
  frmCamera();

  forms::Label lblBrowse{*this, "lblBrowse"};
  forms::DriveListBox DrvCapture{*this, "DrvCapture"};
  forms::DirListBox dirCapture{*this, "dirCapture"};
  forms::Label lblCurrDir{*this, "lblCurrDir"};
  forms::Label lblDirectory{*this, "lblDirectory"};
  forms::Label lblFavorites{*this, "lblFavorites"};
  forms::ListBox lstFavorites{*this, "lstFavorites"};
  forms::CommandButton cmdOK{*this, "cmdOK"};
  forms::Image imaOK{*this, "imaOK"};
  forms::CommandButton cmdCancel{*this, "cmdCancel"};
  forms::Image imaCancel{*this, "imaCancel"};
  forms::CommandButton cmdFavorites{*this, "cmdFavorites"};
  forms::Image imaFavorites{*this, "imaFavorites"};
  forms::CommandButton cmdDelFavorite{*this, "cmdDelFavorite"};
  forms::Image imaDelFavorite{*this, "imaDelFavorite"};
  forms::CommandButton cmdSetDefault{*this, "cmdSetDefault"};
  forms::Image imaSetDefault{*this, "imaSetDefault"};
  forms::CommandButton cmdRevDefault{*this, "cmdRevDefault"};
  forms::Image imaRevDefault{*this, "imaRevDefault"};

  // True only while OK stores the favourites: a missing favourite is then not reported.
  core::VbBool bSavingFavorites = core::vbFalse;
  // The capture folder as opened when its drive was not ready (a card pulled): the box and the
  // drive list show it, the folder list cannot; "" once another folder is browsed.
  std::string unreadyDir;

 protected:
  void Form_Load() override;

 private:
  void LoadSteps();
  void SaveCaptureDir();
  void OpenOn(const std::string& folder);
  void ShowBrowsed(const std::string& folder);
  void AcceptFolder(const std::string& f);
  void RecoverToIniDrive();
  void cmdOK_Click();
  void cmdCancel_Click();
  void cmdFavorites_Click();
  void cmdDelFavorite_Click();
  void cmdSetDefault_Click();
  void cmdRevDefault_Click();
  void dirCapture_Change();
  void dirCapture_Click();
  void DrvCapture_Change();
  void lstFavorites_Click();
  void lstFavorites_DblClick();
};

// Shows the chooser modally.
void ShowCaptureDirChooser();

}  // namespace tools
