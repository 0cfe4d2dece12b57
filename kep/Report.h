#pragma once
// An open report of the stand-in, loaded from and saved to a report file.
//
// Report file format (UTF-8 text, LF or CR LF line ends):
//
//   # comment lines start with '#' or ';'
//   [report]
//   name=C:\KEP\DATA\SMITH.ZAP     the report's name; its topic is "KEP|" + name
//   userid=JDOE                    reply to "UserID"
//   forms=URAR,SUBPHOTO            reply to "ListForms" (sent as written)
//   store=C:\KEP\IMAGES\SMITH      optional: Windows folder for pictures set by SetImage
//   [fields]
//   URAR|ADDR|10=12 Main St        item=value; the item is everything before the first '='
//   [images]
//   SUB_1_3X5=C:\KEP\IMAGES\A.JPG  object=Windows picture path
//
// Items and objects are kept exactly as written (blanks included) and looked up without
// regard to case.  Field values are percent-encoded for '%' (%25), CR (%0D) and LF (%0A).
// (A name containing "\SKELS\" is what the program takes for a template.)  Without a store line,
// pictures go to the folder "<report file name>.images" beside the report file.  The stand-in
// rewrites the file in this form (comments are not kept) after every change: a temporary file
// renamed into place.

#include <filesystem>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace kep {

struct Report {
  std::filesystem::path file;
  std::string name;
  std::string userid;
  std::string forms;
  std::string store;  // Windows folder, may be empty
  std::vector<std::pair<std::string, std::string>> fields;
  std::vector<std::pair<std::string, std::string>> images;

  // Case-insensitive lookups; nullopt when absent.
  std::optional<std::string> Field(const std::string& item) const;
  void SetField(const std::string& item, const std::string& value);
  // The "IMAGES" reply: "OBJECT|path;" for each object with a picture.
  std::string ImageList() const;
  // Empty path removes the object.
  void SetImage(const std::string& object, const std::string& winPath);
  // The host folder where SetImage stores pictures.
  std::filesystem::path StoreFolder() const;
};

// Raises std::runtime_error with the line number when the file cannot be read or parsed.
Report LoadReport(const std::filesystem::path& file);
// Writes atomically (temporary file + rename); raises std::runtime_error on failure.
void SaveReport(const Report& report);

std::string PercentEncode(const std::string& value);
std::string PercentDecode(const std::string& value);
// Case-insensitive (ASCII) equality.
bool SameText(const std::string& a, const std::string& b);

}  // namespace kep
