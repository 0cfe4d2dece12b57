#include "platform/vbrt/VbError.h"

#include <map>

namespace vb {
namespace {

const std::map<int, const char*>& Texts() {
  static const std::map<int, const char*> texts = {
      {3, "Return without GoSub"},
      {5, "Invalid procedure call or argument"},
      {6, "Overflow"},
      {7, "Out of memory"},
      {9, "Subscript out of range"},
      {10, "This array is fixed or temporarily locked"},
      {11, "Division by zero"},
      {13, "Type mismatch"},
      {14, "Out of string space"},
      {20, "Resume without error"},
      {28, "Out of stack space"},
      {35, "Sub or Function not defined"},
      {48, "Error in loading DLL"},
      {51, "Internal error"},
      {52, "Bad file name or number"},
      {53, "File not found"},
      {54, "Bad file mode"},
      {55, "File already open"},
      {57, "Device I/O error"},
      {58, "File already exists"},
      {59, "Bad record length"},
      {61, "Disk full"},
      {62, "Input past end of file"},
      {63, "Bad record number"},
      {67, "Too many files"},
      {68, "Device unavailable"},
      {70, "Permission denied"},
      {71, "Disk not ready"},
      {74, "Can't rename with different drive"},
      {75, "Path/File access error"},
      {76, "Path not found"},
      {91, "Object variable or With block variable not set"},
      {92, "For loop not initialized"},
      {93, "Invalid pattern string"},
      {94, "Invalid use of Null"},
      {280, "DDE channel not fully closed; awaiting response from foreign application"},
      {281, "No more DDE channels"},
      {282, "No foreign application responded to a DDE initiate"},
      {283, "Multiple applications responded to a DDE initiate"},
      {284, "DDE channel locked"},
      {285, "Foreign application won't perform DDE method or operation"},
      {286, "Timeout while waiting for DDE response"},
      {287, "User pressed Escape key during DDE operation"},
      {288, "Destination is busy"},
      {289, "Data not provided in DDE operation"},
      {290, "Data in wrong format"},
      {291, "Foreign application quit"},
      {292, "DDE conversation closed or changed"},
      {293, "DDE method invoked with no channel open"},
      {294, "Invalid DDE Link format"},
      {295, "Message queue filled; DDE message lost"},
      {296, "PasteLink already performed on this control"},
      {297, "Can't set LinkMode; invalid LinkTopic"},
      {298, "System DLL could not be loaded"},
      {320, "Can't use character device names in specified file names"},
      {321, "Invalid file format"},
      {335, "Could not access system registry"},
      {340, "Control array element doesn't exist"},
      {341, "Invalid control array index"},
      {380, "Invalid property value"},
      {419, "Permission to use object denied"},
      {420, "Invalid object reference"},
      {481, "Invalid picture"},
      {482, "Printer error"},
      {3218, "Could not update; currently locked."},
  };
  return texts;
}

}  // namespace

std::string ErrorText(int number) {
  auto it = Texts().find(number);
  return it != Texts().end() ? it->second : "Application-defined or object-defined error";
}

VbError::VbError(int number, std::string description, std::string source)
    : std::runtime_error(description.empty() ? ErrorText(number) : description),
      number_(number),
      description_(description.empty() ? ErrorText(number) : std::move(description)),
      source_(std::move(source)) {}

std::string VbError::DescriptionAndFile() const {
  return file_.empty() ? description_ : description_ + ": " + file_;
}

void Raise(int number, const std::string& source) {
  throw VbError(number, {}, source);
}

}  // namespace vb
