#pragma once
// The picture editor: crops one picture of the capture folder with the mouse, previews a
// brightness change and re-saves the picture as a JPEG at a chosen quality ("compress"), with
// one level of undo while the window is open.
//
// In:  gEditPicturePath (the picture), gUserDir (kept copy "tempOrig.<EXT>"), gBrightness,
//      gJpegQuality, gbRedux, gResolX, gResolY.
// Out: gDragSourcePath := the picture to show from now on (the compressed ".jpg" when a
//      compression was kept, else the picture itself); gbRefreshThumbs := True when the picture
//      file changed in a way the thumbnail strip must take over (a compression, or a saved crop
//      of the compressed copy), False after Cancel.  The opener clears gbRefreshThumbs before
//      and gEditPicturePath after.
//
// The user's picture is never lost: a compression writes the new JPEG (temporary file and
// rename) before the unedited file is given up, and keeps that file as "tempOrig.<EXT>" in
// gUserDir until the window closes; a failed step leaves the picture as it was.  Undo copies
// the kept file back and checks the copy before the kept file is removed.  The compressed JPEG
// never takes another picture's name (beside A.bmp and another A.jpg it is "A (2).jpg").  A
// kept file left by an earlier opening (the editor was ended in the middle of an edit) may be
// the only unedited original: opening moves it into the capture folder's trash.

#include <string>

#include "core/modVelmod.h"
#include "platform/forms/Controls.h"
#include "platform/forms/Form.h"
#include "platform/forms/Gear.h"
#include "platform/forms/ListControls.h"

namespace tools {

class frmDouble : public forms::Form {
 public:
  frmDouble();

  // ---- The picture: as stored, and the working copy after a compression
  forms::Frame fraHLight{*this, "fraHLight"};
  forms::Gear bmpDouble{*this, "bmpDouble"};
  forms::Gear bmpDouble2{*this, "bmpDouble2"};
  forms::ListBox lstHow2{*this, "lstHow2"};

  // ---- Brightness and quality
  forms::Label lblBrightnessCaption{*this, "lblBrightnessCaption"};
  forms::Label lblBrightness{*this, "lblBrightness"};
  forms::Image imacapturebrightness{*this, "imacapturebrightness"};
  forms::HScrollBar hsbcapturebrightness{*this, "hsbcapturebrightness"};
  forms::Label lblQualityCaption{*this, "lblQualityCaption"};
  forms::Label lblquality{*this, "lblquality"};
  forms::HScrollBar hsbquality{*this, "hsbquality"};

  // ---- Commands: each text button with its picture button
  forms::CommandButton cmdcrop{*this, "cmdcrop"};
  forms::Image Image1{*this, "Image1"};
  forms::CommandButton cmdCompress{*this, "cmdCompress"};
  forms::Image imaCompress{*this, "imaCompress"};
  forms::CommandButton cmdCancel{*this, "cmdCancel"};
  forms::Image imaCancel{*this, "imaCancel"};
  forms::CommandButton cmdReset{*this, "cmdReset"};
  forms::Image imaReset{*this, "imaReset"};
  forms::CommandButton cmdHelp{*this, "cmdHelp"};
  forms::Image imaHelp{*this, "imaHelp"};
  forms::CommandButton cmdExit{*this, "cmdExit"};
  forms::Image imaExit{*this, "imaExit"};

  // ---- File information
  forms::Label lblFileNameC{*this, "lblFileNameC"};
  forms::Label lblFileName{*this, "lblFileName"};
  forms::Label lblFileSizeC{*this, "lblFileSizeC"};
  forms::Label lblFileSize{*this, "lblFileSize"};
  forms::Label lblfiledateC{*this, "lblfiledateC"};
  forms::Label lblfiledate{*this, "lblfiledate"};
  forms::Label lblFileResC{*this, "lblFileResC"};
  forms::Label lblFileRes{*this, "lblFileRes"};
  forms::Label lblFileBitDepthC{*this, "lblFileBitDepthC"};
  forms::Label lblFileBitDepth{*this, "lblFileBitDepth"};
  forms::Label lblFileFormatC{*this, "lblFileFormatC"};
  forms::Label lblFileFormat{*this, "lblFileFormat"};
  forms::Label lblFileCompressionC{*this, "lblFileCompressionC"};
  forms::Label lblFileCompression{*this, "lblFileCompression"};
  forms::Label lblPending{*this, "lblPending"};

  // True when a bar stands away from the value it was last reset to (brightness first).
  bool ImageAttributesChanged();
  // Copies one file (an existing target is overwritten); a missing target folder is made (one
  // level).  Nothing happens when either path names no file or both name the same file.
  void CopyFile(const std::string& sSource, const std::string& sTarget);

  // The size label's text for a file length in bytes: "512. KB", "585.94 KB   ( .57 MB )".
  static std::string FileSizeText(long long bytes);

  // A compression has been made and not cancelled.
  bool Compressed() const { return bCompressed != core::vbFalse; }

 protected:
  void Form_Load() override;
  void Form_Unload(int& Cancel) override;

 private:
  void BindEvents();
  void LoadSteps();
  void ClearLeftovers();

  // ---- event handlers
  void hsbcapturebrightness_Change();
  void hsbquality_Change();
  void imacapturebrightness_Click();
  void lblQualityCaption_Click();
  void cmdcrop_Click();
  void SelectionDone(forms::Gear& ctl, int left, int top, int right, int bottom);
  void SaveCrop(forms::Gear& ctl, bool working);
  static bool SelectsPixels(const forms::Gear& ctl, int left, int top, int right, int bottom);
  void cmdCompress_Click();
  void cmdCancel_Click();
  void cmdReset_Click();
  void cmdHelp_Click();
  void cmdExit_Click();

  // ---- procedures
  void ResetAdjustValues();
  void LoadOriginalPicture();
  void ClearSelectionMode();
  void EnableAdjustControls(bool on);
  void SetControlValue(forms::Control& ctl, int value);
  void ShowFileInfo(forms::Gear& ctl, int which);
  void DisplayFileAttribs(const std::string& path, int which);
  void DisplayFileSize(const std::string& path);
  void DisplayFileDate(const std::string& path);
  void DisplayFilename(const std::string& path);
  // The first compression; false when it could not be made (nothing was changed).
  bool FirstCompression(const std::string& s, const std::string& t, const std::string& ext);
  bool MoveToTempOriginal(const std::string& source, const std::string& kept);
  bool LoadWorkingCopy(const std::string& kept, const std::string& ext, const std::string& target);
  void SaveCompressed(const std::string& target);
  void ShowWorkingCopy(bool on);
  // Undo of the compression: the kept file back in place; false when it could not be.
  bool RestoreOriginal();
  void CommitChanges();
  void SetPendingMark(bool on);

  std::string sTempOrig;    // the kept unedited file, "" until the first compression
  std::string sOrigFile;    // the edited file before the first compression
  std::string sTargetFile;  // the compressed result: same folder and name, ".jpg"
  std::string sOrigExt;     // extension of the edited file, upper-cased, no dot
  core::VbBool bCompressed = core::vbFalse;
  std::int16_t nInitBrightness = 0;
  std::int16_t nInitQuality = 0;
};

// Shows the picture editor modally on gEditPicturePath.
void ShowDouble();

}  // namespace tools
