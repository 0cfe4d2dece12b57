#pragma once
// Parsing of design-time property values (layout files).  Every parser
// raises vb::VbError 380 for a text it cannot read.

#include <optional>
#include <string>

#include "platform/forms/Control.h"

namespace forms::design {

// Case-insensitive key comparison.
bool KeyIs(const std::string& key, const char* name);
// "TabCaption(2)" with base "TabCaption" gives 2; nullopt when the key is not
// base(n).
std::optional<int> IndexedKey(const std::string& key, const char* base);

int Int(const std::string& v);
double Double(const std::string& v);
bool Bool(const std::string& v);           // True/False/-1/0/1
OleColor Color(const std::string& v);      // &H...& or decimal
StdPicture Picture(const std::string& v);  // resource path; "" empty

// FontName, FontSize, FontBold, FontItalic, FontUnderline, FontStrikethru into f; false for
// any other key.
bool FontProperty(Font& f, const std::string& key, const std::string& value);

}  // namespace forms::design
