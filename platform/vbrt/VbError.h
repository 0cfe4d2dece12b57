#pragma once
// The run-time error every layer raises: a VB error number with its text.

#include <stdexcept>
#include <string>
#include <utility>

namespace vb {

class VbError : public std::runtime_error {
 public:
  explicit VbError(int number, std::string description = {}, std::string source = {});

  int Number() const noexcept { return number_; }
  const std::string& Description() const noexcept { return description_; }
  const std::string& Source() const noexcept { return source_; }
  // The file the error is about, when whoever raised it knows ("" otherwise).  The description
  // stays VB's own text, which the error report shows; messages of this program's own add the
  // file (DescriptionAndFile).
  const std::string& File() const noexcept { return file_; }
  VbError& AboutFile(std::string file) {
    file_ = std::move(file);
    return *this;
  }
  // The description, then ": " and the file when it is known.
  std::string DescriptionAndFile() const;

 private:
  int number_;
  std::string description_;
  std::string source_;
  std::string file_;
};

// The standard text VB gives for an error number ("File not found" for 53);
// "Application-defined or object-defined error" for numbers it does not know.
std::string ErrorText(int number);

// Raises VbError(number) with its standard text.
[[noreturn]] void Raise(int number, const std::string& source = {});

// Well-known numbers, named where code tests for them.
enum ErrNo : int {
  kInvalidProcedureCall = 5,
  kOverflow = 6,
  kOutOfMemory = 7,
  kSubscriptOutOfRange = 9,
  kTypeMismatch = 13,
  kBadFileName = 52,
  kFileNotFound = 53,
  kBadFileMode = 54,
  kDeviceIO = 57,
  kFileAlreadyExists = 58,
  kDiskFull = 61,
  kInputPastEnd = 62,
  kTooManyFiles = 67,
  kDeviceUnavailable = 68,
  kPermissionDenied = 70,
  kDiskNotReady = 71,
  kRenameDifferentDrive = 74,
  kPathFileAccess = 75,
  kPathNotFound = 76,
  kDdeNoApp = 282,
  kDdeRefused = 285,
  kDdeTimeout = 286,
  kDdeNoChannel = 293,
  kDdeBadTopic = 297,
  kInvalidPropertyValue = 380,
  kInvalidPicture = 481,
  kDatabaseLocked = 3218,
};

}  // namespace vb
