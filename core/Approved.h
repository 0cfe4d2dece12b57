#pragma once
// The report forms whose photo slots and addresses the program knows.

#include <string>

namespace core {

// True when the form type, upper-cased, followed by "," occurs in the built-in list extended by
// KEP.INI [FORMS] FORMS (read at every call).  A plain substring test: "C3" is found inside
// "AUC3,", and an empty form type is always supported.
bool IsApprovedForm(const std::string& formType);

// The text trimmed of blanks and upper-cased.
std::string TrimUpper(const std::string& text);

}  // namespace core
