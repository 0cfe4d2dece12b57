#pragma once
// The about box: the program's display name, version and legal notice.
//
// Opened modally from the Help menu of the main window and from the configuration window;
// nothing goes in or out.  The display name is read from the program INI file each time the
// box opens.

#include <string>

#include "platform/forms/Controls.h"
#include "platform/forms/Form.h"

namespace tools {

class frmAbout : public forms::Form {
 public:
  frmAbout();

  forms::Image imgLogo{*this, "imgLogo"};
  forms::Label lblProductname{*this, "lblProductname"};
  forms::Label lblVersion{*this, "lblVersion"};
  forms::Label lblDisclaimer{*this, "lblDisclaimer"};  // the legal notice
  forms::CommandButton Cmd_OK{*this, "Cmd_OK"};
  forms::Image imaOK{*this, "imaOK"};

  // "Version 7.0.44" for the numbers 7, 0, 44.
  static std::string VersionText(int major, int minor, int revision);

 protected:
  void Form_Load() override;

 private:
  void Cmd_OK_Click();
  void imaOK_Click();
};

// The legal notice of the program's version information.
extern const char* const kLegalCopyright;

// Shows the about box modally.
void ShowAboutBox();

}  // namespace tools
