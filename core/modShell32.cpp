#include "core/modShell32.h"

#include "platform/forms/App.h"
#include "platform/vbrt/Strings.h"
#include "platform/vbrt/VbError.h"

namespace core {

std::string ShellErrorText(long result) {
  switch (result) {
    case 0:
    case 8:
      return "Out of memory";
    case 2:
      return "File not found";
    case 3:
      return "Path not found";
    case 5:
      return "Path/file access error";
    case 11:
      return "The executable file is invalid or corrupt";
    case 26:
      return "A sharing violation occurred.";
    case 27:
      return "This file type does not have a valid file association.";
    case 28:
      return "The file could not be opened due to time out. Please try again in a moment.";
    case 29:
      return "The file could not be opened because the DDE transaction failed. Please try again "
             "in a moment.";
    case 30:
      return "The file could not be opened because the target application is busy. Please try "
             "again in a moment.";
    case 31:
      return "No application is associated with this file type.";
    case 32:
      return "The specified dynamic-link library was not found.";
    default:
      return "An error occurred occurred whilst trying to open or print the selected file.";
  }
}

bool GShell(const std::string& file, long showCommand, const std::string& parameters,
            const std::string& directory, const std::string& operation, long window) {
  static_cast<void>(operation);
  static_cast<void>(window);
  forms::App& app = forms::App::Current();
  if (vb::UCase(file).find(".EXE") != std::string::npos) showCommand = 0;
  long result = 0;  // a call that fails reads as result 0, as with errors ignored
  try {
    result = parameters.empty() && directory.empty()
                 ? app.ShellOpen(file)
                 : app.ShellOpen(file, directory, static_cast<int>(showCommand));
  } catch (const vb::VbError&) {
    result = 0;
  }
  if (result > 32) return true;
  ShowShellError(result);
  return false;
}

void ShowShellError(long result) {
  forms::App& app = forms::App::Current();
  app.MsgBox(ShellErrorText(result), forms::vbOKOnly | forms::vbInformation,
             vb::Replace(app.Title(), "_", " "));
}

}  // namespace core
